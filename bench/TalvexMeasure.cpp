// talvex-measure: talvex with two additions for the bench scripts. Once the pictures
// are loaded it draws each of the 28 once into a scratch raster, so that every sky,
// banner and set of eyes is decoded and the resident memory measured is that of a
// talvex that has shown them all. And the clock its scenes reseed from counts 100 ms
// a reading instead of telling the time of day, so that two runs show the same scenes
// in the same order (rain or none), whatever they run on. With "--busy", each scene
// shows the busiest plan from its second tick on (every layer, stars and rain; with
// "--no-rain" as well, without the rain), the one Project1-measure --busy shows.
#include "BusyPlan.h"
#include "hosts/Talvex.h"
#include "scene/Catalogue.h"
#include "scene/RandomSource.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    std::uint32_t clock = 0;
    SetClockFunction([&clock] { return clock += 100; });
    std::vector<std::string> args(argv + 1, argv + argc);
    const auto taken = [&args](const char* option) {
        const auto at = std::find(args.begin(), args.end(), option);
        if (at == args.end())
            return false;
        args.erase(at);
        return true;
    };
    const bool rain = !taken("--no-rain");
    if (taken("--busy"))
        HoldBusyPlan(rain, "talvex-measure");
    return RunTalvex(args, std::getenv("XSCREENSAVER_WINDOW"),
                     [](Catalogue& pictures) {
                         Raster scratch(1, 1);
                         for (int holder = 1; holder <= PictureCount; ++holder)
                             pictures.Draw(scratch, holder, 0, 0);
                         std::fprintf(stderr, "talvex-measure: all %d pictures decoded\n", PictureCount);
                     });
}
