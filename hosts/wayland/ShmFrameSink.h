// The frames of one surface on their way to the compositor: shared-memory buffers
// (wl_shm, XRGB8888, the scene's own pixel layout) that the frame's changed rectangles
// are copied into. A buffer the compositor still holds is never written: the next frame
// goes into the other one, made only when the first is still held, and each buffer
// remembers what it missed since it was last written, so that only those rectangles are
// copied into it. The surface is damaged by this frame's changed rectangles alone. A
// buffer still held once another has replaced it is unmapped until released (see
// CopyFrame).
#pragma once

#include "platform/raster/Rect.h"
#include "platform/raster/FrameChanges.h"
#include "scene/Tick.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

struct wl_buffer;
struct wl_shm;
struct wl_surface;

class ShmFrameSink : public IFrameSink {
public:
    ShmFrameSink(wl_shm* shm, wl_surface* surface);
    ~ShmFrameSink() override;
    ShmFrameSink(const ShmFrameSink&) = delete;
    ShmFrameSink& operator=(const ShmFrameSink&) = delete;

    // Whether the next frame of width x height has a buffer to go into: one the
    // compositor has let go, or room for a second. Makes no buffer yet.
    bool CanTake(int width, int height) const;
    // Copies into the free buffer what it lacks, attaches it and damages the changed
    // rectangles; the caller commits. Makes the buffer when there is none free. A frame
    // without changes, on a surface that shows the last one already, attaches nothing.
    void CopyFrame(const Raster& frame, std::span<const Rect> changed) override;
    // Whether the last frame attached a buffer (and so needs a commit); clears it.
    bool TakeAttached();
    // Lets every buffer go (a new size, or the surface going).
    void Drop();
    // Buffers made, for the memory figures.
    int BufferCount() const;

private:
    struct Buffer;
    static void Released(void* data, wl_buffer* buffer);

    Buffer* FreeBuffer() const;
    Buffer* MakeBuffer(int width, int height);

    wl_shm* m_shm;
    wl_surface* m_surface;
    std::array<std::unique_ptr<Buffer>, 2> m_buffers;
    // This frame's changed rectangles, joined.
    FrameChanges m_changes;
    bool m_attached = false;
};
