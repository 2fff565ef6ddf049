// The frames of one of talvex's surfaces: the scene composes in the surface's
// shared-memory buffers (ShmFrameBuffers), its kept frame lent one before each tick.
// A buffer that cannot be had ends talvex.
#pragma once

#include "platform/wayland/ShmFrameBuffers.h"
#include "scene/KeptFrame.h"
#include "scene/Tick.h"

#include <span>

class ShmFrameSink : public IFrameSink, public ShmFrameBuffers {
public:
    explicit ShmFrameSink(wl_shm* shm) : ShmFrameBuffers(shm) {}

    // Before a tick of width x height: makes the scene's kept frame a buffer the
    // compositor does not hold (ShmFrameBuffers::Lend). False: the tick waits.
    bool Lend(KeptFrame& kept, int width, int height);
    void CopyFrame(const Raster& frame, std::span<const Rect> changed) override;
};
