// The random source and the clock it is seeded from.
#include "scene/RandomSource.h"

#include <ctime>
#include <utility>

namespace {

ClockFunction& CurrentClock()
{
    static ClockFunction clock;
    return clock;
}

} // namespace

ClockFunction SetClockFunction(ClockFunction clock)
{
    return std::exchange(CurrentClock(), std::move(clock));
}

std::uint32_t SystemClockMillisecondsOfDay()
{
    timespec now{};
    clock_gettime(CLOCK_REALTIME, &now);
    constexpr std::int64_t MillisecondsPerDay = 24LL * 60 * 60 * 1000;
    const std::int64_t milliseconds = static_cast<std::int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1'000'000;
    return static_cast<std::uint32_t>(((milliseconds % MillisecondsPerDay) + MillisecondsPerDay) % MillisecondsPerDay);
}

void RandomSource::ReseedFromClock()
{
    const ClockFunction& clock = CurrentClock();
    State = clock ? clock() : SystemClockMillisecondsOfDay();
}

std::int32_t RandomSource::RandomBelow(std::int32_t n)
{
    State = State * 134775813u + 1u;
    // The upper half of the 64-bit product lies in 0 to n - 1.
    const std::uint64_t product = static_cast<std::uint64_t>(State) * static_cast<std::uint32_t>(n);
    return static_cast<std::int32_t>(product >> 32);
}
