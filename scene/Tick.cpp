// One tick: the frame composition, layer by layer, into a frame of the scene's size;
// within a cycle, the kept frame with only its moving layers redrawn.
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
// the whole composition. A tick whose plan, size or pictures differ from the kept
// frame's, the first of each cycle and the one after a failure compose the whole
// frame as before.
#include "scene/Tick.h"

#include "platform/raster/FillSpan.h"
#include "scene/Catalogue.h"
#include "scene/Particles.h"
#include "scene/Scene.h"
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

bool EyesOpen(const Scene& scene, const SceneLayers& layers)
{
    return layers.Eyes.Holder != 0 && scene.Plan.EyesOpenCountdown > 0;
}

Pixel StarGreyNow(const Scene& scene, int i)
{
    // A level outside 1 to 7 never comes from the re-draw; it is clamped as the star
    // layer clamps it.
    return StarGrey(std::clamp(scene.StarLevel[i], 1, 7));
}

// The next tick may change the kept frame rather than compose a new one.
bool CanKeep(const Scene& scene, Catalogue& catalogue, FrameSize size, const SceneLayers& layers)
{
    const KeptFrame& kept = scene.Kept;
    if (!kept.Keeping || !kept.Valid || kept.CatalogueSerial != catalogue.Serial() ||
        kept.Frame.Width() != size.Width || kept.Frame.Height() != size.Height ||
        !(StillPart(scene.Plan) == kept.Plan) || scene.StarX != kept.StarX || scene.StarY != kept.StarY)
        return false;
    // Eyes about to open for the first time are not decoded yet: their decode, and
    // what it may raise, belongs to a whole composition.
    return !EyesOpen(scene, layers) || catalogue.Image(layers.Eyes.Holder).IsDecoded();
}

// After the layers of a whole composition, before the cycle steps: notes what the
// frame was made from and which stars a still picture covers.
void Remember(Scene& scene, Catalogue& catalogue, const SceneLayers& layers, bool eyesShown)
{
    KeptFrame& kept = scene.Kept;
    kept.CatalogueSerial = catalogue.Serial();
    kept.Plan = StillPart(scene.Plan);
    kept.StarX = scene.StarX;
    kept.StarY = scene.StarY;
    kept.EyesShown = eyesShown;
    std::array<PictureLayer, 10> over;
    std::copy(layers.Middle.begin(), layers.Middle.end(), over.begin());
    over.back() = layers.Banner;
    for (int i = 0; i < StarCount; ++i) {
        const int x = scene.StarX[i];
        const int y = scene.StarY[i];
        kept.StarCovered[i] = std::any_of(over.begin(), over.end(), [&](const PictureLayer& layer) {
            if (layer.Holder == 0 || !LayerBounds(catalogue, layer).Contains(x, y))
                return false;
            return catalogue.Image(layer.Holder)
                .DrawsPixel(x - layer.X, y - layer.Y, Facts(layer.Holder).Keyed ? Keying::UseKey : Keying::Opaque);
        });
    }
    kept.Valid = true;
}

