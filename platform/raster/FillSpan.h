// FillSpan: count pixels of one colour. Copies of a 32-byte block of the colour become
// vector stores without asking the compiler to vectorise a loop.
#pragma once

#include "platform/raster/Raster.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

inline void FillSpan(Pixel* span, std::size_t count, Pixel colour)
{
    Pixel block[8];
    std::fill_n(block, 8, colour);
    for (; count >= 8; count -= 8, span += 8) {
        std::memcpy(span, block, sizeof block);
    }
    for (; count > 0; --count) {
        *span++ = colour;
    }
}
