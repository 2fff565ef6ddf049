// The periodic timer over QObject's own timers: at most one tick is ever pending, so
// a slow handler delays the next tick and missed ones are not made up.
#include "platform/window/qt/QtImpl.h"

#include "platform/Exception.h"

#include <QTimerEvent>

TTimer::TTimer() : m_impl(std::make_unique<Impl>(*this)) {}

TTimer::~TTimer()
{
    if (m_impl->id != 0)
        m_impl->killTimer(m_impl->id);
}

bool TTimer::Running() const
{
    return m_impl->id != 0;
}

void TTimer::UpdateTimer()
{
    if (m_impl->id != 0) {
        m_impl->killTimer(m_impl->id);
        m_impl->id = 0;
    }
    if (m_interval != 0 && m_enabled && m_onTimer) {
        // Precise: a coarse timer may fire up to 5 % late, and the first tick of a
        // show is its first frame.
        m_impl->id = m_impl->startTimer(m_interval, Qt::PreciseTimer);
        if (m_impl->id == 0)
            throw EOutOfResources("Not enough timers available");
    }
}

void TTimer::Impl::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != id) {
        QObject::timerEvent(event);
        return;
    }
    WindowPlatform::TimerFired(timer);
}

QObject* QtObject(const TTimer& timer)
{
    return &ImplOf(timer);
}
