// JPEG streams the JPEG tests make: flat, gradient and many-coloured pictures, a stream
// that fails after its rows, and the text of libjpeg's error numbers.
#pragma once

#include "platform/raster/Raster.h"
#include "support/Colour.h"
#include "support/PictureFiles.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

inline ColourRows Solid(int width, int height, Pixel colour)
{
    return ColourRows(static_cast<std::size_t>(height), std::vector<Pixel>(static_cast<std::size_t>(width), colour));
}

// The offset of the n-th (0-based) marker 0xFF code in the stream, or -1.
inline long FindMarker(const std::vector<std::uint8_t>& stream, std::uint8_t code, int n = 0)
{
    for (std::size_t i = 0; i + 1 < stream.size(); ++i) {
        if (stream[i] == 0xFF && stream[i + 1] == code && n-- == 0)
            return static_cast<long>(i);
    }
    return -1;
}

// A sky-like picture: every row one colour, running through a range of hues.
inline std::vector<std::vector<Pixel>> RowGradient(int width, int height)
{
    std::vector<std::vector<Pixel>> rows;
    for (int y = 0; y < height; ++y) {
        rows.emplace_back(static_cast<std::size_t>(width), Rgb(y * 4, 255 - y * 3, 64 + y));
    }
    return rows;
}

// Every pixel its own colour: far more than 236 of them.
inline std::vector<std::vector<Pixel>> Rainbow(int size)
{
    std::vector<std::vector<Pixel>> rows;
    for (int y = 0; y < size; ++y) {
        std::vector<Pixel> row;
        for (int x = 0; x < size; ++x) {
            row.push_back(Rgb(x * 4, y * 4, 255 - (x + y) * 2));
        }
        rows.push_back(row);
    }
    return rows;
}

// A second frame header after the scan: every row of the size x size picture is out
// before the decoder reads on to the end of the stream and fails.
inline std::vector<std::uint8_t> FailingAfterTheRows(int size, Pixel colour)
{
    std::vector<std::uint8_t> stream = MakeJpeg(Solid(size, size, colour), {.quality = 100});
    const long sof = FindMarker(stream, 0xC0);
    const std::size_t sofLength = 2 + (stream[sof + 2] << 8 | stream[sof + 3]);
    const std::vector<std::uint8_t> frame(stream.begin() + sof, stream.begin() + sof + static_cast<long>(sofLength));
    stream.insert(stream.end() - 2, frame.begin(), frame.end());
    return stream;
}

inline std::string JpegErrorText(int code)
{
    return "JPEG error #" + std::to_string(code);
}

// Every pixel of the raster within `within` levels of the colour on each channel.
inline void ExpectEveryPixelNear(const Raster& pixels, Pixel colour, int within)
{
    for (int y = 0; y < pixels.Height(); ++y) {
        for (int x = 0; x < pixels.Width(); ++x) {
            EXPECT_LE(ChannelDistance(pixels.PixelAt(x, y), colour), within) << x << "," << y;
        }
    }
}
