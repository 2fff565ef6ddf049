// Tests of line clipping: lines across every edge, many random lines, coordinates at the int limits.
#include "platform/raster/Raster.h"
#include "LineReference.h"
#include "RasterText.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <ostream>
#include <string>

using rastertest::DrawLine;
using rastertest::ReferenceLine;
using rastertest::ToText;

namespace {

struct ClipLine {
    std::int64_t x0, y0, x1, y1;
};

// Lines crossing each edge and corner of a 12x10 raster, in both directions.
constexpr ClipLine EdgeLines[] = {
    {-5, 3, 20, 7},   {20, 7, -5, 3},   {3, -9, 8, 20},  {8, 20, 3, -9},  {-4, -4, 15, 13}, {15, 13, -4, -4},
    {14, -2, -3, 11}, {-3, 11, 14, -2}, {-1, 0, 12, 0},  {12, 9, -1, 9},  {0, -1, 0, 10},   {11, 10, 11, -1},
    {-7, 2, 4, 5},    {4, 5, 19, 8},    {6, -30, 7, 40}, {-30, 6, 40, 7}, {-2, 12, 3, -7},  {25, 1, -20, 8},
    {11, 0, 30, 9},   {0, 9, -6, -40},
};

void PrintTo(const ClipLine& l, std::ostream* os)
{
    *os << "(" << l.x0 << "," << l.y0 << ")-(" << l.x1 << "," << l.y1 << ")";
}

class ClippedLine : public ::testing::TestWithParam<ClipLine> {};

TEST_P(ClippedLine, MatchesTheReference)
{
    const ClipLine& l = GetParam();
    EXPECT_EQ(DrawLine(12, 10, static_cast<int>(l.x0), static_cast<int>(l.y0), static_cast<int>(l.x1),
                       static_cast<int>(l.y1)),
              ReferenceLine(12, 10, l.x0, l.y0, l.x1, l.y1));
}

TEST_P(ClippedLine, MatchesTheSameLineInABiggerRaster)
{
    // The same line shifted by (50, 60) in a raster large enough to hold it whole;
    // the 12x10 window at (50, 60) must look the same.
    const ClipLine& l = GetParam();
    Raster big(120, 130);
    big.MoveTo(static_cast<int>(l.x0) + 50, static_cast<int>(l.y0) + 60);
    big.LineTo(static_cast<int>(l.x1) + 50, static_cast<int>(l.y1) + 60);
    std::string window;
    for (int y = 60; y < 70; ++y) {
        for (int x = 50; x < 62; ++x) {
            window += big.PixelAt(x, y) == Black ? '#' : '.';
        }
        window += '\n';
    }
    EXPECT_EQ(DrawLine(12, 10, static_cast<int>(l.x0), static_cast<int>(l.y0), static_cast<int>(l.x1),
                       static_cast<int>(l.y1)),
              window);
}

INSTANTIATE_TEST_SUITE_P(Edges, ClippedLine, ::testing::ValuesIn(EdgeLines));

} // namespace

TEST(Lines, ManyLinesAroundASmallRasterMatchTheReference)
{
    // A fixed linear congruential sequence: endpoints in [-30, 45] around a 16x12 raster.
    std::uint32_t state = 12345;
    auto next = [&state]() {
        state = state * 1103515245u + 12345u;
        return static_cast<int>((state >> 16) % 76) - 30;
    };
    for (int n = 0; n < 3000; ++n) {
        const int x0 = next(), y0 = next(), x1 = next(), y1 = next();
        ASSERT_EQ(DrawLine(16, 12, x0, y0, x1, y1), ReferenceLine(16, 12, x0, y0, x1, y1))
            << "(" << x0 << "," << y0 << ")-(" << x1 << "," << y1 << ")";
    }
}

namespace {

struct FarLine {
    int x0, y0, x1, y1;
    bool crosses;  // whether the line passes through the 16x16 raster
};

constexpr int Big = 1000000000;
constexpr FarLine FarLines[] = {
    {INT_MIN, INT_MIN, INT_MAX, INT_MAX, true},
    {INT_MAX, INT_MAX, INT_MIN, INT_MIN, true},
    // x + y = -1 all along: it passes just outside the top-left corner.
    {INT_MIN, INT_MAX, INT_MAX, INT_MIN, false},
    {INT_MIN + 15, INT_MAX, INT_MAX, INT_MIN + 15, true},
    {INT_MIN, 5, INT_MAX, 5, true},
    {INT_MAX, 9, INT_MIN, 9, true},
    {7, INT_MIN, 7, INT_MAX, true},
    {3, INT_MAX, 3, INT_MIN, true},
    {-Big, -Big, Big, Big, true},
    {-Big, -499999997, Big, 500000010, true},
    {Big, 500000010, -Big, -499999997, true},
    {-499999990, -Big, 500000003, Big, true},
    {INT_MIN, INT_MIN + 3, INT_MAX, INT_MAX - 3, true},
    {INT_MIN, 0, 8, INT_MAX, false},
    {INT_MIN, INT_MIN, INT_MIN + 5, INT_MIN + 1, false},
    {INT_MAX, INT_MAX, INT_MAX - 1, INT_MAX, false},
    {-Big, Big, Big, Big, false},
    {8, 8, INT_MAX, INT_MIN, true},
    {8, 8, INT_MIN, 4, true},
    {INT_MIN, -7, 20, 12, true},
};

void PrintTo(const FarLine& l, std::ostream* os)
{
    *os << "(" << l.x0 << "," << l.y0 << ")-(" << l.x1 << "," << l.y1 << ")";
}

class FarCoordinates : public ::testing::TestWithParam<FarLine> {};

TEST_P(FarCoordinates, DrawExactlyTheReferencePixels)
{
    const FarLine& l = GetParam();
    const std::string expected = ReferenceLine(16, 16, l.x0, l.y0, l.x1, l.y1);
    EXPECT_EQ(expected.find('#') != std::string::npos, l.crosses);
    EXPECT_EQ(DrawLine(16, 16, l.x0, l.y0, l.x1, l.y1), expected);
}

INSTANTIATE_TEST_SUITE_P(Limits, FarCoordinates, ::testing::ValuesIn(FarLines));

} // namespace

TEST(Lines, MainDiagonalFromIntMinToIntMax)
{
    // Through (k, k) for every k: a 45-degree line has no rounding at all.
    Raster raster(5, 5);
    raster.MoveTo(INT_MIN, INT_MIN);
    raster.LineTo(INT_MAX, INT_MAX);
    EXPECT_EQ(ToText(raster), "#....\n.#...\n..#..\n...#.\n....#\n");
}
