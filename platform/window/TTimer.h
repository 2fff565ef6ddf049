// The periodic timer: interval, enabled state and handler. Ticks never pile up.
#pragma once

#include <functional>
#include <memory>

class TTimer {
public:
    TTimer();
    ~TTimer();
    TTimer(const TTimer&) = delete;
    TTimer& operator=(const TTimer&) = delete;

    // Each change stops the timer, then starts it again if the interval is non-zero,
    // it is enabled and a handler is set. A failure to start raises EOutOfResources
    // "Not enough timers available".
    void SetInterval(int milliseconds);
    void SetEnabled(bool enabled);
    void SetOnTimer(std::function<void()> handler);
    int Interval() const { return m_interval; }
    bool Enabled() const { return m_enabled; }
    // Whether the window system's timer runs.
    bool Running() const;

    // The window layer's own part, behind the interface (WindowPlatform.h).
    struct Impl;

private:
    friend class WindowPlatform;
    void UpdateTimer();
    // Runs the handler for one tick; a tick that falls due while the handler, or the
    // error report of its failure, still runs is dropped rather than nested.
    friend struct Impl;
    void Tick();

    int m_interval = 1000;
    bool m_enabled = true;
    std::function<void()> m_onTimer;
    bool m_inHandler = false;
    std::unique_ptr<Impl> m_impl;
};
