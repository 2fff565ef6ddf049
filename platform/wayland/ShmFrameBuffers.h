// The frames of one Wayland surface on their way to the compositor, for any program
// that has a wl_shm (talvex's own connection, or a toolkit's): shared-memory buffers
// in the raster's pixel layout (XRGB8888; ARGB8888 with a colour key, whose pixels go
// out fully transparent) that a caller may compose in directly. A buffer the
// compositor still holds is never written: before a frame the caller's frame moves
// into one it has let go, made only when there is none, and that buffer is first
// caught up with the rectangles it missed while the other was drawn in. A buffer
// neither held nor drawn in for a second is destroyed, its memory given back. The
// buffers never touch a surface: they say which buffer shows the frame and where it
// changed, and the caller presents it.
#pragma once

#include "platform/raster/FrameChanges.h"
#include "platform/raster/Raster.h"
#include "platform/raster/Rect.h"

#include <array>
#include <cstddef>
#include <memory>
#include <span>

struct wl_buffer;
struct wl_shm;

class ShmFrameBuffers {
public:
    // The buffers' events go to the queue shm was made on.
    explicit ShmFrameBuffers(wl_shm* shm);
    ~ShmFrameBuffers();
    ShmFrameBuffers(const ShmFrameBuffers&) = delete;
    ShmFrameBuffers& operator=(const ShmFrameBuffers&) = delete;

    // Before a frame of width x height: makes frame a buffer the compositor does not
    // hold, showing what frame showed; a frame of another size (none yet, or a new
    // size) becomes a buffer to compose anew, and valid goes false. False when the
    // compositor holds every buffer there may be: the frame waits. A caller that keeps
    // no frame (keeping false) composes in a raster of its own, and CopyFrame copies it.
    bool Lend(Raster& frame, bool keeping, bool& valid, int width, int height);
    // Notes the buffer the frame was drawn in, or copies a frame drawn elsewhere into a
    // free buffer (what that buffer lacks of it); the changed rectangles are joined into
    // few. A frame without changes, on a surface that shows the last one already, leaves
    // nothing to show.
    void CopyFrame(const Raster& frame, std::span<const Rect> changed);
    // The next frame is shown whole, changed or not (the way the surface maps its
    // buffer has changed).
    void ShowWhole() { m_showWhole = true; }
    // On: frames are copied in with the key's pixels fully transparent and the others
    // opaque, for a surface that shows what lies under it there. Changing it makes the
    // buffers anew, and the next frame goes whole: true when it did.
    bool SetColourKey(bool on, Pixel key);

    // The buffer that shows the last frame and where it changed, when there is one to
    // show; from then on the compositor holds it until it says otherwise.
    struct Shown {
        wl_buffer* buffer = nullptr;
        std::span<const Rect> damage;
        // Its pixels, as the compositor reads them.
        const Pixel* pixels = nullptr;
    };
    bool TakeShown(Shown& shown);
    // Lets every buffer go (the surface going); a frame lent must no longer be used.
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
    bool m_keyed = false;
    Pixel m_key = 0;
};
