// The star and rain particle layers.
#include "scene/Particles.h"

#include "scene/RainUnder.h"
#include "scene/RandomSource.h"
#include "scene/ScenePlan.h"

Pixel StarGrey(int level)
{
    const int grey = 255 - 17 * (level - 1);
    return Rgb(grey, grey, grey);
}

void DrawStars(Raster& dst)
{
    for (int i = 0; i < StarCount; ++i) {
        // A level outside 1 to 7 never comes from the re-draw; clamp to keep the grey
        // a grey rather than wrap the channel byte.
        const int level = StarLevel[i] < 1 ? 1 : (StarLevel[i] > 7 ? 7 : StarLevel[i]);
        dst.SetPixel(StarX[i], StarY[i], StarGrey(level));
        StarLevel[i] = RandomBelow(7) + 1;
    }
}

void DrawRain(Raster& dst, int windowWidth, RainUnder* under)
{
    for (int i = 0; i < RainCount; ++i) {
        // The line's pixels lie within the box of its two end points.
        if (under)
            under->Save(dst, {RainX[i], RainY[i] - 11, RainX[i] + 4, RainY[i] + 1});
        dst.MoveTo(RainX[i], RainY[i]);
        dst.LineTo(RainX[i] + 3, RainY[i] - 11);
        RainX[i] -= 4;
        RainY[i] += 2 * RainSpeed[i];
        // The two wraps are independent: a streak may wrap on both axes at once.
        if (RainX[i] <= 0)
            RainX[i] = windowWidth;
        if (RainY[i] > 500)
            RainY[i] = -3;
    }
}
