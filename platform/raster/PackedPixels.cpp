// PackedPixels: packing rows into runs, splitting off the colour key, drawing a row.
#include "platform/raster/PackedPixels.h"

#include "platform/Exception.h"
#include "platform/raster/FillSpan.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>

namespace {

// From this length on a stretch of one colour is held as a solid run (16 bytes, the
// size of four pixels) rather than as its pixels.
constexpr int MinSolid = 4;

// The length of the stretch of row[x]'s colour from x on.
int SameFrom(const Pixel* row, int x, int width)
{
    const Pixel colour = row[x];
    int end = x + 1;
    while (end < width && row[end] == colour)
        ++end;
    return end - x;
}

} // namespace

bool PackedPixels::AppendRow(const Pixel* row) noexcept
{
    // Every index is 32 bits: a row that could carry one past its range is refused.
    const std::size_t width = static_cast<std::size_t>(m_width);
    if (m_height == INT_MAX || m_literals.size() + width >= Solid || m_runs.size() + width >= Solid)
        return false;
    const std::size_t runsBefore = m_runs.size();
    const std::size_t literalsBefore = m_literals.size();
    try {
        int x = 0;
        while (x < m_width) {
            int same = SameFrom(row, x, m_width);
            if (same >= MinSolid) {
                m_runs.push_back({x, x + same, row[x], Solid});
                x += same;
                continue;
            }
            // Pixels as they are, up to the next stretch long enough to be solid.
            const int begin = x;
            do {
                x += same;
                same = x < m_width ? SameFrom(row, x, m_width) : 0;
            } while (x < m_width && same < MinSolid);
            m_runs.push_back({begin, x, 0, static_cast<std::uint32_t>(m_literals.size())});
            m_literals.insert(m_literals.end(), row + begin, row + x);
        }
        m_rowStart.push_back(static_cast<std::uint32_t>(m_runs.size()));
    } catch (const std::bad_alloc&) {
        m_runs.resize(runsBefore);
        m_literals.resize(literalsBefore);
        return false;
    }
    ++m_height;
    return true;
}

void PackedPixels::Finish(Pixel key)
{
    m_key = key;
    std::vector<Run> runs;
    std::vector<std::uint32_t> rowStart;
    try {
        runs.reserve(m_runs.size());
        rowStart.reserve(m_rowStart.size());
        rowStart.push_back(0);
        for (int y = 0; y < m_height; ++y) {
            for (std::uint32_t k = m_rowStart[static_cast<std::size_t>(y)]; k < m_rowStart[static_cast<std::size_t>(y) + 1];
                 ++k) {
                const Run& run = m_runs[k];
                if (run.literal == Solid) {
                    runs.push_back(run);
                    continue;
                }
                // A key pixel among the literal ones becomes a solid run of the key; the
                // pixels between stay where they are in m_literals.
                const Pixel* pixels = m_literals.data() + run.literal;
                std::int32_t from = run.begin;
                for (std::int32_t x = run.begin; x <= run.end; ++x) {
                    if (x < run.end && pixels[x - run.begin] != key)
                        continue;
                    if (from < x)
                        runs.push_back({from, x, 0, run.literal + static_cast<std::uint32_t>(from - run.begin)});
                    if (x < run.end)
                        runs.push_back({x, x + 1, key, Solid});
                    from = x + 1;
                }
            }
            if (runs.size() >= Solid)
                throw EOutOfResources("Out of system resources");
            rowStart.push_back(static_cast<std::uint32_t>(runs.size()));
        }
        runs.shrink_to_fit();
        m_literals.shrink_to_fit();
    } catch (const std::bad_alloc&) {
        throw EOutOfResources("Out of system resources");
    }
    m_runs = std::move(runs);
    m_rowStart = std::move(rowStart);
}

Pixel PackedPixels::PixelAt(int x, int y) const
{
    const Run* first = m_runs.data() + m_rowStart[static_cast<std::size_t>(y)];
    const Run* last = m_runs.data() + m_rowStart[static_cast<std::size_t>(y) + 1];
    const Run* run = std::partition_point(first, last, [x](const Run& r) { return r.end <= x; });
    return run->literal == Solid ? run->colour : m_literals[run->literal + static_cast<std::uint32_t>(x - run->begin)];
}

std::size_t PackedPixels::HeldBytes() const
{
    return m_rowStart.capacity() * sizeof(std::uint32_t) + m_runs.capacity() * sizeof(Run) +
           m_literals.capacity() * sizeof(Pixel);
}

void PackedPixels::DrawRow(int y, int left, int right, Pixel* to, bool keyed) const
{
    const Run* run = m_runs.data() + m_rowStart[static_cast<std::size_t>(y)];
    const Run* last = m_runs.data() + m_rowStart[static_cast<std::size_t>(y) + 1];
    // The runs of a row lie left to right and cover it whole.
    if (left > 0)
        run = std::partition_point(run, last, [left](const Run& r) { return r.end <= left; });
    for (; run != last && run->begin < right; ++run) {
        const int begin = std::max<int>(run->begin, left);
        const int end = std::min<int>(run->end, right);
        if (run->literal != Solid) {
            std::memcpy(to + (begin - left), m_literals.data() + run->literal + (begin - run->begin),
                        static_cast<std::size_t>(end - begin) * sizeof(Pixel));
        } else if (!keyed || run->colour != m_key) {
            FillSpan(to + (begin - left), static_cast<std::size_t>(end - begin), run->colour);
        }
    }
}
