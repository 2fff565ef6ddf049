// The saver's input rule as the Wayland tests drive it, for talvex and Project1 /S
// alike: 5 output pixels on either axis keep the show, the 6th ends it; buttons, the
// wheel and a key's release keep it; a key's press ends it; each end with status 0.
#pragma once

#include "HeadlessCompositor.h"

#include <string>
#include <vector>

// Starts the saver (argv, in the session) once per rule on a 1280 x 1024 output (its
// name as the session's Shoot takes it), the pointer at its centre, waits for its
// first-cycle frame, sends the keeping input, checks that it keeps running, then sends
// the ending input and checks its exit.
void ExpectSaverInputRule(const HeadlessCompositor& session, VirtualInput& input, const std::vector<std::string>& argv,
                          const std::string& output = "HEADLESS-1");

// The pointer moved before the saver (argv) starts, which makes mutter report a stale
// position on enter: 5 pixels after the first-cycle frame keep the show all the same,
// and a key ends it with status 0.
void ExpectFivePixelsKeepWhateverTheEnterSaid(const HeadlessCompositor& session, const std::vector<std::string>& argv);
