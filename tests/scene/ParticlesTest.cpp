// The star and rain layers: the greys, the twinkle, the streaks and their wraps.
#include "ReferenceRandom.h"
#include "scene/Particles.h"
#include "scene/Scene.h"

#include <gtest/gtest.h>

namespace {

class ParticlesTest : public ::testing::Test {
protected:
    Scene m_scene;
};

int CountPixels(const Raster& raster, Pixel colour)
{
    int count = 0;
    for (int y = 0; y < raster.Height(); ++y)
        for (int x = 0; x < raster.Width(); ++x)
            count += raster.PixelAt(x, y) == colour ? 1 : 0;
    return count;
}

TEST_F(ParticlesTest, StarLevelsAreSevenGreysSeventeenApart)
{
    const int grey[] = {255, 238, 221, 204, 187, 170, 153};
    for (int level = 1; level <= 7; ++level)
        EXPECT_EQ(StarGrey(level), Rgb(grey[level - 1], grey[level - 1], grey[level - 1])) << "level " << level;
}

TEST_F(ParticlesTest, StarsShowLastTicksLevelThenDrawANewOne)
{
    Raster sky(16, 16);
    for (int y = 0; y < 16; ++y) {
        sky.MoveTo(0, y);
        sky.SetPenColour(Rgb(0, 0, 90));
        sky.LineTo(16, y);
    }
    for (int i = 0; i < StarCount; ++i) {
        m_scene.StarX[i] = i % 16;
        m_scene.StarY[i] = i / 16 + 8;   // rows 8 to 14; stars 96 to 99 on row 14
        m_scene.StarLevel[i] = i % 7 + 1;
    }
    m_scene.StarX[0] = 0;
    m_scene.StarY[0] = 0;
    m_scene.StarLevel[0] = 1;   // white at the top-left corner
    m_scene.StarX[1] = 15;
    m_scene.StarY[1] = 0;
    m_scene.StarLevel[1] = 7;   // 153 at the top-right corner
    m_scene.StarX[2] = 40;      // outside: clipped, but still re-drawn
    m_scene.StarY[2] = 3;
    m_scene.Random.State = 99u;
    DrawStars(m_scene, sky);

    EXPECT_EQ(sky.PixelAt(0, 0), Rgb(255, 255, 255));
    EXPECT_EQ(sky.PixelAt(15, 0), Rgb(153, 153, 153));
    EXPECT_EQ(sky.PixelAt(3, 8), StarGrey(3 % 7 + 1));
    // Rows 1 to 7 hold no star.
    for (int y = 1; y < 8; ++y)
        for (int x = 0; x < 16; ++x)
            EXPECT_EQ(sky.PixelAt(x, y), Rgb(0, 0, 90)) << x << "," << y;

    ReferenceRandom r{99u};
    for (int i = 0; i < StarCount; ++i)
        EXPECT_EQ(m_scene.StarLevel[i], r.Below(7) + 1) << "star " << i;
    EXPECT_EQ(m_scene.Random.State, r.state);
}

TEST_F(ParticlesTest, StreakIsElevenPixelsLeaningRightWithoutItsEndPoint)
{
    Raster raster(16, 16);
    raster.SetPenColour(Black);
    m_scene.RainX[0] = 4;
    m_scene.RainY[0] = 13;
    m_scene.RainSpeed[0] = 5;
    for (int i = 1; i < RainCount; ++i) {
        m_scene.RainX[i] = 200;   // all others far outside
        m_scene.RainY[i] = 200;
        m_scene.RainSpeed[i] = 5;
    }
    DrawRain(m_scene, raster, 16);
    EXPECT_EQ(CountPixels(raster, Black), 11);
    EXPECT_EQ(raster.PixelAt(4, 13), Black);   // the lower end is drawn
    EXPECT_EQ(raster.PixelAt(7, 2), White);    // the upper end is not
    for (int y = 3; y <= 13; ++y) {
        int inRow = 0;
        int column = -1;
        for (int x = 0; x < 16; ++x)
            if (raster.PixelAt(x, y) == Black) {
                ++inRow;
                column = x;
            }
        EXPECT_EQ(inRow, 1) << "row " << y;
        EXPECT_GE(column, 4) << "row " << y;
        EXPECT_LE(column, 7) << "row " << y;
    }
    // Leaning right at the top.
    EXPECT_EQ(raster.PixelAt(4, 13), Black);
    bool rightAtTop = false;
    for (int x = 6; x <= 7; ++x)
        rightAtTop = rightAtTop || raster.PixelAt(x, 3) == Black;
    EXPECT_TRUE(rightAtTop);
    // Moved 4 left and 2 x 5 down.
    EXPECT_EQ(m_scene.RainX[0], 0 + 16);   // 4 - 4 = 0 wraps to W
    EXPECT_EQ(m_scene.RainY[0], 23);
}

struct RainStep {
    int x, y, speed;      // before the tick
    int nextX, nextY;     // after it, on a window 640 wide
};

void PrintTo(const RainStep& s, std::ostream* os)
{
    *os << "(" << s.x << "," << s.y << ") speed " << s.speed << " -> (" << s.nextX << "," << s.nextY << ")";
}

class RainWrapTest : public ParticlesTest, public ::testing::WithParamInterface<RainStep> {};

TEST_P(RainWrapTest, MovesAndWrapsIndependently)
{
    const RainStep step = GetParam();
    Raster raster(0, 0);
    m_scene.RainX.fill(300);
    m_scene.RainY.fill(100);
    m_scene.RainSpeed.fill(5);
    m_scene.RainX[7] = step.x;
    m_scene.RainY[7] = step.y;
    m_scene.RainSpeed[7] = step.speed;
    DrawRain(m_scene, raster, 640);
    EXPECT_EQ(m_scene.RainX[7], step.nextX);
    EXPECT_EQ(m_scene.RainY[7], step.nextY);
}

INSTANTIATE_TEST_SUITE_P(Streaks, RainWrapTest,
                         ::testing::Values(RainStep{100, 50, 5, 96, 60},      // plain move
                                           RainStep{5, 50, 6, 1, 62},         // still inside
                                           RainStep{4, 50, 6, 640, 62},       // reaches 0: wraps
                                           RainStep{2, 50, 7, 640, 64},       // below 0: wraps
                                           RainStep{640, 488, 6, 636, 500},   // exactly 500 stays
                                           RainStep{300, 489, 6, 296, -3},    // 501 wraps
                                           RainStep{300, 500, 7, 296, -3},
                                           RainStep{3, 495, 7, 640, -3},      // both at once
                                           RainStep{300, -3, 5, 296, 7},
                                           RainStep{300, -3, 6, 296, 9},
                                           RainStep{300, -3, 7, 296, 11}));

TEST_F(ParticlesTest, WrappedStreakReappearsFromTheRightEdgeAfterOneTick)
{
    Raster first(32, 32);
    first.SetPenColour(Black);
    m_scene.RainX.fill(1000);
    m_scene.RainY.fill(1000);
    m_scene.RainSpeed.fill(5);
    m_scene.RainX[0] = 2;
    m_scene.RainY[0] = 20;
    DrawRain(m_scene, first, 32);                       // drawn at column 2, moves to -2, set to 32
    EXPECT_EQ(first.PixelAt(2, 20), Black);
    EXPECT_EQ(m_scene.RainX[0], 32);

    Raster second(32, 32);
    second.SetPenColour(Black);
    m_scene.RainY.fill(1000);
    m_scene.RainY[0] = 5;
    DrawRain(m_scene, second, 32);                      // drawn from (32, 5): wholly outside
    EXPECT_EQ(CountPixels(second, Black), 0);
    EXPECT_EQ(m_scene.RainX[0], 28);

    Raster third(32, 32);
    third.SetPenColour(Black);
    m_scene.RainY.fill(1000);
    m_scene.RainY[0] = 20;
    DrawRain(m_scene, third, 32);                       // now at W - 4
    EXPECT_EQ(third.PixelAt(28, 20), Black);
}

TEST_F(ParticlesTest, StreakAtColumnZeroIsDrawnThereThenWraps)
{
    Raster raster(8, 16);
    raster.SetPenColour(Black);
    m_scene.RainX.fill(1000);
    m_scene.RainY.fill(1000);
    m_scene.RainX[0] = 0;
    m_scene.RainY[0] = 12;
    m_scene.RainSpeed[0] = 5;
    DrawRain(m_scene, raster, 8);
    EXPECT_EQ(raster.PixelAt(0, 12), Black);
    EXPECT_EQ(m_scene.RainX[0], 8);
}

} // namespace
