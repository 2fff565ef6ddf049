// The changed rows of a frame, copied and boxed.
#include "hosts/ChangedPixels.h"

#include <algorithm>
#include <cstring>

void CopyChangedPixels(const Raster& frame, Pixel* shown, std::vector<ChangedBox>& boxes, std::size_t maxBoxes)
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
        if (!boxes.empty() && boxes.back().y + boxes.back().height == y) {
            ChangedBox& box = boxes.back();
            const int boxRight = std::max(box.x + box.width, right + 1);
            box.x = std::min(box.x, left);
            box.width = boxRight - box.x;
            ++box.height;
        } else {
            boxes.push_back(ChangedBox{left, y, right - left + 1, 1});
        }
    }
    if (boxes.size() > maxBoxes) {
        int left = width, right = 0;
        for (const ChangedBox& box : boxes) {
            left = std::min(left, box.x);
            right = std::max(right, box.x + box.width);
        }
        const int top = boxes.front().y;
        const int bottom = boxes.back().y + boxes.back().height;
        boxes.assign(1, ChangedBox{left, top, right - left, bottom - top});
    }
}
