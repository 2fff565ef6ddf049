// The command line of talvex, in the screen-saver hosts' convention: one or two dashes
// before each option, the window ID in decimal or 0x hexadecimal.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class TalvexTarget {
    OwnWindow,   // --window (the default): a window of its own, for trying the scene
    HostWindow,  // --root or --window-id: a window the host made (or the root window)
    Wayland,     // --wayland or --background, or WAYLAND_DISPLAY set and no X11 option
    Help,
    Version,
};

struct TalvexOptions {
    TalvexTarget target = TalvexTarget::OwnWindow;
    // For HostWindow: the window to draw on; 0 stands for the screen's root window.
    std::uint32_t windowId = 0;
    // For Wayland: on the background layer, taking no input (--background), instead of
    // the saver's overlay.
    bool background = false;
};

// A window ID: decimal, or hexadecimal after 0x or 0X; above 0 and below 2^29 (the
// X protocol's resource IDs have their top three bits clear).
bool ParseWindowId(std::string_view text, std::uint32_t& id);

// args excludes the program's name. hostWindow is the value of XSCREENSAVER_WINDOW,
// or nullptr when it is not set; only --root reads it. waylandDisplay is the value of
// WAYLAND_DISPLAY: set and not empty, and with neither an X11 option nor a host's
// window, it makes Wayland the target. On a bad command line, returns false with
// problem set to one line naming it.
bool ParseTalvexOptions(const std::vector<std::string>& args, const char* hostWindow, TalvexOptions& options,
                        std::string& problem, const char* waylandDisplay = nullptr);

// The --help text, several lines.
std::string TalvexUsage();
