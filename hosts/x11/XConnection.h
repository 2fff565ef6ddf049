// The connection to the X server, and what talvex reads from its set-up: screens,
// visuals, pixmap formats, atoms, and whether the server shares this machine's memory.
#pragma once

#include <cstdint>
#include <xcb/xcb.h>

class XConnection {
public:
    // Connects to $DISPLAY; raises ETalvexError with the no-display status when there is
    // none or it cannot be reached.
    XConnection();
    // Sends what is still queued, then closes the connection; the server frees every
    // resource the connection made.
    ~XConnection();
    XConnection(const XConnection&) = delete;
    XConnection& operator=(const XConnection&) = delete;

    xcb_connection_t* Get() const { return m_connection; }
    int Fd() const { return xcb_get_file_descriptor(m_connection); }
    // The screen $DISPLAY names.
    const xcb_screen_t& DefaultScreen() const { return *m_defaultScreen; }
    // The screen whose root window is root; nullptr when none is.
    const xcb_screen_t* ScreenOfRoot(xcb_window_t root) const;
    // True when the connection is a local socket, so the server can attach this
    // machine's shared memory segments.
    bool IsLocal() const;
    xcb_atom_t Atom(const char* name) const;

private:
    xcb_connection_t* m_connection = nullptr;
    const xcb_screen_t* m_defaultScreen = nullptr;
};
