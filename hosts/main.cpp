// talvex: the night scene for the X screen-saver hosts (xscreensaver, mate-screensaver,
// the Xfce saver). See Talvex.h.
#include "hosts/Talvex.h"

#include <cstdlib>

int main(int argc, char** argv)
{
    return RunTalvex(std::vector<std::string>(argv + 1, argv + argc), std::getenv("XSCREENSAVER_WINDOW"));
}
