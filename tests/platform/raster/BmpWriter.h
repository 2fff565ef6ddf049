// A tiny BMP file image writer for tests: 24-bit and 1-bit, bottom-up, uncompressed.
#pragma once

#include "platform/raster/Raster.h"

#include <cstdint>
#include <vector>

namespace rastertest {

inline void PutU16(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v)
{
    out[at] = static_cast<std::uint8_t>(v);
    out[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

inline void PutU32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) {
        out[at + i] = static_cast<std::uint8_t>(v >> (8 * i));
    }
}

inline std::vector<std::uint8_t> BmpHeaders(int width, int height, int bits, std::size_t paletteBytes, std::size_t pixelBytes)
{
    std::vector<std::uint8_t> out(54 + paletteBytes + pixelBytes, 0);
    out[0] = 'B';
    out[1] = 'M';
    PutU32(out, 2, static_cast<std::uint32_t>(out.size()));
    PutU32(out, 10, static_cast<std::uint32_t>(54 + paletteBytes));
    PutU32(out, 14, 40);
    PutU32(out, 18, static_cast<std::uint32_t>(width));
    PutU32(out, 22, static_cast<std::uint32_t>(height));
    PutU16(out, 26, 1);
    PutU16(out, 28, static_cast<std::uint32_t>(bits));
    PutU32(out, 34, static_cast<std::uint32_t>(pixelBytes));
    PutU32(out, 38, 2835);  // 72 dpi
    PutU32(out, 42, 2835);
    return out;
}

// rows: top row first, all of the same width.
inline std::vector<std::uint8_t> MakeBmp24(const std::vector<std::vector<Pixel>>& rows)
{
    const int height = static_cast<int>(rows.size());
    const int width = static_cast<int>(rows[0].size());
    const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
    std::vector<std::uint8_t> out = BmpHeaders(width, height, 24, 0, stride * height);
    for (int r = 0; r < height; ++r) {
        // File rows run bottom-up.
        const std::vector<Pixel>& row = rows[height - 1 - r];
        std::size_t at = 54 + stride * r;
        for (const Pixel p : row) {
            out[at++] = static_cast<std::uint8_t>(BlueOf(p));
            out[at++] = static_cast<std::uint8_t>(GreenOf(p));
            out[at++] = static_cast<std::uint8_t>(RedOf(p));
        }
        // Padding bytes are left at a value a careless reader would show.
        while (at < 54 + stride * (r + 1)) {
            out[at++] = 0x5A;
        }
    }
    return out;
}

// rows: top row first; a black pixel is index 0, anything else index 1. The palette
// written is paletteZero, paletteOne (normally black and white).
inline std::vector<std::uint8_t> MakeBmp1(const std::vector<std::vector<Pixel>>& rows, Pixel paletteZero = Black,
                                          Pixel paletteOne = White)
{
    const int height = static_cast<int>(rows.size());
    const int width = static_cast<int>(rows[0].size());
    const std::size_t stride = (static_cast<std::size_t>(width) + 31) / 32 * 4;
    std::vector<std::uint8_t> out = BmpHeaders(width, height, 1, 8, stride * height);
    PutU32(out, 54, paletteZero & 0xFFFFFFu);
    PutU32(out, 58, paletteOne & 0xFFFFFFu);
    for (int r = 0; r < height; ++r) {
        const std::vector<Pixel>& row = rows[height - 1 - r];
        const std::size_t at = 62 + stride * r;
        for (int x = 0; x < width; ++x) {
            if (row[x] != Black) {
                out[at + x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
            }
        }
        // Set the padding bits: they must not show.
        for (int x = width; x < static_cast<int>(stride * 8); ++x) {
            out[at + x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
        }
    }
    return out;
}

} // namespace rastertest
