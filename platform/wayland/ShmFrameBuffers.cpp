// Shared-memory buffers for one surface, drawn in by the caller or written only where
// they lack the frame.
#include "platform/wayland/ShmFrameBuffers.h"

#include "platform/Exception.h"
#include "platform/raster/KeyedSpan.h"

#include <algorithm>
#include <cstring>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>

namespace {

// Ticks a buffer that is neither held nor drawn in lives on (a second).
constexpr int IdleTicksBeforeDestroy = 10;

// The buffer's "held" flag is the listener's data.
void BufferReleased(void* data, wl_buffer*)
{
    *static_cast<bool*>(data) = false;
}

const wl_buffer_listener BufferListener = {
    .release = BufferReleased,
};

} // namespace

struct ShmFrameBuffers::Buffer {
    wl_buffer* buffer = nullptr;
    Pixel* pixels = nullptr;
    std::size_t bytes = 0;
    int width = 0;
    int height = 0;
    // Attached and not yet released by the compositor.
    bool held = false;
    // Ticks since it was last drawn in or attached.
    int idleTicks = 0;
    // Where it lacks the frame: everywhere until first written.
    FrameChanges missed;

    ~Buffer()
    {
        if (buffer != nullptr)
            wl_buffer_destroy(buffer);
        if (pixels != nullptr)
            munmap(pixels, bytes);
    }

    Rect Bounds() const { return Rect::Sized(0, 0, width, height); }

    // Copies one rectangle of frame, the part of it inside the buffer.
    void Copy(const Raster& frame, const Rect& area, bool keyed, Pixel key)
    {
        const int left = std::max(area.Left, 0);
        const int right = std::min(area.Right, width);
        if (left >= right)
            return;
        const auto count = static_cast<std::size_t>(right - left);
        for (int y = std::max(area.Top, 0); y < std::min(area.Bottom, height); ++y) {
            Pixel* to = pixels + static_cast<std::ptrdiff_t>(y) * width + left;
            const Pixel* from = frame.Scanline(y) + left;
            if (keyed)
                CopyKeyedSpan(to, from, count, key);
            else
                std::memcpy(to, from, count * sizeof(Pixel));
        }
    }

    // Copies from frame what this buffer missed, rectangle by rectangle as the frames
    // changed (joined ones would copy several times the pixels); it then shows the frame.
    void CatchUp(const Raster& frame, bool keyed, Pixel key)
    {
        for (const Rect& area : missed.Rects())
            Copy(frame, area, keyed, key);
        missed.Reset(Bounds());
    }
};

ShmFrameBuffers::ShmFrameBuffers(wl_shm* shm) : m_shm(shm) {}

ShmFrameBuffers::~ShmFrameBuffers() = default;

ShmFrameBuffers::Buffer* ShmFrameBuffers::BufferOf(const Raster& frame) const
{
    if (frame.IsEmpty())
        return nullptr;
    for (const auto& buffer : m_buffers)
        if (buffer != nullptr && buffer->pixels == frame.Scanline(0) && buffer->width == frame.Width() &&
            buffer->height == frame.Height())
            return buffer.get();
    return nullptr;
}

ShmFrameBuffers::Buffer* ShmFrameBuffers::FreeBuffer(const Buffer* besides) const
{
    for (const auto& buffer : m_buffers)
        if (buffer != nullptr && buffer.get() != besides && !buffer->held)
            return buffer.get();
    return nullptr;
}

bool ShmFrameBuffers::OfAnotherSize(int width, int height) const
{
    for (const auto& buffer : m_buffers)
        if (buffer != nullptr)
            return buffer->width != width || buffer->height != height;
    return false;
}

int ShmFrameBuffers::BufferCount() const
{
    return (m_buffers[0] != nullptr ? 1 : 0) + (m_buffers[1] != nullptr ? 1 : 0);
}

std::size_t ShmFrameBuffers::BufferBytes() const
{
    std::size_t bytes = 0;
    for (const auto& buffer : m_buffers)
        bytes += buffer != nullptr ? buffer->bytes : 0;
    return bytes;
}

void ShmFrameBuffers::Drop()
{
    // A held buffer may be destroyed: the compositor keeps its own reference to the
    // contents until the surface gets another.
    m_ready = nullptr;
    for (auto& buffer : m_buffers)
        buffer.reset();
}

