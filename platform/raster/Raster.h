// Raster: an off-screen surface of 32-bit pixels with a pen, lines and pixel writes.
#pragma once

#include "platform/raster/Rect.h"
#include "platform/raster/RowsToOverwrite.h"

#include <cstddef>
#include <cstdint>

// One pixel, 0xFFRRGGBB: the top byte is always 0xFF so that a window layer can show
// the rows as they are (Qt's RGB32 layout) without converting them.
using Pixel = std::uint32_t;

constexpr Pixel Rgb(int r, int g, int b)
{
    return 0xFF000000u | (static_cast<Pixel>(r & 0xFF) << 16) | (static_cast<Pixel>(g & 0xFF) << 8) |
           static_cast<Pixel>(b & 0xFF);
}
constexpr int RedOf(Pixel p) { return static_cast<int>((p >> 16) & 0xFF); }
constexpr int GreenOf(Pixel p) { return static_cast<int>((p >> 8) & 0xFF); }
constexpr int BlueOf(Pixel p) { return static_cast<int>(p & 0xFF); }

constexpr Pixel Black = Rgb(0, 0, 0);
constexpr Pixel White = Rgb(255, 255, 255);

class Raster {
public:
    // Every pixel white. A width or height of 0 (or below) gives a raster without
    // pixels: every drawing operation on it does nothing.
    Raster(int width, int height);
    // Every pixel white but in the rows the caller will overwrite whole before it reads
    // any of them: there the storage holds whatever its block held before.
    Raster(int width, int height, const RowsToOverwrite& rows);
    // A raster over pixels the caller owns (rows of width pixels, one after another),
    // as they are; they must outlive it, and it never frees them.
    static Raster Over(Pixel* pixels, int width, int height);
    ~Raster();
    Raster(const Raster&) = delete;
    Raster& operator=(const Raster&) = delete;
    Raster(Raster&& other) noexcept;
    Raster& operator=(Raster&& other) noexcept;

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    bool IsEmpty() const { return m_width <= 0 || m_height <= 0; }
    // False for a raster over pixels the caller owns (Over).
    bool OwnsPixels() const { return m_owned; }
    Rect Bounds() const { return {0, 0, m_width, m_height}; }
    // Pixels per row of storage; rows are contiguous, top row first, so a row pointer
    // may be stepped to other rows by Pitch.
    int Pitch() const { return m_pitch; }
    Pixel* Scanline(int y) { return m_pixels + static_cast<std::ptrdiff_t>(y) * m_pitch; }
    const Pixel* Scanline(int y) const { return m_pixels + static_cast<std::ptrdiff_t>(y) * m_pitch; }
    Pixel PixelAt(int x, int y) const { return Scanline(y)[x]; }

    // A solid pen one pixel wide; black until set.
    void SetPenColour(Pixel colour) { m_pen = colour; }
    Pixel PenColour() const { return m_pen; }
    void MoveTo(int x, int y);
    // A line from the current position to (x, y), the end point not drawn; (x, y)
    // becomes the current position. Clipped; any int coordinates are safe.
    void LineTo(int x, int y);
    // Outside the raster nothing happens.
    void SetPixel(int x, int y, Pixel colour);

private:
    void Swap(Raster& other) noexcept;

    int m_width = 0;
    int m_height = 0;
    int m_pitch = 0;
    Pixel* m_pixels = nullptr;
    bool m_owned = true;
    Pixel m_pen = Black;
    int m_penX = 0;
    int m_penY = 0;
};
