// The polling wait of the tests.
#include "support/WaitUntil.h"

#include <thread>

void SleepFor(std::chrono::milliseconds interval)
{
    std::this_thread::sleep_for(interval);
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds deadline,
               std::chrono::milliseconds interval, const Pause& pause)
{
    const auto end = std::chrono::steady_clock::now() + deadline;
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= end)
            return false;
        pause(interval);
    }
    return true;
}
