// The window talvex draws on.
#include "hosts/x11/TargetWindow.h"

#include "hosts/TalvexError.h"
#include "hosts/x11/XConnection.h"
#include "platform/x11/FramePresenter.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <unistd.h>

namespace {

constexpr int OwnWidth = 1024;
constexpr int OwnHeight = 768;
constexpr char OwnTitle[] = "Talvex";
// WM_CLASS: instance and class, each NUL-terminated.
constexpr char OwnClass[] = "talvex\0Talvex";

// A cover's pointer may move this many pixels on either axis and the show goes on.
constexpr int MoveTolerance = 5;

constexpr std::uint32_t KeysymEscape = 0xff1b;
constexpr std::uint32_t KeysymLowerQ = 0x71;
constexpr std::uint32_t KeysymUpperQ = 0x51;

const char* ClassName(std::uint8_t visualClass)
{
    static constexpr const char* Names[] = {"StaticGray", "GrayScale", "StaticColor",
                                            "PseudoColor", "TrueColor", "DirectColor"};
    return visualClass < std::size(Names) ? Names[visualClass] : "unknown";
}

std::string Hex(std::uint32_t id)
{
    char text[16];
    std::snprintf(text, sizeof text, "0x%x", id);
    return text;
}

template <typename Reply>
struct FreeReply {
    void operator()(Reply* reply) const { std::free(reply); }
};
template <typename Reply>
using ReplyPtr = std::unique_ptr<Reply, FreeReply<Reply>>;

} // namespace

TargetWindow::TargetWindow(const XConnection& x, xcb_window_t window, bool own)
    : m_x(x), m_window(window), m_own(own)
{
}

TargetWindow::~TargetWindow()
{
    if (m_own)
        xcb_destroy_window(m_x.Get(), m_window);
}

void TargetWindow::CheckVisual(const XConnection& x, xcb_window_t window, xcb_visualid_t visual)
{
    const xcb_setup_t* setup = xcb_get_setup(x.Get());
    std::uint8_t depth = 0;
    const xcb_visualtype_t* type = X11FindVisual(setup, visual, depth);
    if (type == nullptr)
        throw ETalvexError(FailureStatus, "window " + Hex(window) + " has a visual the server does not list");
    if (X11VisualRasterDepth(setup, visual) == 0) {
        throw ETalvexError(FailureStatus,
                           "window " + Hex(window) + " has a " + ClassName(type->_class) + " visual of depth " +
                               std::to_string(depth) +
                               "; talvex draws on 24- or 32-bit TrueColor visuals with 8 bits a channel");
    }
}

std::unique_ptr<TargetWindow> TargetWindow::Own(const XConnection& x)
{
    xcb_connection_t* c = x.Get();
    const xcb_screen_t& screen = x.DefaultScreen();
    CheckVisual(x, screen.root, screen.root_visual);

    const xcb_window_t window = xcb_generate_id(c);
    std::unique_ptr<TargetWindow> target(new TargetWindow(x, window, true));
    target->m_depth = screen.root_depth;
    target->m_width = OwnWidth;
    target->m_height = OwnHeight;
    const std::uint32_t values[] = {screen.black_pixel, XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_STRUCTURE_NOTIFY |
                                                            XCB_EVENT_MASK_KEY_PRESS};
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screen.root, 0, 0, OwnWidth, OwnHeight, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen.root_visual, XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK,
                      values);

    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                        sizeof OwnTitle - 1, OwnTitle);
    const xcb_atom_t utf8 = x.Atom("UTF8_STRING");
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, x.Atom("_NET_WM_NAME"), utf8, 8, sizeof OwnTitle - 1,
                        OwnTitle);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8, sizeof OwnClass,
                        OwnClass);
    const std::uint32_t pid = static_cast<std::uint32_t>(getpid());
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, x.Atom("_NET_WM_PID"), XCB_ATOM_CARDINAL, 32, 1, &pid);
    target->m_deleteWindow = x.Atom("WM_DELETE_WINDOW");
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, x.Atom("WM_PROTOCOLS"), XCB_ATOM_ATOM, 32, 1,
                        &target->m_deleteWindow);
    target->TakeKeyboardMapping();
    xcb_map_window(c, window);
    xcb_flush(c);
    return target;
}

