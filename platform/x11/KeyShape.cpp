// The colour key as the window's bounding shape: the runs of key pixels of each row
// cut out, everything else of the window shown.
#include "platform/x11/KeyShape.h"

#include <algorithm>
#include <xcb/shape.h>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// The shape is set in window coordinates, which X keeps in 16 bits; what lies past
// the window's own rectangle is clipped by the server.
constexpr int Far = 32767;
// A ShapeRectangles request's own fields, before its rectangles.
constexpr std::size_t ShapeRectanglesHeaderBytes = 16;

// key is opaque (0xFF in the top byte).
bool RowHasKey(const Pixel* row, int left, int right, Pixel key)
{
    int x = left;
#if defined(__SSE2__)
    // Sixteen pixels at a time: every changed rectangle of every frame is looked at,
    // and the compiler leaves the loop below one pixel at a time.
    const __m128i alpha = _mm_set1_epi32(static_cast<int>(0xFF000000u));
    const __m128i keys = _mm_set1_epi32(static_cast<int>(key));
    for (; x + 16 <= right; x += 16) {
        const auto* p = reinterpret_cast<const __m128i*>(row + x);
        const __m128i a = _mm_cmpeq_epi32(_mm_or_si128(_mm_loadu_si128(p), alpha), keys);
        const __m128i b = _mm_cmpeq_epi32(_mm_or_si128(_mm_loadu_si128(p + 1), alpha), keys);
        const __m128i c = _mm_cmpeq_epi32(_mm_or_si128(_mm_loadu_si128(p + 2), alpha), keys);
        const __m128i d = _mm_cmpeq_epi32(_mm_or_si128(_mm_loadu_si128(p + 3), alpha), keys);
        if (_mm_movemask_epi8(_mm_or_si128(_mm_or_si128(a, b), _mm_or_si128(c, d))) != 0)
            return true;
    }
    for (; x + 4 <= right; x += 4) {
        const __m128i a = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x)), alpha);
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(a, keys)) != 0)
            return true;
    }
#endif
    for (; x < right; ++x) {
        if ((row[x] | 0xFF000000u) == key)
            return true;
    }
    return false;
}

// Every run of key pixels in the frame, one rectangle a run, top-down and left to
// right within a row.
std::vector<Rect> KeyRuns(const Raster& frame, Pixel key)
{
    std::vector<Rect> runs;
    for (int y = 0; y < frame.Height(); ++y) {
        const Pixel* row = frame.Scanline(y);
        if (!RowHasKey(row, 0, frame.Width(), key))
            continue;
        for (int x = 0; x < frame.Width();) {
            if ((row[x] | 0xFF000000u) != key) {
                ++x;
                continue;
            }
            const int left = x;
            while (x < frame.Width() && (row[x] | 0xFF000000u) == key)
                ++x;
            runs.push_back({left, y, x, y + 1});
        }
    }
    return runs;
}

xcb_rectangle_t Shown(int left, int top, int right, int bottom)
{
    return {static_cast<std::int16_t>(left), static_cast<std::int16_t>(top), static_cast<std::uint16_t>(right - left),
            static_cast<std::uint16_t>(bottom - top)};
}

} // namespace

KeyShape::KeyShape(xcb_connection_t* c, xcb_window_t window) : m_c(c), m_window(window)
{
}

bool KeyShape::Offered(xcb_connection_t* c)
{
    const xcb_query_extension_reply_t* shape = xcb_get_extension_data(c, &xcb_shape_id);
    return shape != nullptr && shape->present;
}

bool KeyShape::Touches(const Raster& frame, Pixel key, std::span<const Rect> changed) const
{
    for (const Rect& r : changed) {
        const Rect part = Intersection(r, frame.Bounds());
        if (part.IsEmpty())
            continue;
        if (!Intersection(part, m_cutBounds).IsEmpty()) {
            for (const Rect& cut : m_cut) {
                if (!Intersection(part, cut).IsEmpty())
                    return true;
            }
        }
        for (int y = part.Top; y < part.Bottom; ++y) {
            if (RowHasKey(frame.Scanline(y), part.Left, part.Right, key))
                return true;
        }
    }
    return false;
}

bool KeyShape::Update(const Raster& frame, Pixel key, std::span<const Rect> changed, bool whole)
{
    key |= 0xFF000000u;
    if (!whole && !Touches(frame, key, changed))
        return false;
    // The key's pixels where something changed near them: the whole frame is looked
    // at again, which is rare, and the shape set anew only where it differs.
    std::vector<Rect> runs = KeyRuns(frame, key);
    if (runs == m_cut)
        return false;
    SetShape(runs);
    m_cut = std::move(runs);
    m_cutBounds = {};
    for (const Rect& r : m_cut)
        m_cutBounds = BoundingUnion(m_cutBounds, r);
    return true;
}

void KeyShape::Reset()
{
    if (m_cut.empty())
        return;
    SetShape({});
    m_cut.clear();
    m_cutBounds = {};
}

void KeyShape::SetShape(const std::vector<Rect>& cut)
{
    if (cut.empty()) {
        // No shape at all: the window is its plain rectangle again.
        xcb_shape_mask(m_c, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING, m_window, 0, 0, XCB_PIXMAP_NONE);
        return;
    }
    // What is shown, in bands: the rows with nothing cut joined into one band, each row
    // with cuts a band of its own, cut between its runs.
    std::vector<xcb_rectangle_t> shown;
    shown.reserve(cut.size() * 2 + 2);
    int y = 0;
    for (std::size_t i = 0; i < cut.size();) {
        const int row = cut[i].Top;
        if (row > y)
            shown.push_back(Shown(0, y, Far, row));
        int x = 0;
        for (; i < cut.size() && cut[i].Top == row; ++i) {
            if (cut[i].Left > x)
                shown.push_back(Shown(x, row, cut[i].Left, row + 1));
            x = cut[i].Right;
        }
        shown.push_back(Shown(x, row, Far, row + 1));
        y = row + 1;
    }
    shown.push_back(Shown(0, y, Far, Far));
    // As many rectangles a request as the server takes; the first sets the shape, the
    // others add to it.
    const std::size_t maxBytes = std::size_t{xcb_get_maximum_request_length(m_c)} * 4;
    const std::size_t perRequest = std::max<std::size_t>(1, (maxBytes - ShapeRectanglesHeaderBytes) / sizeof(xcb_rectangle_t));
    for (std::size_t i = 0; i < shown.size(); i += perRequest) {
        const std::size_t count = std::min(perRequest, shown.size() - i);
        xcb_shape_rectangles(m_c, i == 0 ? XCB_SHAPE_SO_SET : XCB_SHAPE_SO_UNION, XCB_SHAPE_SK_BOUNDING,
                             XCB_CLIP_ORDERING_YX_BANDED, m_window, 0, 0, static_cast<std::uint32_t>(count),
                             shown.data() + i);
    }
}
