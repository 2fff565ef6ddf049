// talvex's ticks on a fixed grid: a slow tick does not shift the grid, and missed
// slots are skipped, not caught up.
#include "hosts/TickSchedule.h"

#include <gtest/gtest.h>

namespace {

TEST(TickSchedule, KeepsTheGridAndSkipsMissedSlots)
{
    using namespace std::chrono_literals;
    const TickSchedule::Clock::time_point t0{5s};
    TickSchedule schedule(100ms);
    schedule.Start(t0);
    struct Step {
        std::chrono::milliseconds now;
        std::chrono::milliseconds next;
    };
    // Times after the first tick, and the slot that follows each.
    constexpr Step Steps[] = {
        {0ms, 100ms},      // the first tick has just run
        {3ms, 100ms},      // a quick tick: the next keeps its slot
        {100ms, 200ms},    // exactly on a slot: the one after it
        {199ms, 200ms},
        {250ms, 300ms},    // late by half a tick: the grid holds
        {1234ms, 1300ms},  // ten slots missed: not run to catch up
    };
    for (const Step& step : Steps)
        EXPECT_EQ(schedule.NextAfter(t0 + step.now), t0 + step.next) << step.now.count();
}

} // namespace
