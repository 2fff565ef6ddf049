// render-frames' command line and clock.
#include "RenderOptions.h"

#include <gtest/gtest.h>

namespace {

bool Parse(std::vector<std::string> args, RenderOptions& options, std::string& problem)
{
    return ParseRenderOptions(args, options, problem);
}

TEST(RenderOptions, ReadsAFullCommandLine)
{
    RenderOptions o;
    std::string problem;
    ASSERT_TRUE(Parse({"--size", "1920x1080", "--start", "12:34:56.789", "--ticks", "301", "--step-ms", "50",
                       "--save", "1,301,7", "--out", "/tmp/x"},
                      o, problem))
        << problem;
    EXPECT_EQ(o.width, 1920);
    EXPECT_EQ(o.height, 1080);
    EXPECT_EQ(o.startMs, 45296789u);
    EXPECT_EQ(o.ticks, 301u);
    EXPECT_EQ(o.stepMs, 50u);
    EXPECT_EQ(o.saveList, (std::set<std::uint32_t>{1, 7, 301}));
    EXPECT_TRUE(IsSavedTick(o, 7));
    EXPECT_FALSE(IsSavedTick(o, 8));
}

TEST(RenderOptions, RejectsBadValuesWithOneLine)
{
    const std::vector<std::vector<std::string>> bad = {
        {"--size", "1920", "--start", "12:00:00.000", "--ticks", "1", "--out", "d"},
        {"--size", "-5x3", "--start", "12:00:00.000", "--ticks", "1", "--out", "d"},
        {"--size", "99999x3", "--start", "12:00:00.000", "--ticks", "1", "--out", "d"},
        {"--size", "10x10", "--start", "24:00:00.000", "--ticks", "1", "--out", "d"},
        {"--size", "10x10", "--start", "12:60:00.000", "--ticks", "1", "--out", "d"},
        {"--size", "10x10", "--start", "12:00:00", "--ticks", "1", "--out", "d"},
        {"--size", "10x10", "--start", "12:00:00.000", "--ticks", "0", "--out", "d"},
        {"--size", "10x10", "--start", "12:00:00.000", "--ticks", "3", "--save", "1,,2", "--out", "d"},
        {"--size", "10x10", "--start", "12:00:00.000", "--ticks", "3", "--save", "0", "--out", "d"},
        {"--size", "10x10", "--start", "12:00:00.000", "--ticks", "3", "--save", "4", "--out", "d"},
        {"--size", "10x10", "--start", "12:00:00.000", "--ticks", "3", "--save", "1", "--save-every", "2",
         "--out", "d"},
        {"--size", "10x10", "--start", "12:00:00.000", "--ticks", "3"},
        {"--size", "10x10", "--start", "12:00:00.000", "--ticks", "3", "--out"},
        {"--bogus", "1"},
    };
    for (const auto& args : bad) {
        RenderOptions o;
        std::string problem;
        EXPECT_FALSE(Parse(args, o, problem)) << args[1];
        EXPECT_FALSE(problem.empty());
        EXPECT_EQ(problem.find('\n'), std::string::npos);
    }
}

TEST(RenderOptions, ClockStepsFromTheStartAndWrapsAtMidnight)
{
    RenderOptions o;
    o.startMs = 86'399'900;   // 23:59:59.900
    o.stepMs = 100;
    EXPECT_EQ(ClockReading(o, 1), 86'399'900u);
    EXPECT_EQ(ClockReading(o, 2), 0u);
    EXPECT_EQ(ClockReading(o, 3), 100u);
    o.saveEvery = 3;
    EXPECT_TRUE(IsSavedTick(o, 3));
    EXPECT_TRUE(IsSavedTick(o, 6));
    EXPECT_FALSE(IsSavedTick(o, 4));
}

} // namespace
