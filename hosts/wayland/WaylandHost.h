// talvex on a Wayland compositor, through libwayland-client alone: a layer-shell surface
// with a scene of its own on every output (the overlay layer as a saver, ended by the
// saver's input rule; the background layer with --background, taking no input), or one
// full-screen xdg-shell window where the compositor offers no layer-shell. Outputs come
// and go, as monitors sleep, wake and are unplugged: an output that comes gets a surface
// and a scene at its size, one that goes loses its own, and the program waits while
// there is none. Ticks run on the same fixed 100 ms grid as on X11.
#pragma once

#include <future>
#include <memory>
#include <string>
#include <vector>

class Catalogue;
struct wl_display;

enum class WaylandRole { Saver, Background };

struct WaylandOptions {
    WaylandRole role = WaylandRole::Saver;
    // The names of the outputs to show the scene on; empty for every output.
    std::vector<std::string> outputs;
};

// The exit status: 0 when the input rule, SIGTERM or SIGINT, or the window's close ended
// it, and in the background role when the compositor closed the connection. Raises
// ETalvexError for the rest: status 1 when no compositor answers, the connection is lost
// in the saver role, or the compositor reports a protocol error; 2 for any other
// failure. The connection is the one WAYLAND_SOCKET hands over, else the socket
// WAYLAND_DISPLAY names. loading delivers the pictures.
int RunWayland(const WaylandOptions& options, std::future<std::unique_ptr<Catalogue>>& loading);

// The connection WAYLAND_SOCKET hands over, else the socket WAYLAND_DISPLAY names.
// Raises ETalvexError with status 1 when no compositor answers.
wl_display* ConnectToCompositor();
