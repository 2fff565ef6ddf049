// The changed rows of a frame, copied and boxed.
#include "hosts/ChangedPixels.h"

#include <algorithm>
#include <cstring>

void CopyChangedPixels(const Raster& frame, Pixel* shown, std::vector<Rect>& boxes, std::size_t maxBoxes)
{
    boxes.clear();
    if (frame.IsEmpty())
        return;
    const int width = frame.Width();
    const int height = frame.Height();
    const std::size_t rowBytes = static_cast<std::size_t>(width) * sizeof(Pixel);
    const Pixel* next = frame.Scanline(0);
    for (int y = 0; y < height; ++y) {
        const Pixel* src = next + static_cast<std::ptrdiff_t>(y) * frame.Pitch();
        Pixel* dst = shown + static_cast<std::ptrdiff_t>(y) * width;
        if (std::memcmp(src, dst, rowBytes) == 0)
            continue;
        // The row differs, so both scans stop inside it.
        int left = 0;
        while (src[left] == dst[left])
            ++left;
        int right = width - 1;
        while (src[right] == dst[right])
            --right;
        std::memcpy(dst + left, src + left, static_cast<std::size_t>(right - left + 1) * sizeof(Pixel));
        if (!boxes.empty() && boxes.back().Bottom == y) {
            Rect& box = boxes.back();
            box.Left = std::min(box.Left, left);
            box.Right = std::max(box.Right, right + 1);
            ++box.Bottom;
        } else {
            boxes.push_back(Rect{left, y, right + 1, y + 1});
        }
    }
    if (boxes.size() > maxBoxes) {
        Rect bounds;
        for (const Rect& box : boxes)
            bounds = BoundingUnion(bounds, box);
        boxes.assign(1, bounds);
    }
}
