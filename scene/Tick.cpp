// One tick: the frame composition, layer by layer, into a frame of the window's client
// size; within a cycle, the kept frame with only its moving layers redrawn.
//
// What moves within a cycle: the stars' greys, the eyes as they blink, the rain. The
// kept frame is the last frame itself, so no background is held beside it:
// - the rain lies over everything: the pixels under each streak are saved as it is
//   drawn and put back, last streak first, at the start of the next tick;
// - the stars lie under every picture: whether a still picture covers a star's pixel is
//   worked out once per plan, and each tick sets the uncovered stars' pixels;
// - when the eyes open or close, their rectangle is composed again from the clear up,
//   clipped to it, so that the banner over them comes out as in a whole composition.
// Each tick's random draws (the twinkle, the blink, the re-draw) come in the order of
// the whole composition. A tick whose plan, size, pictures or window differ from the
// kept frame's, the first of each cycle and the one after a failure compose the whole
// frame as before.
#include "scene/Tick.h"

#include "platform/raster/FillSpan.h"
#include "scene/Catalogue.h"
#include "scene/FrameChanges.h"
#include "scene/Particles.h"
#include "scene/RainUnder.h"
#include "scene/RandomSource.h"
#include "scene/ScenePlan.h"
#include "scene/SceneLayers.h"

#include <algorithm>
#include <array>
#include <cstdint>

