// The Wayland compositor's idle notifications: ext-idle-notify-v1 where it offers them
// (it then keeps the scene away while a program inhibits idling, as a playing video
// does), else KDE's older org_kde_kwin_idle.
#pragma once

#include "hosts/IdleWatch.h"

#include <memory>

// Connects as talvex's shows do (WAYLAND_SOCKET, else WAYLAND_DISPLAY). Returns nullptr
// when the compositor offers neither protocol; raises ETalvexError with the no-display
// status when no compositor answers or it has no seat.
std::unique_ptr<IdleSource> WatchWaylandIdle(std::chrono::milliseconds idleTime);
