// RowsToOverwrite: rows of a raster that their writer overwrites whole before anything
// reads them, so that no colour is written there first only to be replaced.
#pragma once

#include <climits>
#include <cstdint>

class Raster;

// The frame of a tick is made for the clear, which writes every row: a new raster
// then needs no white of its own (Raster's constructor). The clear in turn leaves out
// the rows an opaque picture as wide as the frame (the sky) will cover. Where a promise
// cannot be kept because the draw failed, Fill gives the rows the colour they would
// have had.
class RowsToOverwrite {
public:
    // No rows.
    constexpr RowsToOverwrite() = default;
    // Rows top to bottom - 1.
    constexpr RowsToOverwrite(int top, int bottom) : m_top(top), m_bottom(bottom) {}
    // Every row.
    static constexpr RowsToOverwrite All() { return {INT_MIN, INT_MAX}; }

    constexpr bool Contains(int y) const { return y >= m_top && y < m_bottom; }
    constexpr bool IsEmpty() const { return m_top >= m_bottom; }

    // Writes colour over the whole width of these rows, where they lie in the raster.
    void Fill(Raster& raster, std::uint32_t colour) const;

private:
    int m_top = 0;
    int m_bottom = 0;
};
