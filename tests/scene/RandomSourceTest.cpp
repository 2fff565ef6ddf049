// The random source: its sequence, its seed from the clock, and RandomBelow(0).
#include "scene/RandomSource.h"

#include <gtest/gtest.h>

#include <ctime>

namespace {

class RandomSourceTest : public ::testing::Test {
protected:
    void TearDown() override { SetClockFunction({}); }
    RandomSource m_random;
};

TEST_F(RandomSourceTest, FromStateZeroGivesTheKnownSequence)
{
    const int expected[] = {0, 3, 86, 20, 27, 67};
    for (int value : expected)
        EXPECT_EQ(m_random.RandomBelow(100), value);
}

TEST_F(RandomSourceTest, ReseedTakesMillisecondsSinceMidnight)
{
    SetClockFunction([] { return std::uint32_t{((12u * 60 + 34) * 60 + 56) * 1000 + 789}; });
    m_random.ReseedFromClock();
    EXPECT_EQ(m_random.State, 45296789u);
    EXPECT_EQ(m_random.RandomBelow(5), 2);
    EXPECT_EQ(m_random.RandomBelow(6), 1);
    EXPECT_EQ(m_random.RandomBelow(6), 2);
}

TEST_F(RandomSourceTest, BelowZeroIsZeroAndStillSteps)
{
    EXPECT_EQ(m_random.RandomBelow(0), 0);
    EXPECT_EQ(m_random.State, 1u);
    EXPECT_EQ(m_random.RandomBelow(0), 0);
    EXPECT_EQ(m_random.State, 134775814u);
}

TEST_F(RandomSourceTest, StateWrapsModulo32Bits)
{
    m_random.State = 0xFFFFFFFFu;
    m_random.RandomBelow(1);
    // 0xFFFFFFFF * 134775813 + 1 = -134775813 + 1 modulo 2^32.
    EXPECT_EQ(m_random.State, 0u - 134775812u);
}

TEST_F(RandomSourceTest, LargestStateGivesTheLargestValue)
{
    // 0x4D60AE66 * 134775813 + 1 = 0xFFFFFFFF modulo 2^32, the largest state, and
    // 0xFFFFFFFF * (2^31 - 1) / 2^32 rounds down to 2^31 - 2: the count less one.
    m_random.State = 0x4D60AE66u;
    EXPECT_EQ(m_random.RandomBelow(0x7FFFFFFF), 0x7FFFFFFE);
    EXPECT_EQ(m_random.State, 0xFFFFFFFFu);
}

TEST_F(RandomSourceTest, SystemClockReadsTheUtcTimeOfDayInMilliseconds)
{
    // Read between two readings of the UTC seconds; tried again should the readings
    // straddle midnight.
    for (;;) {
        const std::time_t before = std::time(nullptr);
        const std::uint32_t ms = SystemClockMillisecondsOfDay();
        m_random.ReseedFromClock();
        const std::time_t after = std::time(nullptr);
        const auto low = static_cast<std::uint32_t>(before % 86400) * 1000u;
        const auto high = static_cast<std::uint32_t>(after % 86400) * 1000u + 999u;
        if (high < low)
            continue;
        EXPECT_GE(ms, low);
        EXPECT_LE(ms, high);
        EXPECT_GE(m_random.State, low);
        EXPECT_LE(m_random.State, high);
        return;
    }
}

} // namespace
