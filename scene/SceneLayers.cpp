// The plan's picture layers: which picture each choice shows, and where.
#include "scene/SceneLayers.h"

#include "scene/Catalogue.h"
#include "scene/PictureTable.h"
#include "scene/ScenePlan.h"

#include <algorithm>
#include <cstdint>

namespace {

using enum PictureRole;

// The picture at its table placement, moved by the plan's fields; none for holder 0.
PictureLayer Place(int holder, FrameSize size, int column, int row)
{
    if (holder == 0)
        return {};
    const Placement& at = Facts(holder).At;
    const int x = (at.LeftFromRight ? size.Width - at.Left : at.Left) + column;
    const int y = (at.TopFromBottom ? size.Height - at.Top : at.Top) + row;
    return {holder, x, y};
}

// The holder of a picture that is shown when its flag is 1.
int WhenOn(std::int32_t flag, PictureRole role, int n)
{
    return flag == 1 ? HolderOf(role, n) : 0;
}

} // namespace

SceneLayers LayersOfPlan(const ScenePlan& plan, FrameSize size)
{
    SceneLayers layers;
    layers.Sky = Place(HolderOf(Sky, plan.SkyIndex), size, 0, 0);
    layers.Middle = {
        Place(WhenOn(plan.MoonOn, Moon, 1), size, plan.MoonX, plan.MoonY),
        Place(HolderOf(Figure, plan.FigureChoice), size, plan.FigureX, 0),
        // The castle's right edge lies CastleShift pixels past the window's right edge,
        // the branches' left edge BranchShift pixels past the left edge.
        Place(HolderOf(Castle, plan.CastleChoice), size, plan.CastleShift, 0),
        Place(HolderOf(Branches, plan.BranchChoice), size, -plan.BranchShift, 0),
        Place(WhenOn(plan.TallTreeOn, TallTree, 1), size, plan.TallTreeX, 0),
        Place(WhenOn(plan.ShortTreeOn, ShortTree, 1), size, plan.ShortTreeX, 0),
        Place(WhenOn(plan.Hill1On, Hill, 1), size, plan.Hill1X, 0),
        Place(WhenOn(plan.Hill2On, Hill, 2), size, plan.Hill2X, 0),
        Place(WhenOn(plan.Hill3On, Hill, 3), size, plan.Hill3X, 0),
    };
    layers.Eyes = Place(HolderOf(Eyes, plan.EyesChoice), size, plan.EyesX, plan.EyesY);
    layers.Banner = Place(HolderOf(Banner, plan.SkyIndex), size, 0, 0);
    return layers;
}

Rect LayerBounds(Catalogue& catalogue, const PictureLayer& layer)
{
    if (layer.Holder == 0)
        return {};
    const Picture& picture = catalogue.Image(layer.Holder);
    // Positions far out clamp to the int range rather than wrap.
    const auto edge = [](std::int64_t v) {
        return static_cast<int>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
    };
    return {layer.X, layer.Y, edge(std::int64_t{layer.X} + picture.Width()),
            edge(std::int64_t{layer.Y} + picture.Height())};
}

void DrawLayer(Catalogue& catalogue, Raster& frame, const PictureLayer& layer)
{
    if (layer.Holder != 0)
        catalogue.Draw(frame, layer.Holder, layer.X, layer.Y);
}

void DrawLayer(Catalogue& catalogue, Raster& frame, const PictureLayer& layer, const Rect& clip)
{
    if (layer.Holder != 0)
        catalogue.Draw(frame, layer.Holder, layer.X, layer.Y, clip);
}
