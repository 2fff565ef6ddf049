// RainUnder: saving and restoring the pixels under the rain streaks.
#include "scene/RainUnder.h"

#include <cassert>
#include <cstring>

void RainUnder::Save(const Raster& frame, const Rect& box)
{
    assert(m_count < RainCount);
    const Rect part = Intersection(box, frame.Bounds());
    assert(part.IsEmpty() || part.Width() * part.Height() <= BoxPixels);
    Pixel* to = m_pixels.data() + m_count * BoxPixels;
    for (int y = part.Top; y < part.Bottom; ++y, to += part.Width())
        std::memcpy(to, frame.Scanline(y) + part.Left, static_cast<std::size_t>(part.Width()) * sizeof(Pixel));
    m_boxes[m_count++] = part.IsEmpty() ? Rect{} : part;
}

void RainUnder::Restore(Raster& frame)
{
    while (m_count > 0) {
        --m_count;
        const Rect& part = m_boxes[m_count];
        const Pixel* from = m_pixels.data() + m_count * BoxPixels;
        for (int y = part.Top; y < part.Bottom; ++y, from += part.Width())
            std::memcpy(frame.Scanline(y) + part.Left, from, static_cast<std::size_t>(part.Width()) * sizeof(Pixel));
    }
}
