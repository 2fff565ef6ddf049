// The timer's part that every window system shares: its properties and the guard
// against nested ticks.
#include "platform/window/TTimer.h"

#include "platform/window/TApplication.h"

void TTimer::SetInterval(int milliseconds)
{
    if (milliseconds == m_interval)
        return;
    m_interval = milliseconds;
    UpdateTimer();
}

void TTimer::SetEnabled(bool enabled)
{
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    UpdateTimer();
}

void TTimer::SetOnTimer(std::function<void()> handler)
{
    m_onTimer = std::move(handler);
    UpdateTimer();
}

void TTimer::Tick()
{
    if (m_inHandler || !m_onTimer)
        return;
    m_inHandler = true;
    // A copy: the handler may replace itself or stop the timer.
    const std::function<void()> handler = m_onTimer;
    RunHandler(handler);
    m_inHandler = false;
}
