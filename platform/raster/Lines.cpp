// Raster::LineTo: one-pixel lines with the end point left out, clipped exactly.
//
// The pixel of major step i (0 <= i < |major delta|) lies on the major axis at
// start + i and on the minor axis at the ideal position i * dMinor / dMajor rounded to
// the nearest pixel. A tie (the line passing exactly between two pixels) goes to the
// pixel with the smaller coordinate: the upper one for lines that are wider than
// tall, the left one for lines that are taller than wide. That is the rule of the
// classic diamond convention, and it does not depend on the direction of travel.
// Lines at exactly 45 degrees are stepped along x; they have no ties.
//
// Clipping finds the visible range of steps on the unclipped line and starts the
// stepping there with the exact error term, so a clipped line lights exactly the
// pixels the unclipped one would have lit inside the raster.
#include "platform/raster/FillSpan.h"
#include "platform/raster/Raster.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

// Products of a step index and a delta need up to 65 bits; the start of the visible
// range is worked out once per line in 128 bits, the stepping itself fits 64 bits.
__extension__ typedef __int128 Wide;

struct Stepping {
    std::int64_t dMajor = 0;  // |major delta|, also the number of pixels
    std::int64_t dMinor = 0;  // |minor delta|
    std::int64_t bias = 0;    // 1 when minor steps go towards larger coordinates
};

// Offset along the minor axis (in minor steps) of the pixel at major step i.
std::int64_t MinorOffset(const Stepping& s, std::int64_t i)
{
    const Wide numerator = Wide{2} * i * s.dMinor + s.dMajor - s.bias;
    return static_cast<std::int64_t>(numerator / (Wide{2} * s.dMajor));
}

// The first step in [lo, hi) whose minor offset exceeds limit, or hi.
std::int64_t FirstStepBeyond(const Stepping& s, std::int64_t lo, std::int64_t hi, std::int64_t limit)
{
    while (lo < hi) {
        const std::int64_t mid = lo + (hi - lo) / 2;
        if (MinorOffset(s, mid) > limit) {
            hi = mid;
        } else {
            lo = mid + 1;
        }
    }
    return lo;
}

// Steps i in [0, count) for which start + sign * i lies in [0, size).
void VisibleSteps(std::int64_t start, int sign, std::int64_t size, std::int64_t count, std::int64_t& first,
                  std::int64_t& last)
{
    if (sign > 0) {
        first = -start;
        last = size - start;
    } else {
        first = start - size + 1;
        last = start + 1;
    }
    first = std::max<std::int64_t>(first, 0);
    last = std::min<std::int64_t>(last, count);
}

} // namespace

void Raster::LineTo(int x, int y)
{
    const std::int64_t x0 = m_penX;
    const std::int64_t y0 = m_penY;
    const std::int64_t x1 = x;
    const std::int64_t y1 = y;
    m_penX = x;
    m_penY = y;
    if (IsEmpty() || (x0 == x1 && y0 == y1)) {
        return;
    }

    const std::int64_t width = m_width;
    const std::int64_t height = m_height;

    if (y0 == y1) {
        // Horizontal: a fill of the visible span (the frame clear draws one per row).
        if (y0 < 0 || y0 >= height) {
            return;
        }
        std::int64_t left = x1 > x0 ? x0 : x1 + 1;
        std::int64_t right = x1 > x0 ? x1 : x0 + 1;  // exclusive
        left = std::max<std::int64_t>(left, 0);
        right = std::min(right, width);
        if (left >= right) {
            return;
        }
        FillSpan(Scanline(static_cast<int>(y0)) + left, static_cast<std::size_t>(right - left), m_pen);
        return;
    }

    const bool xMajor = std::llabs(x1 - x0) >= std::llabs(y1 - y0);
    const std::int64_t major0 = xMajor ? x0 : y0;
    const std::int64_t minor0 = xMajor ? y0 : x0;
    const std::int64_t majorDelta = (xMajor ? x1 : y1) - major0;
    const std::int64_t minorDelta = (xMajor ? y1 : x1) - minor0;
    const std::int64_t majorSize = xMajor ? width : height;
    const std::int64_t minorSize = xMajor ? height : width;
    const int majorSign = majorDelta > 0 ? 1 : -1;
    const int minorSign = minorDelta >= 0 ? 1 : -1;

    Stepping s;
    s.dMajor = std::llabs(majorDelta);
    s.dMinor = std::llabs(minorDelta);
    s.bias = minorSign > 0 ? 1 : 0;

    std::int64_t first = 0;
    std::int64_t last = 0;
    VisibleSteps(major0, majorSign, majorSize, s.dMajor, first, last);
    if (first >= last) {
        return;
    }
    // Minor offsets grow with the step; keep those that land inside the raster.
    const std::int64_t offsetLow = minorSign > 0 ? -minor0 : minor0 - minorSize + 1;
    const std::int64_t offsetHigh = minorSign > 0 ? minorSize - 1 - minor0 : minor0;
    if (offsetLow > offsetHigh) {
        return;
    }
    first = FirstStepBeyond(s, first, last, offsetLow - 1);
    last = FirstStepBeyond(s, first, last, offsetHigh);
    if (first >= last) {
        return;
    }

    // The stepping state at the first visible step: the offset and the residual
    // 2 * (i * dMinor - offset * dMajor), kept within one pixel of the ideal line.
    std::int64_t offset = MinorOffset(s, first);
    std::int64_t residual = static_cast<std::int64_t>(Wide{2} * first * s.dMinor - Wide{2} * offset * s.dMajor);
    const std::int64_t majorPos = major0 + majorSign * first;
    const std::int64_t minorPos = minor0 + minorSign * offset;
    const std::int64_t px = xMajor ? majorPos : minorPos;
    const std::int64_t py = xMajor ? minorPos : majorPos;

    const std::ptrdiff_t pitch = m_pitch;
    const std::ptrdiff_t majorStride = xMajor ? majorSign : majorSign * pitch;
    const std::ptrdiff_t minorStride = xMajor ? minorSign * pitch : minorSign;
    const std::int64_t twoMinor = 2 * s.dMinor;
    const std::int64_t twoMajor = 2 * s.dMajor;
    const std::int64_t threshold = s.dMajor + s.bias;
    Pixel* p = Scanline(static_cast<int>(py)) + px;
    for (std::int64_t i = first;;) {
        *p = m_pen;
        if (++i == last) {
            break;
        }
        p += majorStride;
        residual += twoMinor;
        if (residual >= threshold) {
            p += minorStride;
            residual -= twoMajor;
        }
    }
}