namespace {

// The plan without its blink and cycle counts: what the still layers depend on.
ScenePlan StillPart(ScenePlan plan)
{
    plan.CycleCountdown = 0;
    plan.EyesOpenCountdown = 0;
    plan.EyesClosedCountdown = 0;
    return plan;
}

bool EyesOpen(const SceneLayers& layers)
{
    return layers.Eyes.Holder != 0 && Plan.EyesOpenCountdown > 0;
}

Pixel StarGreyNow(int i)
{
    // A level outside 1 to 7 never comes from the re-draw; it is clamped as the star
    // layer clamps it.
    return StarGrey(std::clamp(StarLevel[i], 1, 7));
}

// The last frame and what turns it into the next.
struct KeptFrame {
    bool keeping = true;
    Raster frame{0, 0};
    // The rest describes the frame; false after a failure and until a whole
    // composition has succeeded.
    bool valid = false;
    // What the frame was composed from.
    std::uint64_t catalogue = 0;
    const IFrameSink* sink = nullptr;
    ScenePlan plan;
    std::array<std::int32_t, StarCount> starX{};
    std::array<std::int32_t, StarCount> starY{};
    // A still picture over the star's pixel; the grey the star shows in the frame.
    std::array<bool, StarCount> starCovered{};
    std::array<Pixel, StarCount> starShown{};
    bool eyesShown = false;
    RainUnder rain;
    FrameChanges changes;
};

KeptFrame Kept;

// The next tick may change the kept frame rather than compose a new one.
bool CanKeep(Catalogue& catalogue, const IFrameSink& sink, int width, int height, const SceneLayers& layers)
{
    if (!Kept.keeping || !Kept.valid || Kept.catalogue != catalogue.Serial() || Kept.sink != &sink ||
        Kept.frame.Width() != width || Kept.frame.Height() != height || !(StillPart(Plan) == Kept.plan) ||
        StarX != Kept.starX || StarY != Kept.starY)
        return false;
    // Eyes about to open for the first time are not decoded yet: their decode, and
    // what it may raise, belongs to a whole composition.
    return !EyesOpen(layers) || catalogue.Image(layers.Eyes.Holder).IsDecoded();
}

// After the layers of a whole composition, before the cycle steps: notes what the
// frame was made from and which stars a still picture covers.
void Remember(Catalogue& catalogue, const IFrameSink& sink, const SceneLayers& layers, bool eyesShown)
{
    Kept.catalogue = catalogue.Serial();
    Kept.sink = &sink;
    Kept.plan = StillPart(Plan);
    Kept.starX = StarX;
    Kept.starY = StarY;
    Kept.eyesShown = eyesShown;
    std::array<PictureLayer, 10> over;
    std::copy(layers.Middle.begin(), layers.Middle.end(), over.begin());
    over.back() = layers.Banner;
    for (int i = 0; i < StarCount; ++i) {
        Kept.starCovered[i] = std::any_of(over.begin(), over.end(), [&](const PictureLayer& layer) {
            if (layer.Holder == 0 || !LayerBounds(catalogue, layer).Contains(StarX[i], StarY[i]))
                return false;
            return catalogue.Image(layer.Holder)
                .DrawsPixel(StarX[i] - layer.X, StarY[i] - layer.Y,
                            Facts(layer.Holder).Keyed ? Keying::UseKey : Keying::Opaque);
        });
    }
    Kept.valid = true;
}

// The whole composition restricted to area: the clear, the layers with the stars this
// tick shows, the eyes when they are open; no rain (it comes after) and no step.
void ComposeArea(Catalogue& catalogue, const SceneLayers& layers, bool eyesOpen, const Rect& area)
{
    Raster& frame = Kept.frame;
    for (int y = area.Top; y < area.Bottom; ++y)
        FillSpan(frame.Scanline(y) + area.Left, static_cast<std::size_t>(area.Width()), Black);
    DrawLayer(catalogue, frame, layers.Sky, area);
    if (Plan.StarsOn == 1) {
        for (int i = 0; i < StarCount; ++i) {
            if (area.Contains(StarX[i], StarY[i]))
                frame.SetPixel(StarX[i], StarY[i], Kept.starShown[i]);
        }
    }
    for (const PictureLayer& layer : layers.Middle)
        DrawLayer(catalogue, frame, layer, area);
    if (eyesOpen)
        DrawLayer(catalogue, frame, layers.Eyes, area);
    DrawLayer(catalogue, frame, layers.Banner, area);
}

// A tick on the kept frame: rain lifted, stars set, eyes recomposed when they blink,
// rain drawn; the same random draws, in the same order, as a whole composition.
void KeptTick(Catalogue& catalogue, const IClientSize& window, const SceneLayers& layers)
{
    Raster& frame = Kept.frame;
    FrameChanges& changes = Kept.changes;
    changes.Reset(frame.Bounds());

    std::array<Rect, RainCount> lifted{};
    const std::span<const Rect> lastRain = Kept.rain.Boxes();
    std::copy(lastRain.begin(), lastRain.end(), lifted.begin());
    const std::size_t liftedCount = lastRain.size();
    Kept.rain.Restore(frame);

    const bool eyesOpen = EyesOpen(layers);
    const Rect eyes = eyesOpen ? LayerBounds(catalogue, layers.Eyes) : Rect{};
    if (Plan.StarsOn == 1) {
        for (int i = 0; i < StarCount; ++i) {
            const Pixel grey = StarGreyNow(i);
            if (!Kept.starCovered[i] && !eyes.Contains(StarX[i], StarY[i])) {
                frame.SetPixel(StarX[i], StarY[i], grey);
                if (grey != Kept.starShown[i])
                    changes.Add({StarX[i], StarY[i], StarX[i] + 1, StarY[i] + 1});
            }
            Kept.starShown[i] = grey;
            StarLevel[i] = RandomBelow(7) + 1;
        }
    }

    if (eyesOpen != Kept.eyesShown) {
        const Rect area = Intersection(LayerBounds(catalogue, layers.Eyes), frame.Bounds());
        if (!area.IsEmpty())
            ComposeArea(catalogue, layers, eyesOpen, area);
        changes.Add(area);
        Kept.eyesShown = eyesOpen;
    }
    StepEyes();

    if (Plan.RainOn == 1)
        DrawRain(frame, window.ClientWidth(), &Kept.rain);
    // One rectangle per streak: where it was and where it is now.
    const std::span<const Rect> rain = Kept.rain.Boxes();
    for (std::size_t i = 0; i < std::max(liftedCount, rain.size()); ++i)
        changes.Add(BoundingUnion(i < liftedCount ? lifted[i] : Rect{}, i < rain.size() ? rain[i] : Rect{}));

    changes.Coalesce();
    StepCycle(window);
}

// Steps 6 to 19 of the whole composition: the sky, the stars, the middle layers, the
// eyes, the blink, the banner, the rain; the cycle step is left to the caller.
void DrawLayers(Catalogue& catalogue, const IClientSize& window, Raster& buffer, const SceneLayers& layers,
                const RowsToOverwrite& skyRows, bool keeping)
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

    if (Plan.StarsOn == 1) {
        if (keeping) {
            for (int i = 0; i < StarCount; ++i)
                Kept.starShown[i] = StarGreyNow(i);
        }
        DrawStars(buffer);
    }

