// Waiting for a condition with a deadline, polling it, never a sleep that hopes.
#pragma once

#include <chrono>
#include <functional>

using Pause = std::function<void(std::chrono::milliseconds)>;

// Sleeps for the interval; the gui tests pass one that processes Qt's events instead.
void SleepFor(std::chrono::milliseconds interval);

// Checks condition, then again every interval until it holds: true then. False when it
// still does not hold at a check after the deadline (a deadline of 0 checks once).
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds deadline,
               std::chrono::milliseconds interval = std::chrono::milliseconds(20), const Pause& pause = SleepFor);
