// RainUnder: what the rain covers in a frame, so that the rain can be lifted off it
// again: each streak's box and the box's pixels from just before the streak was drawn.
#pragma once

#include "platform/raster/Raster.h"
#include "platform/raster/Rect.h"
#include "scene/ScenePlan.h"

#include <array>
#include <cstddef>
#include <span>

class RainUnder {
public:
    // A streak's box: 4 columns by 12 rows (its line, the end point included).
    static constexpr int BoxPixels = 4 * 12;

    // No rain saved.
    void Clear() { m_count = 0; }
    // Before a streak is drawn: keeps the pixels of box (its part inside the frame).
    void Save(const Raster& frame, const Rect& box);
    // Puts the kept pixels back, the last streak's first, and forgets them: the frame
    // is then as it was before the first streak was drawn.
    void Restore(Raster& frame);
    // The boxes of the streaks saved since Clear, in drawing order, clipped to the frame.
    std::span<const Rect> Boxes() const { return {m_boxes.data(), m_count}; }

private:
    std::array<Rect, RainCount> m_boxes{};
    std::array<Pixel, RainCount * BoxPixels> m_pixels{};
    std::size_t m_count = 0;
};
