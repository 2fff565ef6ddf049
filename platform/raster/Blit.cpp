// DrawPicture: unscaled picture draws, opaque or through the mask of drawn runs, as row copies.
#include "platform/raster/Picture.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

void DrawPicture(Raster& dst, Picture& picture, int x, int y, Keying keying)
{
    picture.EnsureDecoded();
    if (keying == Keying::UseKey) {
        picture.EnsureMask();
    }
    const Raster& src = *picture.m_pixels;
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
    // An opaque picture as wide as the raster overwrites whole rows.
    const bool wholeRows = x + left == 0 && right - left == dst.Width();
    for (std::int64_t row = top; row < bottom; ++row) {
        // Both indexed from the first visible picture column: from[c] lands on to[c].
        const Pixel* from = src.Scanline(static_cast<int>(row)) + left;
        if (keying == Keying::Opaque && wholeRows) {
            std::memcpy(dst.ScanlineToOverwrite(static_cast<int>(row + y)), from,
                        static_cast<std::size_t>(right - left) * sizeof(Pixel));
            continue;
        }
        Pixel* to = dst.Scanline(static_cast<int>(row + y)) + (x + left);
        if (keying == Keying::Opaque) {
            std::memcpy(to, from, static_cast<std::size_t>(right - left) * sizeof(Pixel));
            continue;
        }
        const std::uint32_t end = picture.m_runStart[static_cast<std::size_t>(row) + 1];
        for (std::uint32_t k = picture.m_runStart[static_cast<std::size_t>(row)]; k < end; k += 2) {
            const std::int64_t runBegin = picture.m_runs[k];
            if (runBegin >= right) {
                break;
            }
            const std::int64_t begin = std::max(runBegin, left);
            const std::int64_t stop = std::min<std::int64_t>(picture.m_runs[k + 1], right);
            if (begin < stop) {
                std::memcpy(to + (begin - left), from + (begin - left), static_cast<std::size_t>(stop - begin) * sizeof(Pixel));
            }
        }
    }
}
