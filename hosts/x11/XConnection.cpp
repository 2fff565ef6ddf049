// The X connection of talvex.
#include "hosts/x11/XConnection.h"

#include "hosts/TalvexError.h"
#include "platform/x11/FramePresenter.h"

#include <bit>
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

const xcb_visualtype_t* XConnection::FindVisual(xcb_visualid_t id, std::uint8_t& depth) const
{
    for (auto screens = xcb_setup_roots_iterator(xcb_get_setup(m_connection)); screens.rem > 0;
         xcb_screen_next(&screens)) {
        for (auto depths = xcb_screen_allowed_depths_iterator(screens.data); depths.rem > 0;
             xcb_depth_next(&depths)) {
            for (auto visuals = xcb_depth_visuals_iterator(depths.data); visuals.rem > 0;
                 xcb_visualtype_next(&visuals)) {
                if (visuals.data->visual_id == id) {
                    depth = depths.data->depth;
                    return visuals.data;
                }
            }
        }
    }
    return nullptr;
}

int XConnection::BitsPerPixel(std::uint8_t depth) const
{
    const xcb_setup_t* setup = xcb_get_setup(m_connection);
    for (auto formats = xcb_setup_pixmap_formats_iterator(setup); formats.rem > 0; xcb_format_next(&formats)) {
        if (formats.data->depth == depth)
            return formats.data->bits_per_pixel;
    }
    return 0;
}

bool XConnection::ImagesInNativeByteOrder() const
{
    const int native =
        std::endian::native == std::endian::little ? XCB_IMAGE_ORDER_LSB_FIRST : XCB_IMAGE_ORDER_MSB_FIRST;
    return xcb_get_setup(m_connection)->image_byte_order == native;
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