ShmFrameBuffers::Buffer* ShmFrameBuffers::MakeBuffer(int width, int height)
{
    auto made = std::make_unique<Buffer>();
    made->width = width;
    made->height = height;
    const int stride = width * 4;
    made->bytes = static_cast<std::size_t>(stride) * static_cast<std::size_t>(height);
    made->missed.SetWhole(made->Bounds());
    const int fd = memfd_create("talvex-frame", MFD_CLOEXEC);
    if (fd < 0 || ftruncate(fd, static_cast<off_t>(made->bytes)) < 0) {
        if (fd >= 0)
            close(fd);
        throw EOutOfResources("cannot make a shared-memory buffer of the frame's size");
    }
    void* mapped = mmap(nullptr, made->bytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (mapped == MAP_FAILED) {
        close(fd);
        throw EOutOfResources("cannot map a shared-memory buffer of the frame's size");
    }
    made->pixels = static_cast<Pixel*>(mapped);
    wl_shm_pool* pool = wl_shm_create_pool(m_shm, fd, static_cast<std::int32_t>(made->bytes));
    made->buffer = wl_shm_pool_create_buffer(pool, 0, width, height, stride,
                                             m_keyed ? WL_SHM_FORMAT_ARGB8888 : WL_SHM_FORMAT_XRGB8888);
    // The buffer keeps the pool's memory, and the mapping this side's: neither the pool
    // nor the file is needed.
    wl_shm_pool_destroy(pool);
    close(fd);
    wl_buffer_add_listener(made->buffer, &BufferListener, &made->held);
    auto& slot = m_buffers[0] == nullptr ? m_buffers[0] : m_buffers[1];
    slot = std::move(made);
    return slot.get();
}

bool ShmFrameBuffers::SetColourKey(bool on, Pixel key)
{
    if (on == m_keyed && (!on || key == m_key))
        return false;
    // Another pixel format, or other pixels for the key: the buffers go, and the next
    // frame is copied whole into new ones.
    Drop();
    m_keyed = on;
    m_key = key;
    m_showWhole = true;
    return true;
}

bool ShmFrameBuffers::Lend(Raster& frame, bool keeping, bool& valid, int width, int height)
{
    if (OfAnotherSize(width, height)) {
        // The old size's buffers go, and a kept frame in one of them before them.
        if (BufferOf(frame) != nullptr)
            frame = Raster(0, 0);
        Drop();
    }
    Buffer* current = BufferOf(frame);
    for (auto& buffer : m_buffers)
        if (buffer != nullptr && buffer.get() != current && !buffer->held &&
            ++buffer->idleTicks >= IdleTicksBeforeDestroy)
            buffer.reset();
    if (!keeping)
        return FreeBuffer(nullptr) != nullptr || BufferCount() < 2;
    if (current != nullptr && !current->held) {
        current->idleTicks = 0;
        return true;
    }
    Buffer* target = FreeBuffer(current);
    if (target == nullptr) {
        if (BufferCount() == 2)
            return false;
        target = MakeBuffer(width, height);
    }
    target->idleTicks = 0;
    if (frame.Width() == width && frame.Height() == height) {
        target->CatchUp(frame, m_keyed, m_key);
    } else {
        // Composed whole this time: the buffer holds the frame once it is drawn.
        valid = false;
        target->missed.Reset(target->Bounds());
    }
    // The frame drawn before (the other buffer, or a block of the heap, freed here)
    // gives way to the buffer.
    Raster lent = Raster::Over(target->pixels, width, height);
    lent.SetPenColour(frame.PenColour());
    frame = std::move(lent);
    return true;
}

void ShmFrameBuffers::CopyFrame(const Raster& frame, std::span<const Rect> rectangles)
{
    // Joined into bands: the compositor pays for each damaged rectangle, and the
    // buffers remember fewer.
    const bool showWhole = m_showWhole;
    if (showWhole) {
        m_changes.SetWhole(frame.Bounds());
        m_showWhole = false;
    } else {
        m_changes.Reset(frame.Bounds());
        for (const Rect& area : rectangles)
            m_changes.Add(area);
        m_changes.Coalesce();
    }
    const std::span<const Rect> changed = m_changes.Rects();
    const std::span<const Rect> asTheyCame = showWhole ? changed : rectangles;
    // Nothing moved: the surface shows this frame already.
    if (changed.empty() && BufferCount() > 0)
        return;
    Buffer* target = BufferOf(frame);
    if (target == nullptr) {
        // Drawn elsewhere: into a free buffer goes what it lacks of the frame.
        if (OfAnotherSize(frame.Width(), frame.Height()))
            Drop();
        target = FreeBuffer(nullptr);
        if (target == nullptr && BufferCount() < 2)
            target = MakeBuffer(frame.Width(), frame.Height());
        if (target == nullptr) {
            // Both held: this frame is not shown, and no buffer has it.
            for (auto& buffer : m_buffers)
                buffer->missed.SetWhole(buffer->Bounds());
            return;
        }
        // What it missed before, then this frame's changes as they came: gathered into
        // one list, two frames' rain would overflow it and be joined into bands several
        // times their pixels.
        target->CatchUp(frame, m_keyed, m_key);
        for (const Rect& area : asTheyCame)
            target->Copy(frame, area, m_keyed, m_key);
    }
    // Every other buffer now lacks this frame's changes, kept as they came; joined only
    // where a buffer held for several frames gathers more than there is room for.
    for (auto& buffer : m_buffers)
        if (buffer != nullptr && buffer.get() != target)
            for (const Rect& area : asTheyCame)
                buffer->missed.Gather(area);
    m_ready = target;
}

bool ShmFrameBuffers::TakeShown(Shown& shown)
{
    if (m_ready == nullptr)
        return false;
    shown = Shown{m_ready->buffer, m_changes.Rects(), m_ready->pixels};
    m_ready->held = true;
    m_ready->idleTicks = 0;
    m_ready = nullptr;
    return true;
}
