// How far apart two colours are, for checks that allow a picture's coding error.
// Colours are 0x..RRGGBB, the raster's Pixel and Qt's QRgb alike; the top byte is not
// compared.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>

// The largest difference of the red, green and blue channels.
inline int ChannelDistance(std::uint32_t a, std::uint32_t b)
{
    int largest = 0;
    for (const int shift : {16, 8, 0}) {
        const int channelA = static_cast<int>((a >> shift) & 0xFF);
        largest = std::max(largest, std::abs(channelA - static_cast<int>((b >> shift) & 0xFF)));
    }
    return largest;
}

// Whether each channel of actual lies within tolerance of expected's.
inline bool Near(std::uint32_t actual, std::uint32_t expected, int tolerance)
{
    return ChannelDistance(actual, expected) <= tolerance;
}