std::unique_ptr<TargetWindow> TargetWindow::Cover(const XConnection& x)
{
    xcb_connection_t* c = x.Get();
    const xcb_screen_t& screen = x.DefaultScreen();
    CheckVisual(x, screen.root, screen.root_visual);

    const xcb_window_t window = xcb_generate_id(c);
    std::unique_ptr<TargetWindow> target(new TargetWindow(x, window, true));
    target->m_cover = true;
    target->m_depth = screen.root_depth;
    target->m_width = screen.width_in_pixels;
    target->m_height = screen.height_in_pixels;

    // No cursor: one made of an empty 1 x 1 bitmap.
    const xcb_pixmap_t empty = xcb_generate_id(c);
    xcb_create_pixmap(c, 1, empty, screen.root, 1, 1);
    const xcb_cursor_t cursor = xcb_generate_id(c);
    xcb_create_cursor(c, cursor, empty, empty, 0, 0, 0, 0, 0, 0, 0, 0);
    xcb_free_pixmap(c, empty);

    // The values in the order of their bits.
    const std::uint32_t values[] = {screen.black_pixel, 1,
                                    XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_STRUCTURE_NOTIFY |
                                        XCB_EVENT_MASK_KEY_PRESS | XCB_EVENT_MASK_POINTER_MOTION,
                                    cursor};
    xcb_create_window(c, XCB_COPY_FROM_PARENT, window, screen.root, 0, 0, screen.width_in_pixels,
                      screen.height_in_pixels, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, screen.root_visual,
                      XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT | XCB_CW_EVENT_MASK | XCB_CW_CURSOR, values);
    xcb_change_property(c, XCB_PROP_MODE_REPLACE, window, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8, sizeof OwnClass,
                        OwnClass);
    xcb_map_window(c, window);
    // Keys go to the focused window, and the pointer's moves to the window under it:
    // both are taken while the saver shows. Another client's grab leaves the pointer's
    // moves over the cover, which is over everything.
    const auto keyboard = xcb_grab_keyboard(c, 0, window, XCB_CURRENT_TIME, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC);
    const auto pointer = xcb_grab_pointer(c, 0, window, XCB_EVENT_MASK_POINTER_MOTION, XCB_GRAB_MODE_ASYNC,
                                          XCB_GRAB_MODE_ASYNC, XCB_NONE, cursor, XCB_CURRENT_TIME);
    const auto where = xcb_query_pointer(c, screen.root);
    std::free(xcb_grab_keyboard_reply(c, keyboard, nullptr));
    std::free(xcb_grab_pointer_reply(c, pointer, nullptr));
    ReplyPtr<xcb_query_pointer_reply_t> position(xcb_query_pointer_reply(c, where, nullptr));
    if (position && position->same_screen) {
        target->m_originKnown = true;
        target->m_originX = position->root_x;
        target->m_originY = position->root_y;
    }
    xcb_free_cursor(c, cursor);
    xcb_flush(c);
    return target;
}

TargetWindow::Outcome TargetWindow::PointerAt(int x, int y)
{
    if (!m_originKnown) {
        m_originKnown = true;
        m_originX = x;
        m_originY = y;
        return Outcome::Nothing;
    }
    const bool moved = std::abs(x - m_originX) > MoveTolerance || std::abs(y - m_originY) > MoveTolerance;
    return moved ? Outcome::CloseAsked : Outcome::Nothing;
}

void TargetWindow::TakeKeyboardMapping()
{
    xcb_connection_t* c = m_x.Get();
    const xcb_setup_t* setup = xcb_get_setup(c);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    ReplyPtr<xcb_get_keyboard_mapping_reply_t> reply(xcb_get_keyboard_mapping_reply(
        c, xcb_get_keyboard_mapping(c, setup->min_keycode, static_cast<std::uint8_t>(count)), nullptr));
    if (!reply)
        return;
    const xcb_keysym_t* keysyms = xcb_get_keyboard_mapping_keysyms(reply.get());
    const int perCode = reply->keysyms_per_keycode;
    for (int code = 0; code < count; ++code) {
        for (int level = 0; level < perCode; ++level) {
            const xcb_keysym_t sym = keysyms[code * perCode + level];
            if (sym == KeysymEscape || sym == KeysymLowerQ || sym == KeysymUpperQ) {
                m_closeKeys.push_back(static_cast<xcb_keycode_t>(setup->min_keycode + code));
                break;
            }
        }
    }
}