    for (const PictureLayer& layer : layers.Middle)
        DrawLayer(catalogue, buffer, layer);

    // The eyes are tested with the blink count before this tick's step.
    if (EyesOpen(layers))
        DrawLayer(catalogue, buffer, layers.Eyes);

    StepEyes();

    DrawLayer(catalogue, buffer, layers.Banner);

    // The pen is still black from the clear.
    if (Plan.RainOn == 1)
        DrawRain(buffer, window.ClientWidth(), keeping ? &Kept.rain : nullptr);
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

// Steps 3 to 19 into buffer: the pen, the clear and the layers. Keeping, it notes what
// the kept frame was made from.
void ComposeWhole(Catalogue& catalogue, const IClientSize& window, IFrameSink& sink, Raster& buffer,
                  const SceneLayers& layers, bool keeping)
{
    buffer.SetPenColour(Black);
    // The window has no border, so its outer size is its client size. The loop draws
    // one row past the bottom, where it is clipped; it leaves out the sky's rows.
    const RowsToOverwrite skyRows = SkyRows(catalogue, layers, buffer.Width(), buffer.Height());
    const int outerWidth = window.ClientWidth();
    const int outerHeight = window.ClientHeight();
    for (int y = 0; y <= outerHeight; ++y) {
        if (skyRows.Contains(y))
            continue;
        buffer.MoveTo(0, y);
        buffer.LineTo(outerWidth, y);
    }
    const bool eyesShown = EyesOpen(layers);
    if (keeping)
        Kept.rain.Clear();
    DrawLayers(catalogue, window, buffer, layers, skyRows, keeping);
    if (keeping)
        Remember(catalogue, sink, layers, eyesShown);
    StepCycle(window);
}

} // namespace

void ComposeTick(Catalogue& catalogue, const IClientSize& window, IFrameSink& sink)
{
    ReseedFromClock();

    const int height = window.ClientHeight();
    const int width = window.ClientWidth();
    const SceneLayers layers = LayersOfPlan(window);

    if (!Kept.keeping) {
        // Every row is written by the clear or the sky.
        Raster buffer(width, height, RowsToOverwrite::All());
        const Rect whole[] = {buffer.Bounds()};
        try {
            ComposeWhole(catalogue, window, sink, buffer, layers, false);
        } catch (...) {
            sink.CopyFrame(buffer, whole);
            throw;
        }
        sink.CopyFrame(buffer, whole);
        return;
    }

    Raster& frame = Kept.frame;
    // However a tick ends, the frame as far as it got is shown; a failure then goes on
    // to the caller, and nothing of that tick is kept.
    try {
        if (CanKeep(catalogue, sink, width, height, layers)) {
            Kept.valid = false;
            KeptTick(catalogue, window, layers);
            Kept.valid = true;
        } else {
            Kept.valid = false;
            if (frame.Width() != width || frame.Height() != height) {
                // A failure here copies nothing. The new frame may take the block the
                // cache holds; the old one's, parked there next, has no use.
                Raster fresh(width, height, RowsToOverwrite::All());
                frame = std::move(fresh);
                Raster::DropCachedBlock();
            }
            Kept.changes.SetWhole(frame.Bounds());
            ComposeWhole(catalogue, window, sink, frame, layers, true);
        }
    } catch (...) {
        if (frame.Width() == width && frame.Height() == height) {
            Kept.valid = false;
            Kept.changes.SetWhole(frame.Bounds());
            sink.CopyFrame(frame, Kept.changes.Rects());
        }
        throw;
    }
    // Until the sink has taken the changes, they are not its.
    Kept.valid = false;
    sink.CopyFrame(frame, Kept.changes.Rects());
    Kept.valid = true;
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

void PrepareFrame(int width, int height)
{
    if (!Kept.keeping) {
        Raster::PrepareBlock(width, height);
        return;
    }
    if (Kept.frame.Width() == width && Kept.frame.Height() == height)
        return;
    // The white of the new frame touches every page.
    Raster fresh(width, height);
    Kept.valid = false;
    Kept.frame = std::move(fresh);
    Raster::DropCachedBlock();
}

void SetFrameKeeping(bool on)
{
    Kept.keeping = on;
    Kept.valid = false;
    Kept.frame = Raster(0, 0);
    Kept.rain.Clear();
}
