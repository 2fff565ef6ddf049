// One tick of a scene: compose a frame of the night scene and hand it to the window
// that shows it. Within a cycle the tick keeps the scene's last frame and changes only
// what moves in it.
#pragma once

#include "platform/raster/Raster.h"
#include "platform/raster/Rect.h"
#include "scene/FrameSize.h"

#include <span>

class Catalogue;
struct Scene;
struct ScenePlan;

// Receives the finished frame in one operation (the window that shows the scene
// copies it).
class IFrameSink {
public:
    virtual ~IFrameSink() = default;
    // changed: where the frame differs from the one the scene handed out at its last
    // tick, as rectangles that may overlap (a star's pixel, the eyes, each streak of
    // rain where it was and is); the whole frame when the tick composed it anew (a fresh scene's first tick,
    // each new cycle, a new size, other pictures, the tick after a failure). A sink
    // that does not hold that last frame copies more than changed: the whole frame, or
    // changed joined with the rectangles of the ticks it missed.
    virtual void CopyFrame(const Raster& frame, std::span<const Rect> changed) = 0;
};

// Re-seeds the scene's random source, makes the frame of the given size (the window's
// client size, read once by the caller), draws the layers the scene's plan and
// particles call for, steps the blink and the cycle, then copies the frame to the sink.
// A failure while drawing still copies the partly drawn frame, then propagates; a
// failure making the frame copies nothing.
void ComposeTick(Scene& scene, Catalogue& catalogue, FrameSize size, IFrameSink& sink);

// Decodes the pictures the plan shows now that are still undecoded, so that the next
// tick only draws them (a fresh scene's plan: ScenePlan{}). What a decode raises comes
// at the tick's draw as it would have; the frames are the same either way.
void DecodeAhead(const ScenePlan& plan, Catalogue& catalogue);

// Readies the storage of the scene's frame at this size, every page touched, so that
// the first tick at that size neither allocates nor faults.
void PrepareFrame(Scene& scene, FrameSize size);

// Composes the scene's frames in lent (a sink's memory, LendFrame's) from the next tick
// on, where they are not there already or fresh says the memory is new (at the same
// address, maybe): what the frame held goes, and that tick composes the whole frame. An
// empty lent takes a frame made in lent memory back into the scene's own, so that a
// frame never outlives the memory it was lent.
void UseFrameMemory(Scene& scene, Raster lent, bool fresh);

// On, as the program runs: the tick keeps the frame and redraws only what moves. Off:
// every tick composes the whole frame anew, over whatever the scene's buffer held, the
// reference the kept frames are held to. The frames are the same either way; switching
// forgets the kept frame.
void SetFrameKeeping(Scene& scene, bool on);
