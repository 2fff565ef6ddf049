// Tests of MoveTo/LineTo: slopes, directions, ties, the left-out end point, the rain streak, row fills.
#include "platform/raster/Raster.h"
#include "LineReference.h"
#include "RasterText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <ostream>
#include <string>

using rastertest::DrawLine;
using rastertest::ReferenceLine;
using rastertest::ToText;

namespace {

struct HandLine {
    const char* name;
    int x0, y0, x1, y1;
    const char* picture;  // 8x8, worked out by hand
};

// Each picture is the expected raster; the end point is never lit.
constexpr HandLine HandLines[] = {
    {"HorizontalRight", 1, 2, 6, 2,
     "........\n"
     "........\n"
     ".#####..\n"
     "........\n"
     "........\n"
     "........\n"
     "........\n"
     "........\n"},
    {"HorizontalLeft", 6, 5, 1, 5,
     "........\n"
     "........\n"
     "........\n"
     "........\n"
     "........\n"
     "..#####.\n"
     "........\n"
     "........\n"},
    {"VerticalDown", 3, 1, 3, 6,
     "........\n"
     "...#....\n"
     "...#....\n"
     "...#....\n"
     "...#....\n"
     "...#....\n"
     "........\n"
     "........\n"},
    {"VerticalUp", 4, 6, 4, 1,
     "........\n"
     "........\n"
     "....#...\n"
     "....#...\n"
     "....#...\n"
     "....#...\n"
     "....#...\n"
     "........\n"},
    {"DiagonalDownRight", 1, 1, 6, 6,
     "........\n"
     ".#......\n"
     "..#.....\n"
     "...#....\n"
     "....#...\n"
     ".....#..\n"
     "........\n"
     "........\n"},
    {"DiagonalUpLeft", 6, 6, 1, 1,
     "........\n"
     "........\n"
     "..#.....\n"
     "...#....\n"
     "....#...\n"
     ".....#..\n"
     "......#.\n"
     "........\n"},
    {"AntiDiagonalDownLeft", 6, 1, 1, 6,
     "........\n"
     "......#.\n"
     ".....#..\n"
     "....#...\n"
     "...#....\n"
     "..#.....\n"
     "........\n"
     "........\n"},
    {"AntiDiagonalUpRight", 1, 6, 6, 1,
     "........\n"
     "........\n"
     ".....#..\n"
     "....#...\n"
     "...#....\n"
     "..#.....\n"
     ".#......\n"
     "........\n"},
    // y = 1 + i/3 rounded: 0, .33, .67, 1, 1.33, 1.67.
    {"ShallowDownRight", 0, 1, 6, 3,
     "........\n"
     "##......\n"
     "..###...\n"
     ".....#..\n"
     "........\n"
     "........\n"
     "........\n"
     "........\n"},
    // y = 6 - 3i/7 rounded: offsets 0, .43, .86, 1.29, 1.71, 2.14, 2.57.
    {"ShallowUpRight", 0, 6, 7, 3,
     "........\n"
     "........\n"
     "........\n"
     "......#.\n"
     "....##..\n"
     "..##....\n"
     "##......\n"
     "........\n"},
    // y = i/2 with ties at i = 1 and 3: the tie takes the upper pixel.
    {"ShallowTieRight", 0, 0, 4, 2,
     "##......\n"
     "..##....\n"
     "........\n"
     "........\n"
     "........\n"
     "........\n"
     "........\n"
     "........\n"},
    // The same line backwards: the ties still take the upper pixel.
    {"ShallowTieLeft", 4, 2, 0, 0,
     ".#......\n"
     "..##....\n"
     "....#...\n"
     "........\n"
     "........\n"
     "........\n"
     "........\n"
     "........\n"},
    // x = 1 + i/3 rounded.
    {"SteepDownRight", 1, 0, 3, 6,
     ".#......\n"
     ".#......\n"
     "..#.....\n"
     "..#.....\n"
     "..#.....\n"
     "...#....\n"
     "........\n"
     "........\n"},
    // x = 5 - 3i/7 rounded, rows 7 up to 1.
    {"SteepUpLeft", 5, 7, 2, 0,
     "........\n"
     "..#.....\n"
     "...#....\n"
     "...#....\n"
     "....#...\n"
     "....#...\n"
     ".....#..\n"
     ".....#..\n"},
    // x = i/2 with ties at i = 1 and 3: the tie takes the left pixel.
    {"SteepTieDown", 0, 0, 2, 4,
     "#.......\n"
     "#.......\n"
     ".#......\n"
     ".#......\n"
     "........\n"
     "........\n"
     "........\n"
     "........\n"},
    {"SteepTieUp", 2, 4, 0, 0,
     "........\n"
     "#.......\n"
     ".#......\n"
     ".#......\n"
     "..#.....\n"
     "........\n"
     "........\n"
     "........\n"},
    {"SingleStep", 3, 3, 4, 3,
     "........\n"
     "........\n"
     "........\n"
     "...#....\n"
     "........\n"
     "........\n"
     "........\n"
     "........\n"},
    {"SingleDiagonalStep", 3, 3, 2, 4,
     "........\n"
     "........\n"
     "........\n"
     "...#....\n"
     "........\n"
     "........\n"
     "........\n"
     "........\n"},
    {"ZeroLength", 3, 3, 3, 3,
     "........\n"
     "........\n"
     "........\n"
     "........\n"
     "........\n"
     "........\n"
     "........\n"
     "........\n"},
};

void PrintTo(const HandLine& l, std::ostream* os)
{
    *os << l.name;
}

class HandDrawnLine : public ::testing::TestWithParam<HandLine> {};

TEST_P(HandDrawnLine, LightsTheWorkedOutPixels)
{
    const HandLine& l = GetParam();
    EXPECT_EQ(DrawLine(8, 8, l.x0, l.y0, l.x1, l.y1), l.picture);
}

// The reference used by the clipping tests agrees with the hand-drawn pictures.
TEST_P(HandDrawnLine, ReferenceAgrees)
{
    const HandLine& l = GetParam();
    EXPECT_EQ(ReferenceLine(8, 8, l.x0, l.y0, l.x1, l.y1), l.picture);
}

INSTANTIATE_TEST_SUITE_P(Lines, HandDrawnLine, ::testing::ValuesIn(HandLines),
                         [](const ::testing::TestParamInfo<HandLine>& line) { return std::string(line.param.name); });

} // namespace

