// The X connection of talvex.
#include "hosts/x11/XConnection.h"

#include "hosts/TalvexError.h"
#include "platform/x11/FramePresenter.h"

#include <cstdlib>
#include <cstring>
#include <string>

XConnection::XConnection()
{
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0')
        throw ETalvexError(NoDisplayStatus, "no display to draw on: DISPLAY is not set");
    int screenNumber = 0;
    m_connection = xcb_connect(display, &screenNumber);
    if (xcb_connection_has_error(m_connection)) {
        xcb_disconnect(m_connection);
        m_connection = nullptr;
        throw ETalvexError(NoDisplayStatus, "cannot connect to the display \"" + std::string(display) + "\"");
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(m_connection));
    for (int i = 0; screens.rem > 0; ++i, xcb_screen_next(&screens)) {
        if (i == screenNumber) {
            m_defaultScreen = screens.data;
            break;
        }
    }
    if (m_defaultScreen == nullptr) {
        xcb_disconnect(m_connection);
        m_connection = nullptr;
        throw ETalvexError(NoDisplayStatus, "the display \"" + std::string(display) + "\" has no such screen");
    }
}

XConnection::~XConnection()
{
    xcb_flush(m_connection);
    xcb_disconnect(m_connection);
}

const xcb_screen_t* XConnection::ScreenOfRoot(xcb_window_t root) const
{
    for (auto screens = xcb_setup_roots_iterator(xcb_get_setup(m_connection)); screens.rem > 0;
         xcb_screen_next(&screens)) {
        if (screens.data->root == root)
            return screens.data;
    }
    return nullptr;
}

bool XConnection::IsLocal() const
{
    return X11ConnectionIsLocal(m_connection);
}

xcb_atom_t XConnection::Atom(const char* name) const
{
    const auto cookie = xcb_intern_atom(m_connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(m_connection, cookie, nullptr);
    const xcb_atom_t atom = reply != nullptr ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
    std::free(reply);
    return atom;
}
