// One tick of the screen window's timer: compose a frame of the night scene into a back
// buffer and hand it to the window in one copy. Within a cycle the tick keeps the last
// frame and changes only what moves in it.
#pragma once

#include "platform/raster/Raster.h"
#include "platform/raster/Rect.h"
#include "scene/ClientSize.h"

#include <span>

class Catalogue;

// Receives the finished frame in one operation (the screen window copies it).
class IFrameSink {
public:
    virtual ~IFrameSink() = default;
    // changed: where the frame differs from the one of this sink's last copy; the
    // whole frame when the tick composed it anew (the first tick, each new cycle, a new
    // size, the tick after a failure). A sink may always copy the whole frame.
    virtual void CopyFrame(const Raster& frame, std::span<const Rect> changed) = 0;
};

// Re-seeds the random source, makes the frame of the window's client size, draws the
// layers the scene plan and the particles call for, steps the blink and the cycle,
// then copies the frame to the sink. A failure while drawing still copies the partly
// drawn frame, then propagates; a failure making the frame copies nothing.
void ComposeTick(Catalogue& catalogue, const IClientSize& window, IFrameSink& sink);

// Decodes the pictures the plan shows now that are still undecoded, so that the next
// tick only draws them. What a decode raises comes at the tick's draw as it would
// have; the frames are the same either way.
void DecodeAhead(Catalogue& catalogue);

// Readies the storage of a frame of width x height, every page touched, so that the
// first tick at that size neither allocates nor faults.
void PrepareFrame(int width, int height);

// On, as the program runs: the tick keeps the frame and redraws only what moves. Off:
// every tick composes the whole frame in a buffer of its own and releases it, the
// reference the kept frames are held to. The frames are the same either way; switching
// forgets the kept frame.
void SetFrameKeeping(bool on);
