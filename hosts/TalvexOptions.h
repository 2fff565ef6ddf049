// The command line of talvex, in the screen-saver hosts' convention: one or two dashes
// before each option, the window ID in decimal or 0x hexadecimal.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

enum class TalvexTarget {
    OwnWindow,   // --window (the default): a window of its own, for trying the scene
    Cover,       // --cover: a window over the whole screen, as a saver that input ends
    HostWindow,  // --root or --window-id: a window the host made (or the root window)
    Wayland,     // --wayland, --background or --output, or a Wayland session and no X11 option
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
    // For Wayland: the names of the outputs to show the scene on (--output, and the lock
    // screen's SWAYLOCK_PLUGIN_OUTPUT_NAME); empty for every output.
    std::vector<std::string> outputs;
    // --idle MINUTES: above 0 when talvex waits for the session to be idle that long,
    // then shows the scene as a saver (Wayland, or Cover on X11), and waits again.
    double idleMinutes = 0;
};

// What the environment says of a Wayland session, each value null when not set:
// WAYLAND_DISPLAY, WAYLAND_SOCKET (a connection handed over, as swaylock-plugin does),
// and SWAYLOCK_PLUGIN_OUTPUT_NAME (the one output a lock screen runs it for).
struct WaylandEnvironment {
    const char* display = nullptr;
    const char* socket = nullptr;
    const char* outputName = nullptr;
};

// A window ID: decimal, or hexadecimal after 0x or 0X; above 0 and below 2^29 (the
// X protocol's resource IDs have their top three bits clear).
bool ParseWindowId(std::string_view text, std::uint32_t& id);

// args excludes the program's name. hostWindow is the value of XSCREENSAVER_WINDOW,
// or nullptr when it is not set; only --root reads it. WAYLAND_DISPLAY or WAYLAND_SOCKET
// set and not empty, with neither an X11 option nor a host's window, makes Wayland the
// target. On a bad command line, returns false with problem set to one line naming it.
bool ParseTalvexOptions(const std::vector<std::string>& args, const char* hostWindow, TalvexOptions& options,
                        std::string& problem, const WaylandEnvironment& wayland = {});

// The --help text, several lines.
std::string TalvexUsage();
