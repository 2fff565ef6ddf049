// A one-shot timer on the monotonic clock, armed for an absolute time and read
// through a file descriptor that the event loop polls.
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
    // Fires at when (steady_clock, which is CLOCK_MONOTONIC); a time already past
    // fires at once.
    void ArmAt(std::chrono::steady_clock::time_point when);
    // True when it has fired since the last call; clears it.
    bool Fired();

private:
    int m_fd = -1;
};