// The whole composition restricted to area: the clear, the layers with the stars this
// tick shows, the eyes when they are open; no rain (it comes after) and no step.
void ComposeArea(Scene& scene, Catalogue& catalogue, const SceneLayers& layers, bool eyesOpen, const Rect& area)
{
    Raster& frame = scene.Kept.Frame;
    for (int y = area.Top; y < area.Bottom; ++y)
        FillSpan(frame.Scanline(y) + area.Left, static_cast<std::size_t>(area.Width()), Black);
    DrawLayer(catalogue, frame, layers.Sky, area);
    if (scene.Plan.StarsOn == 1) {
        for (int i = 0; i < StarCount; ++i) {
            if (area.Contains(scene.StarX[i], scene.StarY[i]))
                frame.SetPixel(scene.StarX[i], scene.StarY[i], scene.Kept.StarShown[i]);
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
void KeptTick(Scene& scene, Catalogue& catalogue, FrameSize size, const SceneLayers& layers)
{
    KeptFrame& kept = scene.Kept;
    Raster& frame = kept.Frame;
    FrameChanges& changes = kept.Changes;
    changes.Reset(frame.Bounds());

    std::array<Rect, RainCount> lifted{};
    const std::span<const Rect> lastRain = kept.Rain.Boxes();
    std::copy(lastRain.begin(), lastRain.end(), lifted.begin());
    const std::size_t liftedCount = lastRain.size();
    kept.Rain.Restore(frame);

    const bool eyesOpen = EyesOpen(scene, layers);
    const Rect eyes = eyesOpen ? LayerBounds(catalogue, layers.Eyes) : Rect{};
    if (scene.Plan.StarsOn == 1) {
        for (int i = 0; i < StarCount; ++i) {
            const int x = scene.StarX[i];
            const int y = scene.StarY[i];
            const Pixel grey = StarGreyNow(scene, i);
            if (!kept.StarCovered[i] && !eyes.Contains(x, y)) {
                frame.SetPixel(x, y, grey);
                if (grey != kept.StarShown[i])
                    changes.Add({x, y, x + 1, y + 1});
            }
            kept.StarShown[i] = grey;
            scene.StarLevel[i] = scene.Random.RandomBelow(7) + 1;
        }
    }

    if (eyesOpen != kept.EyesShown) {
        const Rect area = Intersection(LayerBounds(catalogue, layers.Eyes), frame.Bounds());
        if (!area.IsEmpty())
            ComposeArea(scene, catalogue, layers, eyesOpen, area);
        changes.Add(area);
        kept.EyesShown = eyesOpen;
    }
    StepEyes(scene);

    if (scene.Plan.RainOn == 1)
        DrawRain(scene, frame, size.Width, &kept.Rain);
    // One rectangle per streak: where it was and where it is now.
    const std::span<const Rect> rain = kept.Rain.Boxes();
    for (std::size_t i = 0; i < std::max(liftedCount, rain.size()); ++i)
        changes.Add(BoundingUnion(i < liftedCount ? lifted[i] : Rect{}, i < rain.size() ? rain[i] : Rect{}));
    // The rectangles go out as they are, each streak's own: a window that puts them
    // straight from shared memory copies the fewest pixels so; one that pays per
    // rectangle joins them itself.
    StepCycle(scene, size);
}

// The layers of the whole composition over the clear: the sky, the stars, the middle
// layers, the eyes, the blink, the banner, the rain; the cycle step is left to the
// caller.
void DrawLayers(Scene& scene, Catalogue& catalogue, FrameSize size, Raster& buffer, const SceneLayers& layers,
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

    if (scene.Plan.StarsOn == 1) {
        if (keeping) {
            for (int i = 0; i < StarCount; ++i)
                scene.Kept.StarShown[i] = StarGreyNow(scene, i);
        }
        DrawStars(scene, buffer);
    }

    for (const PictureLayer& layer : layers.Middle)
        DrawLayer(catalogue, buffer, layer);

    // The eyes are tested with the blink count before this tick's step.
    if (EyesOpen(scene, layers))
        DrawLayer(catalogue, buffer, layers.Eyes);

    StepEyes(scene);

    DrawLayer(catalogue, buffer, layers.Banner);

    // The pen is still black from the clear.
    if (scene.Plan.RainOn == 1)
        DrawRain(scene, buffer, size.Width, keeping ? &scene.Kept.Rain : nullptr);
}

// The rows the sky will cover whole: it is opaque, at the top-left corner, at least as
// wide as the frame, and its pixels are there to draw. A sky still to decode, or whose
// decode failed and raises at its draw, or that ran out of memory and draws nothing,
// leaves its rows to the clear.
RowsToOverwrite SkyRows(Catalogue& catalogue, const SceneLayers& layers, int width, int height)
{
    const Rect sky = LayerBounds(catalogue, layers.Sky);
    if (sky.IsEmpty() || Facts(layers.Sky.Holder).Keyed || sky.Left > 0 || sky.Right < width ||
        !catalogue.Image(layers.Sky.Holder).DrawsWhole())
        return {};
    return {std::max(sky.Top, 0), std::min(sky.Bottom, height)};
}

// The pen, the clear and the layers into buffer. Keeping, it notes what the kept frame
// was made from.
void ComposeWhole(Scene& scene, Catalogue& catalogue, FrameSize size, Raster& buffer, const SceneLayers& layers,
                  bool keeping)
{
    buffer.SetPenColour(Black);
    // The window has no border, so its outer size is its client size. The loop draws
    // one row past the bottom, where it is clipped; it leaves out the sky's rows.
    const RowsToOverwrite skyRows = SkyRows(catalogue, layers, buffer.Width(), buffer.Height());
    for (int y = 0; y <= size.Height; ++y) {
        if (skyRows.Contains(y))
            continue;
        buffer.MoveTo(0, y);
        buffer.LineTo(size.Width, y);
    }
    const bool eyesShown = EyesOpen(scene, layers);
    if (keeping)
        scene.Kept.Rain.Clear();
    DrawLayers(scene, catalogue, size, buffer, layers, skyRows, keeping);
    if (keeping)
        Remember(scene, catalogue, layers, eyesShown);
    StepCycle(scene, size);
}

} // namespace

void ComposeTick(Scene& scene, Catalogue& catalogue, FrameSize size, IFrameSink& sink)
{
    scene.Random.ReseedFromClock();

    const SceneLayers layers = LayersOfPlan(scene.Plan, size);
    KeptFrame& kept = scene.Kept;

    if (!kept.Keeping) {
        // The scene's buffer, as the last tick left it: every row is written again by
        // the clear or the sky, so a new one needs no white.
        Raster& buffer = kept.Frame;
        if (buffer.Width() != size.Width || buffer.Height() != size.Height) {
            buffer = Raster(0, 0);
            buffer = Raster(size.Width, size.Height, RowsToOverwrite::All());
        }
        const Rect whole[] = {buffer.Bounds()};
        try {
            ComposeWhole(scene, catalogue, size, buffer, layers, false);
        } catch (...) {
            sink.CopyFrame(buffer, whole);
            throw;
        }
        sink.CopyFrame(buffer, whole);
        return;
    }

    Raster& frame = kept.Frame;
    // However a tick ends, the frame as far as it got is shown; a failure then goes on
    // to the caller, and nothing of that tick is kept.
    try {
        if (CanKeep(scene, catalogue, size, layers)) {
            kept.Valid = false;
            KeptTick(scene, catalogue, size, layers);
            kept.Valid = true;
        } else {
            kept.Valid = false;
            if (frame.Width() != size.Width || frame.Height() != size.Height) {
                // A failure here copies nothing. The old frame goes first, so that
                // the two are never held at once.
                frame = Raster(0, 0);
                frame = Raster(size.Width, size.Height, RowsToOverwrite::All());
            }
            kept.Changes.SetWhole(frame.Bounds());
            ComposeWhole(scene, catalogue, size, frame, layers, true);
        }
    } catch (...) {
        if (frame.Width() == size.Width && frame.Height() == size.Height) {
            kept.Valid = false;
            kept.Changes.SetWhole(frame.Bounds());
            sink.CopyFrame(frame, kept.Changes.Rects());
        }
        throw;
    }
    // Until the sink has taken the changes, they are not its.
    kept.Valid = false;
    sink.CopyFrame(frame, kept.Changes.Rects());
    kept.Valid = true;
}

void DecodeAhead(const ScenePlan& plan, Catalogue& catalogue)
{
    // Only the holders matter here, not where they go; only the pictures that decode
    // at their first draw: the JPEG ones.
    const SceneLayers layers = LayersOfPlan(plan, FrameSize{});
    for (const int holder : {layers.Sky.Holder, layers.Eyes.Holder, layers.Banner.Holder}) {
        if (holder != 0)
            catalogue.Image(holder).DecodeAhead();
    }
}

void PrepareFrame(Scene& scene, FrameSize size)
{
    KeptFrame& kept = scene.Kept;
    if (kept.Frame.Width() == size.Width && kept.Frame.Height() == size.Height)
        return;
    // The white of the new frame touches every page.
    kept.Valid = false;
    kept.Frame = Raster(0, 0);
    kept.Frame = Raster(size.Width, size.Height);
}

void UseFrameMemory(Scene& scene, Raster lent, bool fresh)
{
    KeptFrame& kept = scene.Kept;
    if (lent.IsEmpty()) {
        if (kept.Frame.OwnsPixels())
            return;
        kept.Valid = false;
        kept.Frame = Raster(0, 0);
        return;
    }
    if (!fresh && !kept.Frame.OwnsPixels() && kept.Frame.Scanline(0) == lent.Scanline(0) &&
        kept.Frame.Width() == lent.Width() && kept.Frame.Height() == lent.Height())
        return;
    kept.Valid = false;
    kept.Frame = std::move(lent);
}

void SetFrameKeeping(Scene& scene, bool on)
{
    KeptFrame& kept = scene.Kept;
    kept.Keeping = on;
    kept.Valid = false;
    kept.Frame = Raster(0, 0);
    kept.Rain.Clear();
}
