// RainUnder: saving and restoring the pixels under the rain streaks.
#include "scene/RainUnder.h"

#include <algorithm>
#include <cassert>
#include <cstring>

namespace {

// A box is 4 columns wide unless the frame's edge cuts it: 16 bytes of fixed length
// are a move or two, where a copy of a length known only at run time is a call, six
// thousand a tick in heavy rain.
void CopyRow(Pixel* to, const Pixel* from, int width)
{
    if (width == 4)
        std::memcpy(to, from, 4 * sizeof(Pixel));
    else
        std::copy_n(from, width, to);
}

} // namespace

void RainUnder::Save(const Raster& frame, const Rect& box)
{
    assert(m_count < RainCount);
    const Rect part = Intersection(box, frame.Bounds());
    assert(part.IsEmpty() || part.Width() * part.Height() <= BoxPixels);
    Pixel* to = m_pixels.data() + m_count * BoxPixels;
    for (int y = part.Top; y < part.Bottom; ++y, to += part.Width())
        CopyRow(to, frame.Scanline(y) + part.Left, part.Width());
    m_boxes[m_count++] = part.IsEmpty() ? Rect{} : part;
}

void RainUnder::Restore(Raster& frame)
{
    while (m_count > 0) {
        --m_count;
        const Rect& part = m_boxes[m_count];
        const Pixel* from = m_pixels.data() + m_count * BoxPixels;
        for (int y = part.Top; y < part.Bottom; ++y, from += part.Width())
            CopyRow(frame.Scanline(y) + part.Left, from, part.Width());
    }
}
