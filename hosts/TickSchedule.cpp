// The tick grid of talvex.
#include "hosts/TickSchedule.h"

TickSchedule::Clock::time_point TickSchedule::NextAfter(Clock::time_point now) const
{
    if (now < m_first)
        return m_first;
    const auto slots = (now - m_first) / m_interval + 1;
    return m_first + slots * m_interval;
}
