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
PictureLayer Place(int holder, const IClientSize& window, int column, int row)
{
    if (holder == 0)
        return {};
    const Placement& at = Facts(holder).At;
    const int x = (at.LeftFromRight ? window.ClientWidth() - at.Left : at.Left) + column;
    const int y = (at.TopFromBottom ? window.ClientHeight() - at.Top : at.Top) + row;
    return {holder, x, y};
}

// The holder of a picture that is shown when its flag is 1.
int WhenOn(std::int32_t flag, PictureRole role, int n)
{
    return flag == 1 ? HolderOf(role, n) : 0;
}

} // namespace

SceneLayers LayersOfPlan(const IClientSize& window)
{
    SceneLayers layers;
    layers.Sky = Place(HolderOf(Sky, Plan.SkyIndex), window, 0, 0);
    layers.Middle = {
        Place(WhenOn(Plan.MoonOn, Moon, 1), window, Plan.MoonX, Plan.MoonY),
        Place(HolderOf(Figure, Plan.FigureChoice), window, Plan.FigureX, 0),
        // The castle's right edge lies CastleShift pixels past the window's right edge,
        // the branches' left edge BranchShift pixels past the left edge.
        Place(HolderOf(Castle, Plan.CastleChoice), window, Plan.CastleShift, 0),
        Place(HolderOf(Branches, Plan.BranchChoice), window, -Plan.BranchShift, 0),
        Place(WhenOn(Plan.TallTreeOn, TallTree, 1), window, Plan.TallTreeX, 0),
        Place(WhenOn(Plan.ShortTreeOn, ShortTree, 1), window, Plan.ShortTreeX, 0),
        Place(WhenOn(Plan.Hill1On, Hill, 1), window, Plan.Hill1X, 0),
        Place(WhenOn(Plan.Hill2On, Hill, 2), window, Plan.Hill2X, 0),
        Place(WhenOn(Plan.Hill3On, Hill, 3), window, Plan.Hill3X, 0),
    };
    layers.Eyes = Place(HolderOf(Eyes, Plan.EyesChoice), window, Plan.EyesX, Plan.EyesY);
    layers.Banner = Place(HolderOf(Banner, Plan.SkyIndex), window, 0, 0);
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