TEST(Lines, EachLineStartsAtThePreviousEndPoint)
{
    Raster raster(8, 8);
    raster.MoveTo(1, 1);
    raster.LineTo(5, 1);
    raster.LineTo(5, 5);
    raster.LineTo(1, 5);
    raster.LineTo(1, 1);
    // The closed square has no gap: each end point is the start of the next line.
    EXPECT_EQ(ToText(raster), "........\n"
                              ".#####..\n"
                              ".#...#..\n"
                              ".#...#..\n"
                              ".#...#..\n"
                              ".#####..\n"
                              "........\n"
                              "........\n");
}

TEST(Lines, MoveToStartsAnotherLineWithoutDrawing)
{
    Raster raster(6, 4);
    raster.MoveTo(0, 0);
    raster.LineTo(3, 0);
    raster.MoveTo(5, 3);
    raster.LineTo(5, 1);
    // ###...
    // ......
    // .....#
    // .....#
    EXPECT_EQ(ToText(raster), "###...\n......\n.....#\n.....#\n");
}

TEST(Lines, RainStreakIsElevenPixelsLeaningRightAtTheTop)
{
    // The streak runs from (x, y) to (x + 3, y - 11): x = 2 + 3i/11 rounded for
    // i = 0..10, i.e. offsets 0 0 1 1 1 1 2 2 2 2 3 from the bottom row up.
    Raster raster(8, 14);
    raster.MoveTo(2, 12);
    raster.LineTo(5, 1);
    const std::string expected = "........\n"
                                 "........\n"   // row 1: the end point, not drawn
                                 ".....#..\n"   // row 2: x + 3
                                 "....#...\n"
                                 "....#...\n"
                                 "....#...\n"
                                 "....#...\n"   // rows 3-6: x + 2
                                 "...#....\n"
                                 "...#....\n"
                                 "...#....\n"
                                 "...#....\n"   // rows 7-10: x + 1
                                 "..#.....\n"
                                 "..#.....\n"   // rows 11-12: x
                                 "........\n";
    const std::string drawn = ToText(raster);
    EXPECT_EQ(drawn, expected);
    EXPECT_EQ(std::count(drawn.begin(), drawn.end(), '#'), 11);
}

TEST(Lines, FullWidthLineFillsTheRow)
{
    Raster raster(16, 16);
    raster.MoveTo(0, 7);
    raster.LineTo(16, 7);
    const std::string drawn = ToText(raster);
    for (int y = 0; y < 16; ++y) {
        EXPECT_EQ(drawn.substr(static_cast<std::size_t>(y) * 17, 16), std::string(16, y == 7 ? '#' : '.')) << y;
    }
}

TEST(Lines, ClearLoopBlackensEveryPixelAndIgnoresTheRowBelow)
{
    Raster raster(13, 9);
    // One line per row from (0, y) to (W, y), y = 0..H: the last one lies below.
    for (int y = 0; y <= raster.Height(); ++y) {
        raster.MoveTo(0, y);
        raster.LineTo(raster.Width(), y);
    }
    std::string expected;
    for (int y = 0; y < 9; ++y) {
        expected += std::string(13, '#') + "\n";
    }
    EXPECT_EQ(ToText(raster), expected);
}
