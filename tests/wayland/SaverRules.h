// The saver's input rule as the Wayland tests drive it, for talvex and Project1 /S
// alike: 5 output pixels on either axis keep the show, the 6th ends it; buttons, the
// wheel and a key's release keep it; a key's press ends it; each end with status 0.
#pragma once

#include "HeadlessSway.h"

#include <string>
#include <vector>

// Starts the saver (argv, in the session) once per rule on a 1280 x 1024 HEADLESS-1,
// the pointer at its centre, waits for its first-cycle frame, sends the keeping input,
// checks that it keeps running, then sends the ending input and checks its exit.
void ExpectSaverInputRule(const HeadlessSway& sway, VirtualInput& input, const std::vector<std::string>& argv);
