// Tests of raster creation, release and reuse, pixel writes and the pen.
#include "platform/Exception.h"
#include "platform/raster/Picture.h"
#include "platform/raster/Raster.h"
#include "RasterText.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>

using rastertest::ToText;

TEST(Raster, IsWhiteEverywhereAtCreation)
{
    Raster raster(7, 5);
    EXPECT_EQ(raster.Width(), 7);
    EXPECT_EQ(raster.Height(), 5);
    EXPECT_FALSE(raster.IsEmpty());
    EXPECT_GE(raster.Pitch(), 7);
    EXPECT_EQ(ToText(raster), ".......\n"
                              ".......\n"
                              ".......\n"
                              ".......\n"
                              ".......\n");
    // The stored pixels really are 0xFFFFFFFF, the top byte included.
    EXPECT_EQ(raster.PixelAt(6, 4), 0xFFFFFFFFu);
}

TEST(Raster, RowsAreContiguousTopDown)
{
    Raster raster(6, 4);
    for (int y = 1; y < raster.Height(); ++y) {
        EXPECT_EQ(raster.Scanline(y) - raster.Scanline(y - 1), raster.Pitch());
    }
}

TEST(Raster, PenIsBlackUntilSet)
{
    Raster raster(4, 4);
    EXPECT_EQ(raster.PenColour(), Black);
    raster.MoveTo(0, 1);
    raster.LineTo(4, 1);
    // ....
    // ####
    // ....
    // ....
    EXPECT_EQ(ToText(raster), "....\n####\n....\n....\n");
    raster.SetPenColour(Rgb(255, 0, 0));
    EXPECT_EQ(raster.PenColour(), Rgb(255, 0, 0));
    raster.MoveTo(0, 2);
    raster.LineTo(4, 2);
    EXPECT_EQ(ToText(raster, {{'R', Rgb(255, 0, 0)}}), "....\n####\nRRRR\n....\n");
}

TEST(Raster, SetPixelInsideSetsExactlyThatPixel)
{
    Raster raster(4, 4);
    raster.SetPixel(0, 0, Black);
    raster.SetPixel(3, 0, Rgb(0, 255, 0));
    raster.SetPixel(2, 1, Black);
    raster.SetPixel(3, 3, Black);
    // #..G
    // ..#.
    // ....
    // ...#
    EXPECT_EQ(ToText(raster, {{'G', Rgb(0, 255, 0)}}), "#..G\n..#.\n....\n...#\n");
}

TEST(Raster, SetPixelOutsideDoesNothing)
{
    constexpr int Outside[][2] = {{-1, 0}, {0, -1}, {4, 0}, {0, 4}, {4, 4}, {-1, -1}, {INT_MIN, 0},
                                  {0, INT_MIN}, {INT_MAX, 0}, {0, INT_MAX}, {INT_MIN, INT_MAX}, {INT_MAX, INT_MIN}};
    Raster raster(4, 4);
    for (const auto& p : Outside) {
        raster.SetPixel(p[0], p[1], Black);
    }
    EXPECT_EQ(ToText(raster), "....\n....\n....\n....\n");
}

class EmptyRaster : public ::testing::TestWithParam<std::pair<int, int>> {};

TEST_P(EmptyRaster, HasNoPixelsAndDrawsNothing)
{
    const auto [width, height] = GetParam();
    Raster raster(width, height);
    EXPECT_TRUE(raster.IsEmpty());
    raster.SetPixel(0, 0, Black);
    raster.MoveTo(-5, -5);
    raster.LineTo(5, 5);
    raster.MoveTo(0, 0);
    raster.LineTo(100, 0);
    raster.LineTo(100, 100);
    EXPECT_TRUE(raster.IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(Sizes, EmptyRaster,
                         ::testing::Values(std::pair{0, 0}, std::pair{0, 5}, std::pair{5, 0}, std::pair{-3, 4},
                                           std::pair{4, -1}, std::pair{INT_MIN, INT_MIN}));

TEST(Raster, OversizeRequestRaisesOutOfResources)
{
    constexpr int Sizes[][2] = {{INT_MAX, INT_MAX}, {1 << 17, 1 << 17}, {INT_MAX, 3}};
    for (const auto& size : Sizes) {
        try {
            Raster raster(size[0], size[1]);
            FAIL() << size[0] << "x" << size[1] << " was created";
        } catch (const EOutOfResources& e) {
            EXPECT_STREQ(e.what(), "Out of system resources");
            EXPECT_STREQ(e.ClassName(), "EOutOfResources");
        }
    }
}

TEST(Raster, MoveLeavesTheSourceEmpty)
{
    Raster a(3, 2);
    a.SetPixel(1, 1, Black);
    a.SetPenColour(Rgb(1, 2, 3));
    Raster b(std::move(a));
    EXPECT_TRUE(a.IsEmpty());
    EXPECT_EQ(b.Width(), 3);
    EXPECT_EQ(b.PenColour(), Rgb(1, 2, 3));
    EXPECT_EQ(ToText(b), "...\n.#.\n");
    Raster c(5, 5);
    c = std::move(b);
    EXPECT_TRUE(b.IsEmpty());
    EXPECT_EQ(ToText(c), "...\n.#.\n");
    // Drawing into a moved-from raster does nothing.
    a.SetPixel(0, 0, Black);
    a.MoveTo(0, 0);
    a.LineTo(3, 0);
}
