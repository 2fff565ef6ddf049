// FrameChanges: the parts of a frame that changed since the frame was last handed out,
// as a list of rectangles in fixed storage (a tick allocates nothing).
#pragma once

#include "platform/raster/Rect.h"

#include <array>
#include <cstddef>
#include <span>

class FrameChanges {
public:
    // A kept tick changes at most 100 star pixels, one rectangle of eyes and 250 rain
    // boxes.
    static constexpr std::size_t Capacity = 512;

    // Nothing changed yet in a frame of these bounds.
    void Reset(const Rect& frame);
    // The whole frame changed.
    void SetWhole(const Rect& frame);
    // Adds the part of r inside the frame; an empty part adds nothing. Past the
    // capacity the whole frame counts as changed.
    void Add(const Rect& r);
    // The same for a list that gathers the changes of several frames: where there is no
    // room for r, what is there is joined first (Coalesce), and only where even that
    // leaves none does the whole frame count as changed.
    void Gather(const Rect& r);

    // Joins the rectangles into fewer, larger ones, for a window that pays per
    // rectangle: the frame is cut into bands of BandRows rows, and in each band the columns
    // that changed make one rectangle the height of the band wherever they lie less
    // than MergeGap columns apart (32 and 32). The result runs top-down, then left to right, and
    // no two of its rectangles overlap or touch side by side.
    void Coalesce();

    std::span<const Rect> Rects() const { return {m_rects.data(), m_count}; }

private:
    // A rectangle's columns in one band.
    struct Piece {
        int band;
        int left;
        int right;
    };

    Rect m_frame;
    std::array<Rect, Capacity> m_rects{};
    std::size_t m_count = 0;
    std::array<Piece, 4 * Capacity> m_pieces{};
};
