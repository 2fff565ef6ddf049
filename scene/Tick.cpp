// One tick: the frame composition, layer by layer, into a back buffer of the window's
// client size.
#include "scene/Tick.h"

#include "scene/Catalogue.h"
#include "scene/Particles.h"
#include "scene/RandomSource.h"
#include "scene/ScenePlan.h"

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

// Layers 6 to 19 of the tick: everything between the clear and the copy.
void DrawLayers(Catalogue& catalogue, const IClientSize& window, Raster& buffer)
{
    if (Plan.SkyIndex >= 1 && Plan.SkyIndex <= 5)
        catalogue.Draw(buffer, FirstSky + Plan.SkyIndex - 1, 0, 0);

    if (Plan.StarsOn == 1)
        DrawStars(buffer);

    if (Plan.MoonOn == 1)
        catalogue.Draw(buffer, Moon, Plan.MoonX, Plan.MoonY);

    // Each figure stands with its last row on frame row 499.
    if (Plan.FigureChoice == 1)
        catalogue.Draw(buffer, FirstFigure, Plan.FigureX, 300);
    else if (Plan.FigureChoice == 2)
        catalogue.Draw(buffer, FirstFigure + 1, Plan.FigureX, 338);
    else if (Plan.FigureChoice == 3)
        catalogue.Draw(buffer, FirstFigure + 2, Plan.FigureX, 186);

    // The castle's right edge lies CastleShift pixels past the window's right edge.
    if (Plan.CastleChoice == 1)
        catalogue.Draw(buffer, CastleSmall, window.ClientWidth() - 479 + Plan.CastleShift, 182);
    else if (Plan.CastleChoice == 2)
        catalogue.Draw(buffer, CastleLarge, window.ClientWidth() - 1000 + Plan.CastleShift, 10);

    if (Plan.BranchChoice == 1)
        catalogue.Draw(buffer, BranchesPine, -Plan.BranchShift, 0);
    else if (Plan.BranchChoice == 2)
        catalogue.Draw(buffer, BranchesBare, -Plan.BranchShift, 0);

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
    if (Plan.EyesOpenCountdown > 0 && Plan.EyesChoice >= 1 && Plan.EyesChoice <= 5)
        catalogue.Draw(buffer, FirstEyes + Plan.EyesChoice - 1, Plan.EyesX, Plan.EyesY + 510);

    StepEyes();

    // One pixel of margin to the right and bottom edges.
    if (Plan.SkyIndex >= 1 && Plan.SkyIndex <= 5)
        catalogue.Draw(buffer, FirstBanner + Plan.SkyIndex - 1, window.ClientWidth() - 329,
                       window.ClientHeight() - 42);

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
    Raster buffer(width, height);
    buffer.SetPenColour(Black);

    // The window has no border, so its outer size is its client size. The loop draws
    // one row past the bottom, where it is clipped.
    const int outerWidth = window.ClientWidth();
    const int outerHeight = window.ClientHeight();
    for (int y = 0; y <= outerHeight; ++y) {
        buffer.MoveTo(0, y);
        buffer.LineTo(outerWidth, y);
    }

    // However the layers end, the frame as far as it got is shown and released; a
    // failure then goes on to the caller.
    try {
        DrawLayers(catalogue, window, buffer);
    } catch (...) {
        sink.CopyFrame(buffer);
        throw;
    }
    sink.CopyFrame(buffer);
}
