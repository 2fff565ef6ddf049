// talvex: the night scene as a display program for the X screen-saver hosts. It draws
// the same ticks as the saver's screen window, every 100 ms from the first at once,
// onto a window the host made (or the root window), or onto a window of its own.
#pragma once

#include <functional>
#include <string>
#include <vector>

class Catalogue;

// Runs talvex with args (without the program's name); hostWindow is the value of
// XSCREENSAVER_WINDOW or nullptr. Returns the exit status: 0 after SIGTERM, SIGINT, the
// window's end or its close; 1 without a display; 2 for any other failure, said in one
// line on stderr. afterLoad, when given, runs once the pictures are loaded (the
// measuring build decodes all of them there).
int RunTalvex(const std::vector<std::string>& args, const char* hostWindow,
              const std::function<void(Catalogue&)>& afterLoad = {});
