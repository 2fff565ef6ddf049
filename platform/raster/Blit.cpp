// DrawPicture: unscaled picture draws, opaque or keyed, row by row from the packed runs.
#include "platform/raster/Picture.h"

#include <algorithm>
#include <cstdint>

void DrawPicture(Raster& dst, Picture& picture, int x, int y, Keying keying)
{
    picture.EnsureDecoded();
    const PackedPixels& src = picture.m_packed;
    if (dst.IsEmpty() || src.IsEmpty()) {
        return;
    }
    // The visible part in picture coordinates; 64 bits, so positions near the int
    // limits cannot wrap.
    const std::int64_t left = std::max<std::int64_t>(0, -std::int64_t{x});
    const std::int64_t right = std::min<std::int64_t>(src.Width(), std::int64_t{dst.Width()} - x);
    const std::int64_t top = std::max<std::int64_t>(0, -std::int64_t{y});
    const std::int64_t bottom = std::min<std::int64_t>(src.Height(), std::int64_t{dst.Height()} - y);
    if (left >= right || top >= bottom) {
        return;
    }
    const bool keyed = keying == Keying::UseKey;
    // An opaque picture as wide as the raster overwrites whole rows.
    const bool wholeRows = !keyed && x + left == 0 && right - left == dst.Width();
    for (std::int64_t row = top; row < bottom; ++row) {
        const int to = static_cast<int>(row + y);
        // to[0] is where the first visible picture column lands.
        Pixel* out = wholeRows ? dst.ScanlineToOverwrite(to) : dst.Scanline(to) + (x + left);
        src.DrawRow(static_cast<int>(row), static_cast<int>(left), static_cast<int>(right), out, keyed);
    }
}
