// Shared-memory buffers for one surface, written only where they lack the frame.
#include "hosts/wayland/ShmFrameSink.h"

#include "hosts/TalvexError.h"
#include "platform/raster/Raster.h"

#include <cstring>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

namespace {

// Past this many rectangles a buffer's missed area is taken as the whole frame.
constexpr std::size_t MaxMissed = 256;
// Ticks a buffer goes unwritten before its mapping is let go (a second).
constexpr int IdleTicksBeforeUnmap = 10;

} // namespace

struct ShmFrameSink::Buffer {
    wl_buffer* buffer = nullptr;
    // The memory file, kept so that the buffer can be mapped again after Unmap.
    int fd = -1;
    Pixel* pixels = nullptr;
    std::size_t bytes = 0;
    int width = 0;
    int height = 0;
    // Attached and not yet released by the compositor.
    bool held = false;
    // Ticks since it was last written.
    int idleTicks = 0;
    // Where it differs from the frame: everywhere until first written.
    bool missesAll = true;
    std::vector<Rect> missed;

    ~Buffer()
    {
        if (buffer != nullptr)
            wl_buffer_destroy(buffer);
        Unmap();
        if (fd >= 0)
            close(fd);
    }

    void Map()
    {
        if (pixels != nullptr)
            return;
        void* mapped = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
        if (mapped == MAP_FAILED)
            throw ETalvexError(FailureStatus, "cannot map a shared-memory buffer of the frame's size");
        pixels = static_cast<Pixel*>(mapped);
    }

    void Unmap()
    {
        if (pixels != nullptr)
            munmap(pixels, bytes);
        pixels = nullptr;
    }
};

ShmFrameSink::ShmFrameSink(wl_shm* shm, wl_surface* surface) : m_shm(shm), m_surface(surface) {}

ShmFrameSink::~ShmFrameSink() = default;

void ShmFrameSink::Released(void* data, wl_buffer*)
{
    static_cast<Buffer*>(data)->held = false;
}

bool ShmFrameSink::CanTake(int width, int height) const
{
    const Buffer* first = m_buffers[0].get();
    if (first != nullptr && (first->width != width || first->height != height))
        return true;   // the old size's buffers are let go
    return FreeBuffer() != nullptr || m_buffers[1] == nullptr;
}

ShmFrameSink::Buffer* ShmFrameSink::FreeBuffer() const
{
    for (const auto& buffer : m_buffers)
        if (buffer != nullptr && !buffer->held)
            return buffer.get();
    return nullptr;
}

int ShmFrameSink::BufferCount() const
{
    return (m_buffers[0] != nullptr ? 1 : 0) + (m_buffers[1] != nullptr ? 1 : 0);
}

bool ShmFrameSink::TakeAttached()
{
    const bool attached = m_attached;
    m_attached = false;
    return attached;
}

void ShmFrameSink::Drop()
{
    // A held buffer may be destroyed: the compositor keeps its own copy or reference
    // of the contents until the surface gets another.
    for (auto& buffer : m_buffers)
        buffer.reset();
}

ShmFrameSink::Buffer* ShmFrameSink::MakeBuffer(int width, int height)
{
    auto made = std::make_unique<Buffer>();
    made->width = width;
    made->height = height;
    const int stride = width * 4;
    made->bytes = static_cast<std::size_t>(stride) * static_cast<std::size_t>(height);
    made->fd = memfd_create("talvex-frame", MFD_CLOEXEC);
    if (made->fd < 0 || ftruncate(made->fd, static_cast<off_t>(made->bytes)) < 0)
        throw ETalvexError(FailureStatus, "cannot make a shared-memory buffer of the frame's size");
    made->Map();
    wl_shm_pool* pool = wl_shm_create_pool(m_shm, made->fd, static_cast<std::int32_t>(made->bytes));
    made->buffer = wl_shm_pool_create_buffer(pool, 0, width, height, stride, WL_SHM_FORMAT_XRGB8888);
    // The buffer keeps the pool's memory; the pool is not needed.
    wl_shm_pool_destroy(pool);
    static const wl_buffer_listener Listener = {Released};
    wl_buffer_add_listener(made->buffer, &Listener, made.get());
    auto& slot = m_buffers[0] == nullptr ? m_buffers[0] : m_buffers[1];
    slot = std::move(made);
    return slot.get();
}

void ShmFrameSink::CopyFrame(const Raster& frame, std::span<const Rect> rectangles)
{
    const int width = frame.Width();
    const int height = frame.Height();
    if (m_buffers[0] != nullptr && (m_buffers[0]->width != width || m_buffers[0]->height != height))
        Drop();
    // A buffer not written for a second is unmapped until it is written again, whether
    // the compositor holds it or not: the compositor keeps its own mapping, and a scene
    // that moves little (no rain) then costs this process no buffer pages at all, only
    // its kept frame. A buffer written every tick stays mapped.
    for (auto& buffer : m_buffers)
        if (buffer != nullptr && ++buffer->idleTicks >= IdleTicksBeforeUnmap)
            buffer->Unmap();
    // Joined into bands: the compositor pays for each damaged rectangle, and the
    // buffers remember fewer.
    m_changes.Reset(frame.Bounds());
    for (const Rect& area : rectangles)
        m_changes.Add(area);
    m_changes.Coalesce();
    const std::span<const Rect> changed = m_changes.Rects();
    // Nothing moved: the surface shows this frame already.
    if (changed.empty() && m_buffers[0] != nullptr)
        return;
    // Every buffer now lacks this frame's changes; the one written below catches up.
    for (auto& buffer : m_buffers) {
        if (buffer == nullptr || buffer->missesAll)
            continue;
        if (buffer->missed.size() + changed.size() > MaxMissed) {
            buffer->missesAll = true;
            buffer->missed.clear();
        } else {
            buffer->missed.insert(buffer->missed.end(), changed.begin(), changed.end());
        }
    }
    Buffer* target = FreeBuffer();
    if (target == nullptr)
        target = MakeBuffer(width, height);
    target->Map();

    const auto copy = [&](const Rect& area) {
        const Rect box = Intersection(area, frame.Bounds());
        const auto rowBytes = static_cast<std::size_t>(box.Width()) * sizeof(Pixel);
        for (int y = box.Top; y < box.Bottom; ++y)
            std::memcpy(target->pixels + static_cast<std::ptrdiff_t>(y) * width + box.Left,
                        frame.Scanline(y) + box.Left, rowBytes);
    };
    if (target->missesAll) {
        copy(frame.Bounds());
    } else {
        for (const Rect& area : target->missed)
            copy(area);
    }
    target->missesAll = false;
    target->missed.clear();

    wl_surface_attach(m_surface, target->buffer, 0, 0);
    for (const Rect& area : changed)
        wl_surface_damage_buffer(m_surface, area.Left, area.Top, area.Width(), area.Height());
    target->held = true;
    m_attached = true;
    target->idleTicks = 0;
}
