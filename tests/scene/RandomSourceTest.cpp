// The random source: its sequence, its seed from the clock, and RandomBelow(0).
#include "scene/RandomSource.h"

#include <gtest/gtest.h>

namespace {

class RandomSourceTest : public ::testing::Test {
protected:
    void SetUp() override { RandomState = 0; }
    void TearDown() override { SetClockFunction({}); }
};

TEST_F(RandomSourceTest, FromStateZeroGivesTheKnownSequence)
{
    const int expected[] = {0, 3, 86, 20, 27, 67};
    for (int value : expected)
        EXPECT_EQ(RandomBelow(100), value);
}

TEST_F(RandomSourceTest, ReseedTakesMillisecondsSinceMidnight)
{
    SetClockFunction([] { return std::uint32_t{((12u * 60 + 34) * 60 + 56) * 1000 + 789}; });
    ReseedFromClock();
    EXPECT_EQ(RandomState, 45296789u);
    EXPECT_EQ(RandomBelow(5), 2);
    EXPECT_EQ(RandomBelow(6), 1);
    EXPECT_EQ(RandomBelow(6), 2);
}

TEST_F(RandomSourceTest, BelowZeroIsZeroAndStillSteps)
{
    EXPECT_EQ(RandomBelow(0), 0);
    EXPECT_EQ(RandomState, 1u);
    EXPECT_EQ(RandomBelow(0), 0);
    EXPECT_EQ(RandomState, 134775814u);
}

TEST_F(RandomSourceTest, StateWrapsModulo32Bits)
{
    RandomState = 0xFFFFFFFFu;
    RandomBelow(1);
    // 0xFFFFFFFF * 134775813 + 1 = -134775813 + 1 modulo 2^32.
    EXPECT_EQ(RandomState, 0u - 134775812u);
}

TEST_F(RandomSourceTest, LargestCountStaysBelowIt)
{
    RandomState = 0xFFFFFFFFu - 1;   // steps to the largest state the formula can reach here
    const std::int32_t value = RandomBelow(0x7FFFFFFF);
    EXPECT_GE(value, 0);
    EXPECT_LT(value, 0x7FFFFFFF);
}

TEST_F(RandomSourceTest, SystemClockIsWithinOneDay)
{
    const std::uint32_t ms = SystemClockMillisecondsOfDay();
    EXPECT_LT(ms, 24u * 60 * 60 * 1000);
    SetClockFunction({});
    ReseedFromClock();
    EXPECT_LT(RandomState, 24u * 60 * 60 * 1000);
}

} // namespace
