// One tick: the frame composition, layer by layer, into a back buffer of the window's
// client size.
#include "scene/Tick.h"

#include "scene/Catalogue.h"
#include "scene/Particles.h"
#include "scene/RandomSource.h"
#include "scene/ScenePlan.h"

#include <algorithm>

namespace {

// Pictures by holder number.
constexpr int FirstSky = 1;
constexpr int CastleSmall = 6;
constexpr int CastleLarge = 7;
constexpr int BranchesPine = 8;
constexpr int BranchesBare = 9;
constexpr int ShortTree = 10;
constexpr int TallTree = 11;
constexpr int Hill1 = 12;
constexpr int Hill2 = 13;
constexpr int Hill3 = 14;
constexpr int FirstEyes = 15;
constexpr int Moon = 20;
constexpr int FirstFigure = 21;
constexpr int FirstBanner = 24;

// The picture of each choice of the plan; 0 where the choice shows none.
int SkyHolder()
{
    return Plan.SkyIndex >= 1 && Plan.SkyIndex <= 5 ? FirstSky + Plan.SkyIndex - 1 : 0;
}
int BannerHolder()
{
    return Plan.SkyIndex >= 1 && Plan.SkyIndex <= 5 ? FirstBanner + Plan.SkyIndex - 1 : 0;
}
int FigureHolder()
{
    return Plan.FigureChoice >= 1 && Plan.FigureChoice <= 3 ? FirstFigure + Plan.FigureChoice - 1 : 0;
}
int CastleHolder()
{
    return Plan.CastleChoice == 1 ? CastleSmall : Plan.CastleChoice == 2 ? CastleLarge : 0;
}
int BranchHolder()
{
    return Plan.BranchChoice == 1 ? BranchesPine : Plan.BranchChoice == 2 ? BranchesBare : 0;
}
int EyesHolder()
{
    return Plan.EyesChoice >= 1 && Plan.EyesChoice <= 5 ? FirstEyes + Plan.EyesChoice - 1 : 0;
}

// The rows the sky will cover whole: it is opaque, at the top-left corner, and at
// least as wide as the frame.
RowsToOverwrite SkyRows(Catalogue& catalogue, int width, int height)
{
    const int sky = SkyHolder();
    if (sky == 0 || catalogue.Image(sky).Width() < width)
        return {};
    return {0, std::min(catalogue.Image(sky).Height(), height)};
}

// Layers 6 to 19 of the tick: everything between the clear and the copy.
void DrawLayers(Catalogue& catalogue, const IClientSize& window, Raster& buffer, const RowsToOverwrite& skyRows)
{
    if (const int sky = SkyHolder()) {
        try {
            catalogue.Draw(buffer, sky, 0, 0);
        } catch (...) {
            // The clear left these rows to the sky, which drew nothing.
            skyRows.Fill(buffer, Black);
            throw;
        }
    }

    if (Plan.StarsOn == 1)
        DrawStars(buffer);

    if (Plan.MoonOn == 1)
        catalogue.Draw(buffer, Moon, Plan.MoonX, Plan.MoonY);

    // Each figure stands with its last row on frame row 499.
    constexpr int FigureTop[] = {300, 338, 186};
    if (const int figure = FigureHolder())
        catalogue.Draw(buffer, figure, Plan.FigureX, FigureTop[figure - FirstFigure]);

    // The castle's right edge lies CastleShift pixels past the window's right edge.
    if (const int castle = CastleHolder())
        catalogue.Draw(buffer, castle, window.ClientWidth() - (castle == CastleSmall ? 479 : 1000) + Plan.CastleShift,
                       castle == CastleSmall ? 182 : 10);

    if (const int branches = BranchHolder())
        catalogue.Draw(buffer, branches, -Plan.BranchShift, 0);

    if (Plan.TallTreeOn == 1)
        catalogue.Draw(buffer, TallTree, Plan.TallTreeX, 0);
    if (Plan.ShortTreeOn == 1)
        catalogue.Draw(buffer, ShortTree, Plan.ShortTreeX, 135);

    if (Plan.Hill1On == 1)
        catalogue.Draw(buffer, Hill1, Plan.Hill1X, 326);
    if (Plan.Hill2On == 1)
        catalogue.Draw(buffer, Hill2, Plan.Hill2X, 326);
    if (Plan.Hill3On == 1)
        catalogue.Draw(buffer, Hill3, Plan.Hill3X, 326);

    // The eyes are tested with the blink count before this tick's step.
    if (const int eyes = EyesHolder(); eyes != 0 && Plan.EyesOpenCountdown > 0)
        catalogue.Draw(buffer, eyes, Plan.EyesX, Plan.EyesY + 510);

    StepEyes();

    // One pixel of margin to the right and bottom edges.
    if (const int banner = BannerHolder())
        catalogue.Draw(buffer, banner, window.ClientWidth() - 329, window.ClientHeight() - 42);

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
    // Every row is written by the clear or the sky.
    Raster buffer(width, height, RowsToOverwrite::All());
    buffer.SetPenColour(Black);

    // The window has no border, so its outer size is its client size. The loop draws
    // one row past the bottom, where it is clipped; it leaves out the sky's rows.
    const RowsToOverwrite skyRows = SkyRows(catalogue, width, height);
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
        DrawLayers(catalogue, window, buffer, skyRows);
    } catch (...) {
        sink.CopyFrame(buffer);
        throw;
    }
    sink.CopyFrame(buffer);
}

void DecodeAhead(Catalogue& catalogue)
{
    // Only the pictures that decode at their first draw: the JPEG ones.
    for (const int holder : {SkyHolder(), EyesHolder(), BannerHolder()}) {
        if (holder != 0)
            catalogue.Image(holder).DecodeAhead();
    }
}
