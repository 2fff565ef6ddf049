// The frames of one surface on their way to the compositor: shared-memory buffers
// (wl_shm, XRGB8888, the scene's own pixel layout) that the scene draws in directly. A
// buffer the compositor still holds is never written: before a tick the scene's kept
// frame moves into one it has let go, made only when there is none, and that buffer is
// first caught up with the rectangles it missed while the other was drawn in. A buffer
// neither held nor drawn in for a second is destroyed, its memory given back. The sink
// never touches the surface: it says which buffer shows the frame and where it changed,
// and the surface presents it.
#pragma once

#include "platform/raster/FrameChanges.h"
#include "platform/raster/Rect.h"
#include "scene/KeptFrame.h"
#include "scene/Tick.h"

#include <array>
#include <cstddef>
#include <memory>
#include <span>

struct wl_buffer;
struct wl_shm;

class ShmFrameSink : public IFrameSink {
public:
    explicit ShmFrameSink(wl_shm* shm);
    ~ShmFrameSink() override;
    ShmFrameSink(const ShmFrameSink&) = delete;
    ShmFrameSink& operator=(const ShmFrameSink&) = delete;

    // Before a tick of width x height: makes the scene's kept frame a buffer the
    // compositor does not hold, showing what the kept frame showed; a kept frame of
    // another size (none yet, or a new size) becomes a buffer to compose anew. False
    // when the compositor holds every buffer there may be: the tick waits. A scene
    // that keeps no frame composes in a raster of its own, and CopyFrame copies it.
    bool Lend(KeptFrame& kept, int width, int height);
    // Notes the buffer the frame was drawn in, or copies a frame drawn elsewhere into a
    // free buffer (what that buffer lacks of it); the changed rectangles are joined into
    // few. A frame without changes, on a surface that shows the last one already, leaves
    // nothing to show.
    void CopyFrame(const Raster& frame, std::span<const Rect> changed) override;
    // The next frame is shown whole, changed or not (the way the surface maps its
    // buffer has changed).
    void ShowWhole() { m_showWhole = true; }

    // The buffer that shows the last frame and where it changed, when there is one to
    // show; from then on the compositor holds it until it says otherwise.
    struct Shown {
        wl_buffer* buffer = nullptr;
        std::span<const Rect> damage;
    };
    bool TakeShown(Shown& shown);
    // Lets every buffer go (the surface going); a kept frame must no longer be one.
    void Drop();
    // Buffers there are, and their bytes, for the memory figures and the tests.
    int BufferCount() const;
    std::size_t BufferBytes() const;

private:
    struct Buffer;

    Buffer* BufferOf(const Raster& frame) const;
    Buffer* FreeBuffer(const Buffer* besides) const;
    // The buffers there are have another size than width x height.
    bool OfAnotherSize(int width, int height) const;
    Buffer* MakeBuffer(int width, int height);

    wl_shm* m_shm;
    std::array<std::unique_ptr<Buffer>, 2> m_buffers;
    // The last frame's changes, joined.
    FrameChanges m_changes;
    // The buffer that shows the last frame, until taken.
    Buffer* m_ready = nullptr;
    bool m_showWhole = false;
};
