// PackedPixels: a picture's pixels held as runs, row by row. A stretch of one colour
// (a sky row, a silhouette, the background around it) is held as that colour alone;
// the other pixels are held as they are. Drawing fills the one and copies the other.
#pragma once

#include "platform/raster/Raster.h"

#include <cstddef>
#include <cstdint>
#include <vector>

class PackedPixels {
public:
    // A picture of 0 x 0: it draws nothing.
    PackedPixels() = default;
    explicit PackedPixels(int width) : m_width(width > 0 ? width : 0) {}
    // A picture whose key is known before its rows: each row is split at the key as it
    // is appended, so that its memory is written once, and Finish is not called.
    PackedPixels(int width, Pixel key) : m_width(width > 0 ? width : 0), m_key(key), m_keyedRows(true) {}

    // Appends the next row, top row first, of Width() pixels. Returns false, and
    // appends nothing, when the memory for it cannot be had.
    bool AppendRow(const Pixel* row) noexcept;
    // Ends a picture made without its key: pixels of the colour key are split off into
    // runs of their own, so that a keyed draw skips them whole and copies the rest
    // unchecked.
    void Finish(Pixel key);

    int Width() const { return m_height > 0 ? m_width : 0; }
    int Height() const { return m_height; }
    bool IsEmpty() const { return Width() == 0 || m_height == 0; }
    Pixel Key() const { return m_key; }
    Pixel PixelAt(int x, int y) const;
    // The memory held, for the figures of tools and tests.
    std::size_t HeldBytes() const;

    // Writes columns [left, right) of row y to to[0] .. to[right - left - 1]. Keyed,
    // the pixels of the key are left as they are.
    void DrawRow(int y, int left, int right, Pixel* to, bool keyed) const;

private:
    // No literal: the run is one colour.
    static constexpr std::uint32_t Solid = 0xFFFFFFFFu;
    // A literal run's colour field: Plain pixels hold no key; Masked ones may.
    static constexpr Pixel Plain = 0;
    static constexpr Pixel Masked = 1;
    struct Run {
        std::int32_t begin;
        std::int32_t end;
        Pixel colour;             // a solid run's colour; for a literal run Plain or Masked
        std::uint32_t literal;    // for a literal run where its pixels start in m_literals
    };
    // Appends a row's runs as they come: a stretch of one colour long enough as a
    // solid run, the pixels between as a literal one.
    void PackRow(const Pixel* row, std::vector<Run>& runs, std::vector<Pixel>& literals) const;
    // Appends one row's runs as packed, split at the key and merged where short.
    void AppendSplitRow(const Run* row, std::size_t count, const Pixel* rowLiterals, std::vector<Run>& runs,
                        std::vector<Pixel>& literals) const;
    void MergeShortRuns(std::vector<Run>& runs, std::size_t first, std::vector<Pixel>& literals) const;

    int m_width = 0;
    int m_height = 0;
    Pixel m_key = 0;
    bool m_keyedRows = false;
    std::vector<std::uint32_t> m_rowStart{0};   // per row, index of its first run; rows + 1 entries
    std::vector<Run> m_runs;
    std::vector<Pixel> m_literals;
};
