// Raster: an off-screen surface of 32-bit pixels with a pen, lines and pixel writes.
#pragma once

#include <cstdint>
#include <memory>

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
    // Readies the storage of a raster of width x height ahead of time, every page of
    // it touched, so that the next raster of that size neither allocates nor faults.
    static void PrepareBlock(int width, int height);

    // Every pixel white. A width or height of 0 (or below) gives a raster without
    // pixels: every drawing operation on it does nothing.
    Raster(int width, int height);
    ~Raster();
    Raster(const Raster&) = delete;
    Raster& operator=(const Raster&) = delete;
    Raster(Raster&& other) noexcept;
    Raster& operator=(Raster&& other) noexcept;

    int Width() const { return m_width; }
    int Height() const { return m_height; }
    bool IsEmpty() const { return m_width <= 0 || m_height <= 0; }
    // Pixels per row of storage; rows are contiguous, top row first.
    int Pitch() const { return m_pitch; }
    // Every row holds its pixels once a row pointer has been handed out, so the
    // pointer may be stepped to other rows by Pitch.
    Pixel* Scanline(int y)
    {
        WritePendingRows();
        return Row(y);
    }
    const Pixel* Scanline(int y) const
    {
        WritePendingRows();
        return Row(y);
    }
    Pixel PixelAt(int x, int y) const { return Scanline(y)[x]; }
    // Row y for a caller that writes every pixel of it before reading any (the frame
    // clear, an opaque picture as wide as the raster): a row not yet written then
    // needs no white of its own. Drawing top-down row by row keeps the saving.
    Pixel* ScanlineToOverwrite(int y);
    // Row y filled whole with colour (a line across the full width).
    void FillRow(int y, Pixel colour);

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
    Pixel* Row(int y) const { return m_pixels + static_cast<std::ptrdiff_t>(y) * m_pitch; }
    // A new raster is white, but its white is written only when first needed: the
    // frame clear overwrites each row whole, top row first, and a row it reaches
    // before anything else touched the raster needs no white of its own.
    //
    // Likewise the clear's rows, filled top-down with one colour: they stay a pending
    // run until something else touches the raster, so that an opaque picture as wide
    // as the raster (the sky) written over their top rows replaces their fill instead
    // of following it.
    void WritePendingRows() const
    {
        if (m_solidFrom < m_solidTo || m_whiteFrom < m_height) [[unlikely]] {
            WriteSolidRows();
            WriteWhiteRowsUpTo(m_height);
        }
    }
    // Writes the white of the pending rows above row end.
    void WriteWhiteRowsUpTo(int end) const;
    // Writes the pending run of solid rows.
    void WriteSolidRows() const;

    int m_width = 0;
    int m_height = 0;
    int m_pitch = 0;
    Pixel* m_pixels = nullptr;
    Pixel m_pen = Black;
    int m_penX = 0;
    int m_penY = 0;
    // Rows from here to the bottom are white that is not yet written: their storage
    // holds whatever the block held before. Changed by reads too, hence mutable.
    mutable int m_whiteFrom = 0;
    // Rows m_solidFrom to m_solidTo - 1 are m_solidColour not yet written; the run, when
    // there is one, ends where the pending white begins.
    mutable int m_solidFrom = 0;
    mutable int m_solidTo = 0;
    Pixel m_solidColour = Black;
};
