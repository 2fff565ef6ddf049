// PackedPixels: packing rows into runs, splitting off the colour key, drawing a row.
#include "platform/raster/PackedPixels.h"

#include "platform/Exception.h"
#include "platform/raster/FillSpan.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <new>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// From this length on a stretch of one colour is held as a solid run (16 bytes, the
// size of four pixels) rather than as its pixels.
constexpr int MinSolid = 4;

// Rows whose drawn pixels come in at least this many runs, on average shorter than
// MergeBelowAverage pixels, are held as one run over them all.
constexpr std::size_t MergeFromRuns = 8;
constexpr std::size_t MergeBelowAverage = 16;

// Copies the pixels that are not the key; four at a time where SSE2 is there.
void CopyPastKey(Pixel* to, const Pixel* from, std::size_t count, Pixel key)
{
#if defined(__SSE2__)
    const __m128i keys = _mm_set1_epi32(static_cast<int>(key));
    for (; count >= 4; count -= 4, to += 4, from += 4) {
        const __m128i source = _mm_loadu_si128(reinterpret_cast<const __m128i*>(from));
        const __m128i target = _mm_loadu_si128(reinterpret_cast<const __m128i*>(to));
        const __m128i isKey = _mm_cmpeq_epi32(source, keys);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to),
                         _mm_or_si128(_mm_and_si128(isKey, target), _mm_andnot_si128(isKey, source)));
    }
#endif
    for (; count > 0; --count, ++to, ++from) {
        if (*from != key)
            *to = *from;
    }
}

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
    // Every index is 32 bits: a row that could carry one past its range is refused. A
    // row split at the key cannot come to more than the width in runs or in pixels.
    const std::size_t width = static_cast<std::size_t>(m_width);
    if (m_height == INT_MAX || m_literals.size() + width >= Solid || m_runs.size() + width >= Solid)
        return false;
    const std::size_t runsBefore = m_runs.size();
    const std::size_t literalsBefore = m_literals.size();
    try {
        if (m_keyedRows) {
            std::vector<Run> packed;
            std::vector<Pixel> pixels;
            PackRow(row, packed, pixels);
            AppendSplitRow(packed.data(), packed.size(), pixels.data(), m_runs, m_literals);
        } else {
            PackRow(row, m_runs, m_literals);
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

void PackedPixels::PackRow(const Pixel* row, std::vector<Run>& runs, std::vector<Pixel>& literals) const
{
    int x = 0;
    while (x < m_width) {
        int same = SameFrom(row, x, m_width);
        if (same >= MinSolid) {
            runs.push_back({x, x + same, row[x], Solid});
            x += same;
            continue;
        }
        // Pixels as they are, up to the next stretch long enough to be solid.
        const int begin = x;
        do {
            x += same;
            same = x < m_width ? SameFrom(row, x, m_width) : 0;
        } while (x < m_width && same < MinSolid);
        runs.push_back({begin, x, 0, static_cast<std::uint32_t>(literals.size())});
        literals.insert(literals.end(), row + begin, row + x);
    }
}

void PackedPixels::Finish(Pixel key)
{
    m_key = key;
    std::vector<Run> runs;
    std::vector<std::uint32_t> rowStart;
    std::vector<Pixel> literals;
    try {
        runs.reserve(m_runs.size());
        rowStart.reserve(m_rowStart.size());
        literals.reserve(m_literals.size());
        rowStart.push_back(0);
        for (std::size_t y = 0; y < static_cast<std::size_t>(m_height); ++y) {
            AppendSplitRow(m_runs.data() + m_rowStart[y], m_rowStart[y + 1] - m_rowStart[y], m_literals.data(), runs,
                           literals);
            if (runs.size() >= Solid || literals.size() >= Solid)
                throw EOutOfResources("Out of system resources");
            rowStart.push_back(static_cast<std::uint32_t>(runs.size()));
        }
        runs.shrink_to_fit();
        literals.shrink_to_fit();
    } catch (const std::bad_alloc&) {
        throw EOutOfResources("Out of system resources");
    }
    m_runs = std::move(runs);
    m_rowStart = std::move(rowStart);
    m_literals = std::move(literals);
}

void PackedPixels::AppendSplitRow(const Run* row, std::size_t count, const Pixel* rowLiterals, std::vector<Run>& runs,
                                  std::vector<Pixel>& literals) const
{
    const std::size_t first = runs.size();
    for (const Run* run = row; run != row + count; ++run) {
        if (run->literal == Solid) {
            runs.push_back(*run);
            continue;
        }
        // A key pixel among the literal ones becomes a solid run of the key.
        const Pixel* pixels = rowLiterals + run->literal;
        std::int32_t from = run->begin;
        for (std::int32_t x = run->begin; x <= run->end; ++x) {
            if (x < run->end && pixels[x - run->begin] != m_key)
                continue;
            if (from < x) {
                runs.push_back({from, x, Plain, static_cast<std::uint32_t>(literals.size())});
                literals.insert(literals.end(), pixels + (from - run->begin), pixels + (x - run->begin));
            }
            if (x < run->end)
                runs.push_back({x, x + 1, m_key, Solid});
            from = x + 1;
        }
    }
    MergeShortRuns(runs, first, literals);
}

void PackedPixels::MergeShortRuns(std::vector<Run>& runs, std::size_t first, std::vector<Pixel>& literals) const
{
    // Where the drawn pixels of a row come in many short runs (needles, twigs), one
    // run over them all, key pixels included, draws faster: a keyed draw then copies
    // it pixel by pixel past the key instead of run by run.
    auto isKey = [this](const Run& run) { return run.literal == Solid && run.colour == m_key; };
    std::size_t begin = first;
    std::size_t end = runs.size();
    while (begin < end && isKey(runs[begin]))
        ++begin;
    while (end > begin && isKey(runs[end - 1]))
        --end;
    const std::size_t count = end - begin;
    if (count < MergeFromRuns)
        return;
    const std::int32_t from = runs[begin].begin;
    const std::int32_t to = runs[end - 1].end;
    if (static_cast<std::size_t>(to - from) >= count * MergeBelowAverage)
        return;
    // The merged pixels go to the end of the pool; the old ones of the row, which
    // lie at its end, are dropped first.
    std::vector<Pixel> pixels(static_cast<std::size_t>(to - from));
    for (std::size_t k = begin; k < end; ++k) {
        const Run& run = runs[k];
        Pixel* out = pixels.data() + (run.begin - from);
        if (run.literal == Solid)
            std::fill_n(out, run.end - run.begin, run.colour);
        else
            std::copy_n(literals.data() + run.literal, run.end - run.begin, out);
    }
    for (std::size_t k = first; k < runs.size(); ++k) {
        if (runs[k].literal != Solid) {
            literals.resize(runs[k].literal);
            break;
        }
    }
    const Run after = end < runs.size() ? Run{to, runs.back().end, m_key, Solid} : Run{};
    runs.resize(begin);
    runs.push_back({from, to, Masked, static_cast<std::uint32_t>(literals.size())});
    literals.insert(literals.end(), pixels.begin(), pixels.end());
    if (after.end > after.begin)
        runs.push_back(after);
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
            const Pixel* from = m_literals.data() + run->literal + (begin - run->begin);
            const auto count = static_cast<std::size_t>(end - begin);
            if (keyed && run->colour == Masked)
                CopyPastKey(to + (begin - left), from, count, m_key);
            else
                std::memcpy(to + (begin - left), from, count * sizeof(Pixel));
        } else if (!keyed || run->colour != m_key) {
            FillSpan(to + (begin - left), static_cast<std::size_t>(end - begin), run->colour);
        }
    }
}
