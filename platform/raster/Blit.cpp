// DrawPicture: unscaled picture draws, opaque or keyed, row by row from the packed runs.
#include "platform/raster/Picture.h"

#include <algorithm>
#include <cstdint>

void DrawPicture(Raster& dst, Picture& picture, int x, int y, Keying keying)
{
    DrawPicture(dst, picture, x, y, keying, dst.Bounds());
}

void DrawPicture(Raster& dst, Picture& picture, int x, int y, Keying keying, const Rect& clip)
{
    picture.EnsureDecoded();
    const PackedPixels& src = picture.m_packed;
    const Rect area = Intersection(clip, dst.Bounds());
    if (area.IsEmpty() || src.IsEmpty()) {
        return;
    }
    // The visible part in picture coordinates; 64 bits, so positions near the int
    // limits cannot wrap.
    const std::int64_t left = std::max<std::int64_t>(0, std::int64_t{area.Left} - x);
    const std::int64_t right = std::min<std::int64_t>(src.Width(), std::int64_t{area.Right} - x);
    const std::int64_t top = std::max<std::int64_t>(0, std::int64_t{area.Top} - y);
    const std::int64_t bottom = std::min<std::int64_t>(src.Height(), std::int64_t{area.Bottom} - y);
    if (left >= right || top >= bottom) {
        return;
    }
    const bool keyed = keying == Keying::UseKey;
    for (std::int64_t row = top; row < bottom; ++row) {
        // out[0] is where the first visible picture column lands.
        Pixel* out = dst.Scanline(static_cast<int>(row + y)) + (x + left);
        src.DrawRow(static_cast<int>(row), static_cast<int>(left), static_cast<int>(right), out, keyed);
    }
}
