// A timer on the monotonic clock that fires on a grid: at an absolute time, then every
// interval after it, read through a file descriptor that the event loop polls. Kept
// armed between ticks, it costs the loop no call to set it again.
#pragma once

#include <chrono>

class TickTimer {
public:
    // Raises ETalvexError when the timerfd cannot be made.
    TickTimer();
    ~TickTimer();
    TickTimer(const TickTimer&) = delete;
    TickTimer& operator=(const TickTimer&) = delete;

    int Fd() const { return m_fd; }
    // Fires at first (steady_clock, which is CLOCK_MONOTONIC; a time already past fires
    // at once), then every interval after first.
    void Start(std::chrono::steady_clock::time_point first, std::chrono::steady_clock::duration interval);
    // True when it has fired since the last call; clears it.
    bool Fired();

private:
    int m_fd = -1;
};
