// Test helpers that write picture data the way the stored form holds it: BMP file
// images, JPEG streams, and whole stored forms of 28 picture blocks.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// A 24-bit BMP file image; colourAt(x, y) gives 0xRRGGBB with y counted from the top.
Bytes MakeBmp24(int width, int height, const std::function<std::uint32_t(int x, int y)>& colourAt);
// A 1-bit BMP file image with palette black, white; bitAt(x, y) gives the index.
Bytes MakeBmp1(int width, int height, const std::function<int(int x, int y)>& bitAt);
// A baseline JFIF stream, quality 95, chroma 2x2; colourAt gives 0xRRGGBB.
Bytes MakeJpeg(int width, int height, const std::function<std::uint32_t(int x, int y)>& colourAt);

struct FormBlock {
    std::string className;   // "TBitmap" or "TJPEGImage"
    Bytes data;
};
// The stored form: each block as 1 byte N, N bytes name, 32-bit LE size, data.
Bytes MakeForm(const std::vector<FormBlock>& blocks);
