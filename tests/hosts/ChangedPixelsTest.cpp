// The rectangles of a frame that changed since the shown one, on an 8 x 5 frame: the
// shown pixels become the frame's, every one checked, and the boxes are exactly the
// changed rows' spans.
#include "hosts/ChangedPixels.h"

#include <gtest/gtest.h>

namespace {

constexpr int W = 8;
constexpr int H = 5;

Pixel Pattern(int x, int y)
{
    return Rgb(x * 20, y * 40, 7);
}

struct Point {
    int x, y;
};

// A box as x, y, width and height.
Rect Box(int x, int y, int width, int height)
{
    return Rect{x, y, x + width, y + height};
}

struct Case {
    const char* name;
    std::vector<Point> changed;
    std::size_t maxBoxes;
    std::vector<Rect> boxes;
};

const Case Cases[] = {
    {"nothing", {}, 64, {}},
    {"top-left corner", {{0, 0}}, 64, {Box(0, 0, 1, 1)}},
    {"bottom-right corner", {{7, 4}}, 64, {Box(7, 4, 1, 1)}},
    // . . . . . . . .
    // . . x . . x . .    row 1: columns 2 to 5
    // x x . . . . . .    row 2: columns 0 to 1; joined with row 1
    {"two rows joined", {{2, 1}, {5, 1}, {0, 2}, {1, 2}}, 64, {Box(0, 1, 6, 2)}},
    // Rows 0 and 3, with unchanged rows between: two boxes.
    {"two runs", {{4, 0}, {1, 3}, {6, 3}}, 64, {Box(4, 0, 1, 1), Box(1, 3, 6, 1)}},
    // Three runs allowed only two: the box that bounds them.
    {"too many boxes", {{3, 0}, {6, 2}, {1, 4}}, 2, {Box(1, 0, 6, 5)}},
    {"every pixel", {}, 64, {Box(0, 0, W, H)}},
};

TEST(ChangedPixels, CopiesTheChangesAndBoxesTheirRows)
{
    for (const Case& c : Cases) {
        SCOPED_TRACE(c.name);
        std::vector<Pixel> shown(W * H);
        Raster frame(W, H);
        const bool everyPixel = std::string(c.name) == "every pixel";
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x) {
                shown[y * W + x] = Pattern(x, y);
                frame.SetPixel(x, y, everyPixel ? Rgb(1, 2, 3) : Pattern(x, y));
            }
        for (const Point& p : c.changed)
            frame.SetPixel(p.x, p.y, Rgb(255, 0, 0));

        std::vector<Rect> boxes = {Box(9, 9, 9, 9)};   // replaced, not added to
        CopyChangedPixels(frame, shown.data(), boxes, c.maxBoxes);

        EXPECT_EQ(boxes, c.boxes);
        for (int y = 0; y < H; ++y)
            for (int x = 0; x < W; ++x)
                EXPECT_EQ(shown[y * W + x], frame.PixelAt(x, y)) << x << "," << y;
    }
}

} // namespace
