// Raster: creation and release of its pixel block, the white of a new raster, pen
// position and pixel writes.
#include "platform/raster/Raster.h"

#include "platform/Exception.h"

#include <algorithm>
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

Pixel* AcquireBlock(std::size_t count)
{
    return static_cast<Pixel*>(::operator new(count * sizeof(Pixel), BlockAlignment, std::nothrow));
}

void ReleaseBlock(Pixel* block)
{
    if (block != nullptr)
        ::operator delete(block, BlockAlignment);
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

Raster::~Raster()
{
    if (m_owned)
        ReleaseBlock(m_pixels);
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
