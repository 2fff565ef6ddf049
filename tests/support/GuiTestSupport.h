// Helpers of the gui tests: waiting for a condition with a deadline, and recorders
// for message boxes and hook messages.
#pragma once

#include "platform/window/MessageBox.h"
#include "platform/window/Messages.h"
#include "platform/window/qt/QtImpl.h"
#include "support/WaitUntil.h"

#include <QCoreApplication>
#include <QTest>
#include <chrono>
#include <functional>
#include <vector>

// WaitUntil that processes Qt's events between its checks instead of sleeping.
inline bool WaitFor(const std::function<bool()>& condition,
                    std::chrono::milliseconds deadline = std::chrono::seconds(5),
                    std::chrono::milliseconds interval = std::chrono::milliseconds(20))
{
    return WaitUntil(condition, deadline, interval,
                     [](std::chrono::milliseconds pause) { QTest::qWait(static_cast<int>(pause.count())); });
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
