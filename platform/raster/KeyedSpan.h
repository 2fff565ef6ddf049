// KeyedSpan: count pixels as a window with an alpha channel is given them when a colour
// key makes one colour see-through: premultiplied ARGB, the key's pixels all zero (fully
// transparent), every other pixel opaque.
#pragma once

#include "platform/raster/Raster.h"

#include <cstddef>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

inline void CopyKeyedSpan(Pixel* dst, const Pixel* src, std::size_t count, Pixel key)
{
    const Pixel opaqueKey = key | 0xFF000000u;
    std::size_t i = 0;
#if defined(__SSE2__)
    // Four pixels at a time: a whole keyed frame goes through here at times, and the
    // compiler leaves the loop below one pixel at a time.
    const __m128i alpha = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    const __m128i keyed = _mm_set1_epi32(static_cast<int>(opaqueKey));
    for (; i + 4 <= count; i += 4) {
        const __m128i opaque = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i)), alpha);
        const __m128i isKey = _mm_cmpeq_epi32(opaque, keyed);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_andnot_si128(isKey, opaque));
    }
#endif
    for (; i < count; ++i)
        dst[i] = (src[i] | 0xFF000000u) == opaqueKey ? 0u : (src[i] | 0xFF000000u);
}
