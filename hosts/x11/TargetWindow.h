// The window talvex draws on: a host's (or the root window), or one of its own for
// trying the scene. Tracks its size from ConfigureNotify and tells the loop when it
// goes away or asks to be closed.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>
#include <xcb/xcb.h>

class XConnection;

class TargetWindow {
public:
    // What one event means for the loop.
    enum class Outcome { Nothing, Exposed, Gone, CloseAsked };

    // A titled, resizable 1024 x 768 window of talvex's own, mapped; Escape, Q and its
    // close box ask to close it.
    static std::unique_ptr<TargetWindow> Own(const XConnection& x);
    // A window of its own over the whole default screen, as a saver: above the others
    // (override-redirect), the cursor hidden, the keyboard and the pointer taken. A key
    // press, or a move of the pointer of more than 5 pixels on either axis from where it
    // was first seen, asks to close it; buttons and key releases do not.
    static std::unique_ptr<TargetWindow> Cover(const XConnection& x);
    // Window id made by someone else, or the default screen's root window for id 0.
    // Raises ETalvexError when it does not exist or its visual is not TrueColor of
    // depth 24 or 32.
    static std::unique_ptr<TargetWindow> Host(const XConnection& x, std::uint32_t id);
    // Destroys a window of its own; a host's window is left as it is.
    ~TargetWindow();
    TargetWindow(const TargetWindow&) = delete;
    TargetWindow& operator=(const TargetWindow&) = delete;

    xcb_window_t Id() const { return m_window; }
    std::uint8_t Depth() const { return m_depth; }
    bool IsOwn() const { return m_own; }
    int ClientWidth() const { return m_width; }
    int ClientHeight() const { return m_height; }

    Outcome Handle(const xcb_generic_event_t& event);
    // An X error: whether it says this window is gone (a request on it raced its
    // destruction).
    bool IsGoneError(const xcb_generic_error_t& error) const;

private:
    TargetWindow(const XConnection& x, xcb_window_t window, bool own);
    static void CheckVisual(const XConnection& x, xcb_window_t window, xcb_visualid_t visual);
    void TakeKeyboardMapping();
    // The saver's rule for a pointer at (x, y) on the root window.
    Outcome PointerAt(int x, int y);

    const XConnection& m_x;
    xcb_window_t m_window;
    bool m_own;
    bool m_cover = false;
    // Where the pointer was first seen, for a cover.
    bool m_originKnown = false;
    int m_originX = 0;
    int m_originY = 0;
    std::uint8_t m_depth = 0;
    int m_width = 0;
    int m_height = 0;
    xcb_atom_t m_deleteWindow = XCB_ATOM_NONE;
    // Key codes that close a window of its own: Escape, Q.
    std::vector<xcb_keycode_t> m_closeKeys;
};
