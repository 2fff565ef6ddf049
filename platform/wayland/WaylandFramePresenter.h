// Puts each finished frame on a Wayland surface that belongs to someone else's
// connection (a toolkit's window), 1:1 at the frame's size: from shared-memory buffers
// of its own (ShmFrameBuffers), attached to that surface with the changed rectangles
// as damage. The buffers' events go to a queue of the presenter's own, which the
// connection's reader fills and the presenter empties before each frame: nothing of it
// runs on the toolkit's loop.
#pragma once

#include "platform/raster/Raster.h"
#include "platform/raster/Rect.h"
#include "platform/wayland/ShmFrameBuffers.h"

#include <cstdint>
#include <memory>
#include <span>

struct wl_display;
struct wl_event_queue;
struct wl_registry;
struct wl_shm;
struct wl_surface;

class WaylandFramePresenter {
public:
    // The compositor's shared memory is bound once, with one round trip on the
    // presenter's queue; Usable() says whether the compositor offers it.
    WaylandFramePresenter(wl_display* display, wl_surface* surface);
    // The buffers go; the surface keeps showing the last frame until its owner
    // attaches another.
    ~WaylandFramePresenter();
    WaylandFramePresenter(const WaylandFramePresenter&) = delete;
    WaylandFramePresenter& operator=(const WaylandFramePresenter&) = delete;

    bool Usable() const { return m_buffers != nullptr; }
    wl_surface* Surface() const { return m_surface; }
    // As ShmFrameBuffers::SetColourKey: the key's pixels fully transparent.
    void SetColourKey(bool on, Pixel key);
    // Puts the frame's changed rectangles (the whole frame: pass its bounds) on the
    // surface at this buffer scale, and flushes the connection. A frame that comes
    // while the compositor holds every buffer is not shown; what it changed goes with
    // the next.
    void CopyFrame(const Raster& frame, std::span<const Rect> changed, int bufferScale);
    // The surface's buffers, and the pixels of the one it was given last (null before
    // the first), for the tests.
    int BufferCount() const { return m_buffers ? m_buffers->BufferCount() : 0; }
    const Pixel* ShownPixels() const { return m_shownPixels; }

private:
    static void Global(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
                       std::uint32_t version);

    wl_display* m_display;
    wl_surface* m_surface;
    wl_event_queue* m_queue = nullptr;
    wl_shm* m_shm = nullptr;
    std::unique_ptr<ShmFrameBuffers> m_buffers;
    // The buffer scale last set on the surface; 0 before the first frame.
    int m_scale = 0;
    const Pixel* m_shownPixels = nullptr;
};
