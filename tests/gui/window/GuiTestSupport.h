// Helpers of the gui tests: waiting for a condition with a deadline, and recorders
// for message boxes and hook messages.
#pragma once

#include "platform/window/MessageBox.h"
#include "platform/window/Messages.h"
#include "platform/window/qt/QtImpl.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <functional>
#include <vector>

// Processes events until condition holds, polling every pollMs (20 by default);
// false after the deadline.
inline bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 5000, int pollMs = 20)
{
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QTest::qWait(pollMs);
    }
    return true;
}

// Lets queued events (posted deliveries, paint, activation) run.
inline void Settle()
{
    for (int i = 0; i < 5; ++i) {
        QCoreApplication::processEvents();
        QTest::qWait(10);
    }
}

// Replaces the message box function for its lifetime and records every request.
class BoxRecorder {
public:
    BoxRecorder()
    {
        m_previous = SetMessageBoxFunction([this](const TMessageBoxRequest& r) { requests.push_back(r); });
    }
    ~BoxRecorder() { SetMessageBoxFunction(m_previous); }
    std::vector<TMessageBoxRequest> requests;

private:
    MessageBoxFunction m_previous;
};

// The message numbers of the hook's records, in order.
struct HookRecord {
    std::vector<TMsg> messages;
    std::vector<std::uint32_t> Numbers() const
    {
        std::vector<std::uint32_t> numbers;
        for (const TMsg& m : messages)
            numbers.push_back(m.message);
        return numbers;
    }
    // Input records only: the timer messages of unrelated timers left out.
    std::vector<std::uint32_t> InputNumbers() const
    {
        std::vector<std::uint32_t> numbers;
        for (const TMsg& m : messages) {
            if (m.message != WM_TIMER)
                numbers.push_back(m.message);
        }
        return numbers;
    }
};
