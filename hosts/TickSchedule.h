// When the ticks run: the first at once, then on a fixed grid of the monotonic clock,
// every interval after the first. A tick that comes late does not make the next ones
// come sooner: missed slots are skipped, never caught up.
#pragma once

#include <chrono>

class TickSchedule {
public:
    using Clock = std::chrono::steady_clock;

    explicit TickSchedule(Clock::duration interval) : m_interval(interval) {}

    // The first tick runs at first; the grid counts from there.
    void Start(Clock::time_point first) { m_first = first; }
    // The slot of the grid that comes strictly after now.
    Clock::time_point NextAfter(Clock::time_point now) const;

private:
    Clock::duration m_interval;
    Clock::time_point m_first{};
};
