// Raster: creation, release and the one-slot cache of pixel blocks, the white of a new
// raster, pen position and pixel writes.
#include "platform/raster/Raster.h"

#include "platform/Exception.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <utility>

namespace {

// Larger requests are refused outright: the kernel's overcommit would grant them and
// the first fill of the pixels would then take the process down. 16 GiB is far above
// any screen.
constexpr std::uint64_t MaxRasterBytes = std::uint64_t{1} << 34;
constexpr std::align_val_t BlockAlignment{64};

// The tick makes a raster of the window size every 100 ms and releases it at the end
// of the tick; the last released block waits here for the next raster of the same
// pixel count, so that the steady state neither allocates nor faults in fresh pages.
// Plain data without a destructor: a block still parked at exit stays reachable
// from here, and a raster destroyed during static destruction finds it intact.
struct BlockCache {
    Pixel* block;
    std::size_t count;
};
// Rasters are made and released on the user-interface thread only: nothing is locked.
BlockCache g_cache{nullptr, 0};
// The source new blocks come from, and every source ever set: a block goes back to
// the one that gave it, whichever is set by then.
IRasterBlockSource* g_source = nullptr;
std::array<IRasterBlockSource*, 4> g_sources{};

void FreeBlock(Pixel* block, std::size_t count)
{
    if (block == nullptr)
        return;
    for (IRasterBlockSource* source : g_sources) {
        if (source != nullptr && source->Free(block, count))
            return;
    }
    ::operator delete(block, BlockAlignment);
}

Pixel* AcquireBlock(std::size_t count)
{
    if (g_cache.block != nullptr && g_cache.count == count) {
        Pixel* block = g_cache.block;
        g_cache = {nullptr, 0};
        return block;
    }
    if (g_source != nullptr) {
        if (Pixel* block = g_source->Allocate(count))
            return block;
    }
    return static_cast<Pixel*>(::operator new(count * sizeof(Pixel), BlockAlignment, std::nothrow));
}

void ReleaseBlock(Pixel* block, std::size_t count)
{
    if (block == nullptr) {
        return;
    }
    const BlockCache evicted = g_cache;
    g_cache = {block, count};
    FreeBlock(evicted.block, evicted.count);
}

} // namespace

Raster::Raster(int width, int height)
    : Raster(width, height, RowsToOverwrite())
{
}

Raster::Raster(int width, int height, const RowsToOverwrite& rows)
{
    if (width <= 0 || height <= 0) {
        return;
    }
    const std::uint64_t count = static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(height);
    if (count > MaxRasterBytes / sizeof(Pixel)) {
        throw EOutOfResources("Out of system resources");
    }
    Pixel* block = AcquireBlock(static_cast<std::size_t>(count));
    if (block == nullptr) {
        throw EOutOfResources("Out of system resources");
    }
    m_width = width;
    m_height = height;
    m_pitch = width;
    m_pixels = block;
    // White is all ones, so the fill is a plain byte fill of each stretch of rows the
    // caller leaves to the raster; rows are contiguous.
    static_assert(White == 0xFFFFFFFFu);
    const std::size_t rowBytes = static_cast<std::size_t>(m_pitch) * sizeof(Pixel);
    for (int y = 0; y < height;) {
        if (rows.Contains(y)) {
            ++y;
            continue;
        }
        int end = y + 1;
        while (end < height && !rows.Contains(end))
            ++end;
        std::memset(Scanline(y), 0xFF, static_cast<std::size_t>(end - y) * rowBytes);
        y = end;
    }
}

Raster Raster::Over(Pixel* pixels, int width, int height)
{
    Raster over(0, 0);
    if (pixels == nullptr || width <= 0 || height <= 0)
        return over;
    over.m_width = width;
    over.m_height = height;
    over.m_pitch = width;
    over.m_pixels = pixels;
    over.m_owned = false;
    return over;
}

void Raster::PrepareBlock(int width, int height)
{
    // The white of the new raster touches every page; the block then waits in the cache.
    Raster ready(width, height);
}

void Raster::DropCachedBlock()
{
    const BlockCache dropped = std::exchange(g_cache, BlockCache{nullptr, 0});
    FreeBlock(dropped.block, dropped.count);
}

IRasterBlockSource* Raster::SetBlockSource(IRasterBlockSource* source)
{
    if (source != nullptr && std::find(g_sources.begin(), g_sources.end(), source) == g_sources.end()) {
        const auto free = std::find(g_sources.begin(), g_sources.end(), nullptr);
        if (free == g_sources.end())
            throw EOutOfResources("Too many raster block sources");
        *free = source;
    }
    return std::exchange(g_source, source);
}

Raster::~Raster()
{
    if (m_owned)
        ReleaseBlock(m_pixels, static_cast<std::size_t>(m_pitch) * static_cast<std::size_t>(m_height));
}

// A moved-from raster is left empty, as a raster of 0 x 0.
Raster::Raster(Raster&& other) noexcept
{
    Swap(other);
}

Raster& Raster::operator=(Raster&& other) noexcept
{
    Raster taken(std::move(other));
    Swap(taken);   // this raster's old block goes with `taken`
    return *this;
}

void Raster::Swap(Raster& other) noexcept
{
    std::swap(m_width, other.m_width);
    std::swap(m_height, other.m_height);
    std::swap(m_pitch, other.m_pitch);
    std::swap(m_pixels, other.m_pixels);
    std::swap(m_owned, other.m_owned);
    std::swap(m_pen, other.m_pen);
    std::swap(m_penX, other.m_penX);
    std::swap(m_penY, other.m_penY);
}

void Raster::MoveTo(int x, int y)
{
    m_penX = x;
    m_penY = y;
}

void Raster::SetPixel(int x, int y, Pixel colour)
{
    // Unsigned compares reject negative coordinates as well.
    if (static_cast<unsigned>(x) < static_cast<unsigned>(m_width) &&
        static_cast<unsigned>(y) < static_cast<unsigned>(m_height)) {
        Scanline(y)[x] = colour;
    }
}
