// The X server's idle time, from its screen-saver extension (MIT-SCREEN-SAVER): the
// time since the last input of any device, read when the set time could first have
// passed. Nothing of the server's own screen-saver settings is changed.
#pragma once

#include "hosts/IdleWatch.h"

#include <memory>

// Connects to $DISPLAY. Raises ETalvexError with the no-display status when there is no
// X server, or it has no screen-saver extension.
std::unique_ptr<IdleSource> WatchX11Idle(std::chrono::milliseconds idleTime);
