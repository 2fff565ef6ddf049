// KeyedSpan: count pixels as a window with an alpha channel is given them when a colour
// key makes one colour see-through: premultiplied ARGB, the key's pixels all zero (fully
// transparent), every other pixel opaque.
#pragma once

#include "platform/raster/Raster.h"

#include <cstddef>

inline void CopyKeyedSpan(Pixel* dst, const Pixel* src, std::size_t count, Pixel key)
{
    const Pixel opaqueKey = key | 0xFF000000u;
    for (std::size_t i = 0; i < count; ++i)
        dst[i] = (src[i] | 0xFF000000u) == opaqueKey ? 0u : (src[i] | 0xFF000000u);
}
