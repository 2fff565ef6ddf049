// One tick: the frame composition, layer by layer, into a back buffer of the window's
// client size.
#include "scene/Tick.h"

#include "scene/Catalogue.h"
#include "scene/Particles.h"
#include "scene/RandomSource.h"
#include "scene/ScenePlan.h"
#include "scene/SceneLayers.h"

#include <algorithm>

namespace {

bool EyesOpen(const SceneLayers& layers)
{
    return layers.Eyes.Holder != 0 && Plan.EyesOpenCountdown > 0;
}

// The rows the sky will cover whole: it is opaque, at the top-left corner, and at
// least as wide as the frame.
RowsToOverwrite SkyRows(Catalogue& catalogue, const SceneLayers& layers, int width, int height)
{
    const Rect sky = LayerBounds(catalogue, layers.Sky);
    if (sky.IsEmpty() || Facts(layers.Sky.Holder).Keyed || sky.Left > 0 || sky.Right < width)
        return {};
    return {std::max(sky.Top, 0), std::min(sky.Bottom, height)};
}

// Layers 6 to 19 of the tick: everything between the clear and the copy.
void DrawLayers(Catalogue& catalogue, const IClientSize& window, Raster& buffer, const SceneLayers& layers,
                const RowsToOverwrite& skyRows)
{
    if (layers.Sky.Holder != 0) {
        try {
            DrawLayer(catalogue, buffer, layers.Sky);
        } catch (...) {
            // The clear left these rows to the sky, which drew nothing.
            skyRows.Fill(buffer, Black);
            throw;
        }
    }

    if (Plan.StarsOn == 1)
        DrawStars(buffer);

    for (const PictureLayer& layer : layers.Middle)
        DrawLayer(catalogue, buffer, layer);

    // The eyes are tested with the blink count before this tick's step.
    if (EyesOpen(layers))
        DrawLayer(catalogue, buffer, layers.Eyes);

    StepEyes();

    DrawLayer(catalogue, buffer, layers.Banner);

    // The pen is still black from the clear.
    if (Plan.RainOn == 1)
        DrawRain(buffer, window.ClientWidth());

    StepCycle(window);
}

} // namespace

void ComposeTick(Catalogue& catalogue, const IClientSize& window, IFrameSink& sink)
{
    ReseedFromClock();

    const int height = window.ClientHeight();
    const int width = window.ClientWidth();
    const SceneLayers layers = LayersOfPlan(window);
    // Every row is written by the clear or the sky.
    Raster buffer(width, height, RowsToOverwrite::All());
    buffer.SetPenColour(Black);

    // The window has no border, so its outer size is its client size. The loop draws
    // one row past the bottom, where it is clipped; it leaves out the sky's rows.
    const RowsToOverwrite skyRows = SkyRows(catalogue, layers, width, height);
    const int outerWidth = window.ClientWidth();
    const int outerHeight = window.ClientHeight();
    for (int y = 0; y <= outerHeight; ++y) {
        if (skyRows.Contains(y))
            continue;
        buffer.MoveTo(0, y);
        buffer.LineTo(outerWidth, y);
    }

    // However the layers end, the frame as far as it got is shown and released; a
    // failure then goes on to the caller.
    try {
        DrawLayers(catalogue, window, buffer, layers, skyRows);
    } catch (...) {
        sink.CopyFrame(buffer);
        throw;
    }
    sink.CopyFrame(buffer);
}

void DecodeAhead(Catalogue& catalogue)
{
    // Only the holders matter here, not where they go.
    struct NoSize : IClientSize {
        int ClientWidth() const override { return 0; }
        int ClientHeight() const override { return 0; }
    };
    // Only the pictures that decode at their first draw: the JPEG ones.
    const SceneLayers layers = LayersOfPlan(NoSize());
    for (const int holder : {layers.Sky.Holder, layers.Eyes.Holder, layers.Banner.Holder}) {
        if (holder != 0)
            catalogue.Image(holder).DecodeAhead();
    }
}
