// Test helpers that write picture data the way the stored form holds it: BMP file
// images of 1 and 24 bits, JPEG streams, and whole stored forms of picture blocks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

using Bytes = std::vector<std::uint8_t>;

// A picture's colours, 0x..RRGGBB (the top byte is not written), y counted from the top.
using ColourAt = std::function<std::uint32_t(int x, int y)>;
// A picture as rows of colours, top row first, all of the same width.
using ColourRows = std::vector<std::vector<std::uint32_t>>;

// Little-endian numbers written into bytes that are there already.
void SetU16(Bytes& bytes, std::size_t at, std::uint32_t value);
void SetU32(Bytes& bytes, std::size_t at, std::uint32_t value);

// What a BMP file image holds besides its pixels.
struct BmpExtras {
    // The palette of a 1-bit image: index 0 and index 1.
    std::uint32_t paletteZero = 0x000000;
    std::uint32_t paletteOne = 0xFFFFFF;
    // Bytes (0x5A) between the headers and the pixels.
    int gap = 0;
};

// Rows run bottom-up, each padded to 4 bytes; the padding holds 0x5A (24 bits) or set
// bits (1 bit), values a careless reader would show.
Bytes MakeBmp24(int width, int height, const ColourAt& colourAt, const BmpExtras& extras = {});
// bitAt gives the palette index: 0, or anything else for 1.
Bytes MakeBmp1(int width, int height, const std::function<int(int x, int y)>& bitAt, const BmpExtras& extras = {});
Bytes MakeBmp24(const ColourRows& rows);
// Black (0x..000000) is index 0, any other colour index 1.
Bytes MakeBmp1(const ColourRows& rows, const BmpExtras& extras = {});

enum class JpegColours { Rgb, Grey, Cmyk };

// How libjpeg's compressor lays out a stream; the defaults are the stored pictures'
// layout: baseline, colour, luma sampled 2 x 2 against chroma.
struct JpegLayout {
    int quality = 95;
    bool progressive = false;
    int lumaH = 2;   // luma sampling factors of a colour stream; chroma is 1 x 1
    int lumaV = 2;
    int restartInterval = 0;
    bool arithmetic = false;
    // Grey takes the red channel; CMYK takes red, green, blue and the top byte.
    JpegColours colours = JpegColours::Rgb;
};

// Empty when this libjpeg lacks a feature the layout asks for.
Bytes MakeJpeg(int width, int height, const ColourAt& colourAt, const JpegLayout& layout = {});
Bytes MakeJpeg(const ColourRows& rows, const JpegLayout& layout = {});

struct FormBlock {
    std::string className;   // "TBitmap" or "TJPEGImage"
    Bytes data;
};
// The stored form: each block as 1 byte N, N bytes name, 32-bit LE size, data.
Bytes MakeForm(const std::vector<FormBlock>& blocks);
