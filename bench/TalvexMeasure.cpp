// talvex-measure: talvex with one addition for bench/measure-talvex: once the pictures
// are loaded it draws each of the 28 once into a scratch raster, so that every sky,
// banner and set of eyes is decoded and the resident memory measured is that of a
// talvex that has shown them all.
#include "hosts/Talvex.h"
#include "scene/Catalogue.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv)
{
    return RunTalvex(std::vector<std::string>(argv + 1, argv + argc), std::getenv("XSCREENSAVER_WINDOW"),
                     [](Catalogue& pictures) {
                         Raster scratch(1, 1);
                         for (int holder = 1; holder <= PictureCount; ++holder)
                             pictures.Draw(scratch, holder, 0, 0);
                         std::fprintf(stderr, "talvex-measure: all %d pictures decoded\n", PictureCount);
                     });
}
