// The star and rain layers: 100 twinkling star pixels over the sky, 250 slanting rain
// streaks over everything.
#pragma once

#include "platform/raster/Raster.h"

class RainUnder;
struct Scene;

// Grey of star level 1 (white) to 7 (153, 153, 153); each level 17 darker.
Pixel StarGrey(int level);

// Sets each star's pixel to its level's grey, then draws the level for the next tick.
void DrawStars(Scene& scene, Raster& dst);
// Draws each streak with the raster's pen from its lower end 3 columns right and 11
// rows up, then moves it 4 columns left and 2 x speed rows down, wrapping at the left
// edge to the window width and below row 500 to row -3. With under, each streak's box
// is saved there before the streak is drawn.
void DrawRain(Scene& scene, Raster& dst, int windowWidth, RainUnder* under = nullptr);
