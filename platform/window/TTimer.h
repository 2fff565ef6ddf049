// The periodic timer: interval, enabled state and handler. Ticks never pile up.
#pragma once

#include <QObject>
#include <functional>

class TTimer : public QObject {
    Q_OBJECT
public:
    explicit TTimer(QObject* parent = nullptr);
    ~TTimer() override;

    // Each change stops the timer, then starts it again if the interval is non-zero,
    // it is enabled and a handler is set. A failure to start raises EOutOfResources
    // "Not enough timers available".
    void SetInterval(int milliseconds);
    void SetEnabled(bool enabled);
    void SetOnTimer(std::function<void()> handler);
    int Interval() const { return m_interval; }
    bool Enabled() const { return m_enabled; }
    bool Running() const { return m_timerId != 0; }

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    void UpdateTimer();

    int m_interval = 1000;
    bool m_enabled = true;
    std::function<void()> m_onTimer;
    int m_timerId = 0;
    // Set while the handler (and the error report of its failure) runs: a tick that
    // falls due meanwhile, in a message box's loop, is dropped rather than nested.
    bool m_inHandler = false;
};
