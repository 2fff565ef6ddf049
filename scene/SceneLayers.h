// The picture layers of a frame as the scene plan calls for them now, each where the
// picture table places it, in the order the tick draws them.
#pragma once

#include "scene/FrameSize.h"

#include <array>

class Catalogue;
class Raster;
struct Rect;
struct ScenePlan;

struct PictureLayer {
    int Holder = 0;   // 0: the plan shows no picture here
    int X = 0;
    int Y = 0;
};

// The stars come between the sky and the first of the middle layers, the eyes between
// the last of them and the banner, the rain over everything.
struct SceneLayers {
    PictureLayer Sky;
    // Moon, figure, castle, branches, tall tree, short tree, the three hills.
    std::array<PictureLayer, 9> Middle;
    PictureLayer Eyes;   // the chosen eyes, drawn only while they are open
    PictureLayer Banner;
};

// The layers of the plan in a frame of size W x H.
SceneLayers LayersOfPlan(const ScenePlan& plan, FrameSize size);

// The rectangle a layer's picture covers in the frame (before clipping); empty for no
// picture.
Rect LayerBounds(Catalogue& catalogue, const PictureLayer& layer);

// Draws the layer's picture, keyed as the table says; only inside clip, when given.
void DrawLayer(Catalogue& catalogue, Raster& frame, const PictureLayer& layer);
void DrawLayer(Catalogue& catalogue, Raster& frame, const PictureLayer& layer, const Rect& clip);
