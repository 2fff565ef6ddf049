// talvex on a Wayland compositor, through libwayland-client alone: a layer-shell surface
// with a scene of its own on every output (the overlay layer as a saver, ended by the
// saver's input rule; the background layer with --background, taking no input), or one
// full-screen xdg-shell window where the compositor offers no layer-shell. Outputs that
// come get a surface and a scene, outputs that go lose theirs; it ends when the last
// surface is gone. Ticks run on the same fixed 100 ms grid as on X11.
#pragma once

#include <future>
#include <memory>

class Catalogue;

enum class WaylandRole { Saver, Background };

// The exit status: 0 when the input rule, SIGTERM or SIGINT, or the compositor closing
// every surface ended it. Raises ETalvexError for the rest: status 1 when no compositor
// answers or it goes away, 2 for any other failure. loading delivers the pictures.
int RunWayland(WaylandRole role, std::future<std::unique_ptr<Catalogue>>& loading);
