// The changed rectangles of a frame as the window gets them: clipped, joined in bands
// of 32 rows across gaps of up to 32 columns, top-down and left to right.
#include "platform/raster/FrameChanges.h"

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

void PrintTo(const Rect& r, std::ostream* out)
{
    *out << "{" << r.Left << "," << r.Top << "," << r.Right << "," << r.Bottom << "}";
}

namespace {

constexpr Rect Frame{0, 0, 200, 100};

struct Case {
    const char* name;
    std::vector<Rect> added;
    std::vector<Rect> expected;   // worked out by hand
};

TEST(FrameChanges, CoalescedIntoBandsOfThirtyTwoRows)
{
    const Case cases[] = {
        {"far apart in one band, one reaching the next", {{10, 5, 12, 6}, {50, 10, 60, 40}},
         {{10, 0, 12, 32}, {50, 0, 60, 32}, {50, 32, 60, 64}}},
        {"28 columns apart join", {{10, 5, 12, 6}, {40, 20, 41, 21}}, {{10, 0, 41, 32}}},
        {"33 columns apart stay apart", {{10, 5, 12, 6}, {45, 20, 46, 21}}, {{10, 0, 12, 32}, {45, 0, 46, 32}}},
        {"overlapping, given out of order", {{100, 0, 110, 1}, {5, 5, 20, 8}, {0, 0, 10, 10}},
         {{0, 0, 20, 32}, {100, 0, 110, 32}}},
        {"the last band ends with the frame", {{0, 95, 5, 100}}, {{0, 64, 5, 96}, {0, 96, 5, 100}}},
        {"clipped to the frame", {{-10, -10, 3, 2}, {190, 99, 300, 300}, {300, 0, 310, 5}},
         {{0, 0, 3, 32}, {190, 96, 200, 100}}},
        {"nothing changed", {}, {}},
    };
    for (const Case& c : cases) {
        FrameChanges changes;
        changes.Reset(Frame);
        for (const Rect& r : c.added)
            changes.Add(r);
        changes.Coalesce();
        EXPECT_EQ(std::vector<Rect>(changes.Rects().begin(), changes.Rects().end()), c.expected) << c.name;
    }
}

TEST(FrameChanges, WholeFrameStaysOneRectangle)
{
    FrameChanges changes;
    changes.SetWhole(Frame);
    changes.Add({1, 1, 2, 2});
    changes.Coalesce();
    EXPECT_EQ(std::vector<Rect>(changes.Rects().begin(), changes.Rects().end()), std::vector<Rect>{Frame});
    // Past the capacity, the whole frame.
    changes.Reset(Frame);
    for (std::size_t i = 0; i <= FrameChanges::Capacity; ++i)
        changes.Add({static_cast<int>(i % 200), 0, static_cast<int>(i % 200) + 1, 1});
    EXPECT_EQ(std::vector<Rect>(changes.Rects().begin(), changes.Rects().end()), std::vector<Rect>{Frame});
}

} // namespace

// Gathering several frames' changes: a full list is joined first, and only a list that
// joining leaves full turns into the whole frame.
TEST(FrameChanges, GatheringJoinsAFullListBeforeGivingUp)
{
    struct GatherCase {
        const char* name;
        Rect frame;
        int spacing;   // columns between the pixels gathered in row 0
        std::vector<Rect> expected;
    };
    constexpr int Count = static_cast<int>(FrameChanges::Capacity) + 1;
    const GatherCase cases[] = {
        // 512 pixels join into the band's one box; the 513th follows it.
        {"joined", Frame, 1, {{0, 0, 200, 32}, {112, 0, 113, 1}}},
        // 40 columns apart no two join: 512 boxes still.
        {"still full", {0, 0, 40 * Count, 32}, 40, {{0, 0, 40 * Count, 32}}},
    };
    for (const GatherCase& c : cases) {
        FrameChanges changes;
        changes.Reset(c.frame);
        for (int i = 0; i < Count; ++i) {
            const int x = (i * c.spacing) % c.frame.Right;
            changes.Gather({x, 0, x + 1, 1});
        }
        EXPECT_EQ(std::vector<Rect>(changes.Rects().begin(), changes.Rects().end()), c.expected) << c.name;
    }
}
