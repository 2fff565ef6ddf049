// The scene's random source: one 32-bit linear congruential state, re-seeded from the
// UTC time of day at the start of every tick. The clock is the process's; the state is
// each scene's own.
#pragma once

#include <cstdint>
#include <functional>

// Milliseconds since midnight UTC, 0 to 86,399,999.
using ClockFunction = std::function<std::uint32_t()>;

// The one place the scene reads a clock. Replaces the clock and returns the old one;
// an empty function restores the system clock.
ClockFunction SetClockFunction(ClockFunction clock);
std::uint32_t SystemClockMillisecondsOfDay();

struct RandomSource {
    // 0 in a scene made fresh.
    std::uint32_t State = 0;

    // State <- the clock's milliseconds since midnight UTC.
    void ReseedFromClock();
    // Steps the state once and returns 0 to n - 1 (0 for n = 0).
    std::int32_t RandomBelow(std::int32_t n);
};