std::unique_ptr<TargetWindow> TargetWindow::Host(const XConnection& x, std::uint32_t id)
{
    xcb_connection_t* c = x.Get();
    const xcb_window_t window = id != 0 ? id : x.DefaultScreen().root;
    // This connection's own interest in the window: its size, its end, its exposures;
    // other clients' selections on it are untouched. Selected before the size is
    // read, so that no change of size falls between the two. The three requests go
    // out together: one round trip.
    const std::uint32_t mask = XCB_EVENT_MASK_EXPOSURE | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    const auto attributesCookie = xcb_get_window_attributes(c, window);
    const auto selectCookie = xcb_change_window_attributes_checked(c, window, XCB_CW_EVENT_MASK, &mask);
    const auto geometryCookie = xcb_get_geometry(c, window);
    xcb_generic_error_t* error = nullptr;
    ReplyPtr<xcb_get_window_attributes_reply_t> attributes(
        xcb_get_window_attributes_reply(c, attributesCookie, &error));
    std::free(error);
    error = xcb_request_check(c, selectCookie);
    const bool selected = error == nullptr;
    std::free(error);
    error = nullptr;
    ReplyPtr<xcb_get_geometry_reply_t> geometry(xcb_get_geometry_reply(c, geometryCookie, &error));
    std::free(error);
    if (!attributes || !selected || !geometry)
        throw ETalvexError(FailureStatus, "window " + Hex(window) + " does not exist");
    if (attributes->_class == XCB_WINDOW_CLASS_INPUT_ONLY)
        throw ETalvexError(FailureStatus, "window " + Hex(window) + " is input-only: it shows nothing");
    CheckVisual(x, window, attributes->visual);

    std::unique_ptr<TargetWindow> target(new TargetWindow(x, window, false));
    target->m_depth = geometry->depth;
    target->m_width = geometry->width;
    target->m_height = geometry->height;
    return target;
}

TargetWindow::Outcome TargetWindow::Handle(const xcb_generic_event_t& event)
{
    switch (event.response_type & 0x7F) {
    case XCB_CONFIGURE_NOTIFY: {
        const auto& configure = reinterpret_cast<const xcb_configure_notify_event_t&>(event);
        if (configure.window == m_window) {
            m_width = configure.width;
            m_height = configure.height;
        }
        return Outcome::Nothing;
    }
    case XCB_EXPOSE: {
        const auto& expose = reinterpret_cast<const xcb_expose_event_t&>(event);
        return expose.window == m_window && expose.count == 0 ? Outcome::Exposed : Outcome::Nothing;
    }
    case XCB_DESTROY_NOTIFY: {
        const auto& destroy = reinterpret_cast<const xcb_destroy_notify_event_t&>(event);
        if (destroy.window == m_window) {
            m_own = false;   // nothing left to destroy
            return Outcome::Gone;
        }
        return Outcome::Nothing;
    }
    case XCB_KEY_PRESS: {
        const auto& key = reinterpret_cast<const xcb_key_press_event_t&>(event);
        const bool closes = std::find(m_closeKeys.begin(), m_closeKeys.end(), key.detail) != m_closeKeys.end();
        return m_cover || (m_own && closes) ? Outcome::CloseAsked : Outcome::Nothing;
    }
    case XCB_MOTION_NOTIFY: {
        const auto& motion = reinterpret_cast<const xcb_motion_notify_event_t&>(event);
        return m_cover ? PointerAt(motion.root_x, motion.root_y) : Outcome::Nothing;
    }
    case XCB_CLIENT_MESSAGE: {
        const auto& message = reinterpret_cast<const xcb_client_message_event_t&>(event);
        const bool deleteAsked = m_own && message.window == m_window && message.format == 32 &&
                                 message.data.data32[0] == m_deleteWindow;
        return deleteAsked ? Outcome::CloseAsked : Outcome::Nothing;
    }
    default:
        return Outcome::Nothing;
    }
}

bool TargetWindow::IsGoneError(const xcb_generic_error_t& error) const
{
    return (error.error_code == XCB_WINDOW || error.error_code == XCB_DRAWABLE) && error.resource_id == m_window;
}
