// The tick timer: a periodic timerfd on CLOCK_MONOTONIC from an absolute time.
#include "hosts/TickTimer.h"

#include "hosts/TalvexError.h"

#include <cstdint>
#include <ctime>
#include <sys/timerfd.h>
#include <unistd.h>

TickTimer::TickTimer()
{
    m_fd = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    if (m_fd < 0)
        throw ETalvexError(FailureStatus, "cannot make the tick timer (timerfd_create failed)");
}

TickTimer::~TickTimer()
{
    close(m_fd);
}

namespace {

timespec TimeSpec(std::chrono::nanoseconds since)
{
    timespec at{};
    at.tv_sec = static_cast<time_t>(since.count() / 1'000'000'000);
    at.tv_nsec = static_cast<long>(since.count() % 1'000'000'000);
    return at;
}

} // namespace

void TickTimer::Start(std::chrono::steady_clock::time_point first, std::chrono::steady_clock::duration interval)
{
    itimerspec due{};
    due.it_value = TimeSpec(first.time_since_epoch());
    due.it_interval = TimeSpec(interval);
    // An all-zero time would disarm the timer instead of firing.
    if (due.it_value.tv_sec == 0 && due.it_value.tv_nsec == 0)
        due.it_value.tv_nsec = 1;
    timerfd_settime(m_fd, TFD_TIMER_ABSTIME, &due, nullptr);
}

bool TickTimer::Fired()
{
    std::uint64_t expirations = 0;
    return read(m_fd, &expirations, sizeof expirations) == static_cast<ssize_t>(sizeof expirations);
}
