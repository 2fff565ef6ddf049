// One tick of the screen window's timer: compose a whole frame of the night scene
// into a back buffer and hand it to the window in one copy.
#pragma once

#include "platform/raster/Raster.h"
#include "scene/ClientSize.h"

class Catalogue;

// Receives the finished back buffer in one operation (the screen window copies it).
class IFrameSink {
public:
    virtual ~IFrameSink() = default;
    virtual void CopyFrame(const Raster& frame) = 0;
};

// Re-seeds the random source, builds and clears the back buffer, draws the layers the
// scene plan and the particles call for, steps the blink and the cycle, then copies
// the buffer to the sink and releases it. A failure while drawing still copies the
// partly drawn buffer, then propagates; a failure making the buffer copies nothing.
void ComposeTick(Catalogue& catalogue, const IClientSize& window, IFrameSink& sink);

// Decodes the pictures the plan shows now that are still undecoded, so that the next
// tick only draws them. What a decode raises comes at the tick's draw as it would
// have; the frames are the same either way.
void DecodeAhead(Catalogue& catalogue);
