// GNOME's idle time, which its compositor tells on the session bus alone
// (org.gnome.Mutter.IdleMonitor): one idle watch of the set time, whose WatchFired signal
// comes each time the session has been idle that long.
#pragma once

#include "hosts/IdleWatch.h"

#include <memory>

// Connects to the session bus (DBUS_SESSION_BUS_ADDRESS, else the user's bus in
// XDG_RUNTIME_DIR). Returns nullptr when there is no session bus or no idle monitor on
// it; raises ETalvexError when the monitor refuses the watch.
std::unique_ptr<IdleSource> WatchMutterIdle(std::chrono::milliseconds idleTime);
