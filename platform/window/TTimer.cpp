// The periodic timer over QObject's own timers: at most one tick is ever pending, so
// a slow handler delays the next tick and missed ones are not made up.
#include "platform/window/TTimer.h"

#include "platform/Exception.h"
#include "platform/window/TApplication.h"

#include <QTimerEvent>

TTimer::TTimer(QObject* parent)
    : QObject(parent)
{
}

TTimer::~TTimer()
{
    if (m_timerId != 0)
        killTimer(m_timerId);
}

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

void TTimer::UpdateTimer()
{
    if (m_timerId != 0) {
        killTimer(m_timerId);
        m_timerId = 0;
    }
    if (m_interval != 0 && m_enabled && m_onTimer) {
        // Precise: a coarse timer may fire up to 5 % late, and the first tick of a
        // show is its first frame.
        m_timerId = startTimer(m_interval, Qt::PreciseTimer);
        if (m_timerId == 0)
            throw EOutOfResources("Not enough timers available");
    }
}

void TTimer::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_timerId) {
        QObject::timerEvent(event);
        return;
    }
    if (m_inHandler || !m_onTimer)
        return;
    m_inHandler = true;
    // A copy: the handler may replace itself or stop the timer.
    const std::function<void()> handler = m_onTimer;
    RunHandler(handler);
    m_inHandler = false;
}
