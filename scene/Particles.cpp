// The star and rain particle layers.
#include "scene/Particles.h"

#include "scene/RainUnder.h"
#include "scene/Scene.h"

Pixel StarGrey(int level)
{
    const int grey = 255 - 17 * (level - 1);
    return Rgb(grey, grey, grey);
}

void DrawStars(Scene& scene, Raster& dst)
{
    for (int i = 0; i < StarCount; ++i) {
        // A level outside 1 to 7 never comes from the re-draw; clamp to keep the grey
        // a grey rather than wrap the channel byte.
        const int level = scene.StarLevel[i] < 1 ? 1 : (scene.StarLevel[i] > 7 ? 7 : scene.StarLevel[i]);
        dst.SetPixel(scene.StarX[i], scene.StarY[i], StarGrey(level));
        scene.StarLevel[i] = scene.Random.RandomBelow(7) + 1;
    }
}

void DrawRain(Scene& scene, Raster& dst, int windowWidth, RainUnder* under)
{
    for (int i = 0; i < RainCount; ++i) {
        std::int32_t& x = scene.RainX[i];
        std::int32_t& y = scene.RainY[i];
        // The line's pixels lie within the box of its two end points.
        if (under)
            under->Save(dst, {x, y - 11, x + 4, y + 1});
        dst.MoveTo(x, y);
        dst.LineTo(x + 3, y - 11);
        x -= 4;
        y += 2 * scene.RainSpeed[i];
        // The two wraps are independent: a streak may wrap on both axes at once.
        if (x <= 0)
            x = windowWidth;
        if (y > 500)
            y = -3;
    }
}
