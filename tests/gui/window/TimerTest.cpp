// The periodic timer: when it runs, that it keeps firing, that a failing handler is
// reported each time, restart on change, and the error when it cannot start.
#include "support/GuiTestSupport.h"

#include "platform/Exception.h"
#include "platform/window/TApplication.h"
#include "platform/window/TTimer.h"

#include <QAbstractEventDispatcher>
#include <QTimer>
#include <QTimerEvent>
#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <thread>

namespace {

TEST(Timer, DefaultsAreOneSecondAndEnabled)
{
    TTimer timer;
    EXPECT_EQ(timer.Interval(), 1000);
    EXPECT_TRUE(timer.Enabled());
    EXPECT_FALSE(timer.Running());   // no handler yet
}

struct RunCase {
    const char* name;
    int interval;
    bool enabled;
    bool handler;
    bool running;
};

void PrintTo(const RunCase& c, std::ostream* os)
{
    *os << c.name;
}


class TimerRuns : public ::testing::TestWithParam<RunCase> {};

const RunCase RunCases[] = {
    {"AllSet", 100, true, true, true},
    {"ZeroInterval", 0, true, true, false},
    {"Disabled", 100, false, true, false},
    {"NoHandler", 100, true, false, false},
};

TEST_P(TimerRuns, RunsOnlyWithIntervalEnabledAndHandler)
{
    const RunCase& c = GetParam();
    TTimer timer;
    timer.SetInterval(c.interval);
    timer.SetEnabled(c.enabled);
    timer.SetOnTimer(c.handler ? std::function<void()>([] {}) : std::function<void()>());
    EXPECT_EQ(timer.Running(), c.running);
}

INSTANTIATE_TEST_SUITE_P(States, TimerRuns, ::testing::ValuesIn(RunCases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(Timer, KeepsFiringUntilDisabled)
{
    TTimer timer;
    int ticks = 0;
    timer.SetInterval(10);
    timer.SetOnTimer([&] { ++ticks; });
    ASSERT_TRUE(WaitFor([&] { return ticks >= 5; }));
    timer.SetEnabled(false);
    EXPECT_FALSE(timer.Running());
    const int stopped = ticks;
    QTest::qWait(200);
    EXPECT_EQ(ticks, stopped);
    timer.SetEnabled(true);
    EXPECT_TRUE(WaitFor([&] { return ticks >= stopped + 3; }));
}

TEST(Timer, FailingHandlerIsReportedEachTimeAndTheTimerKeepsFiring)
{
    TApplication app;
    app.SetTitle(std::string("Timertest"));
    BoxRecorder boxes;
    TTimer timer;
    int ticks = 0;
    timer.SetInterval(10);
    timer.SetOnTimer([&] {
        ++ticks;
        throw std::runtime_error("Tick failed");
    });
    ASSERT_TRUE(WaitFor([&] { return boxes.requests.size() >= 4; }));
    EXPECT_TRUE(timer.Running());
    EXPECT_EQ(static_cast<int>(boxes.requests.size()), ticks);
    for (const TMessageBoxRequest& r : boxes.requests) {
        EXPECT_EQ(r.text, std::string("Tick failed."));
        EXPECT_EQ(r.title, std::string("Timertest"));
        EXPECT_EQ(r.icon, TMessageBoxIcon::Error);
    }
}

TEST(Timer, TickDueWhileTheErrorReportIsOpenIsNotNested)
{
    TApplication app;
    TTimer timer;
    bool reportOpen = false;
    int ticksDuringAReport = 0;
    int reports = 0;
    // The report runs a loop of its own, as a real message box does. A window system
    // may hand that loop the timer's next tick (Windows dispatches WM_TIMER there; Qt
    // itself holds back a timer whose event is still running), so the report is given
    // one here.
    const MessageBoxFunction previous = SetMessageBoxFunction([&](const TMessageBoxRequest&) {
        if (++reports > 1)
            return;
        reportOpen = true;
        auto& impl = static_cast<TTimer::Impl&>(*QtObject(timer));
        QTimerEvent due(impl.id);
        QCoreApplication::sendEvent(&impl, &due);
        reportOpen = false;
    });
    timer.SetInterval(10);
    timer.SetOnTimer([&] {
        if (reportOpen)
            ++ticksDuringAReport;
        throw std::runtime_error("Tick failed");
    });
    const bool reached = WaitFor([&] { return reports >= 3; });
    timer.SetEnabled(false);
    SetMessageBoxFunction(previous);
    ASSERT_TRUE(reached);
    EXPECT_EQ(ticksDuringAReport, 0);
}

struct RestartCase {
    const char* name;
    void (*change)(TTimer& timer);
    int interval;   // the countdown's length after the change
};

void PrintTo(const RestartCase& c, std::ostream* os)
{
    *os << c.name;
}

class TimerRestarts : public ::testing::TestWithParam<RestartCase> {};

const RestartCase RestartCases[] = {
    {"HandlerSetAgain", [](TTimer& timer) { timer.SetOnTimer([] {}); }, 60'000},
    {"OtherInterval", [](TTimer& timer) { timer.SetInterval(50'000); }, 50'000},
    {"EnabledAgain", [](TTimer& timer) { timer.SetEnabled(false); timer.SetEnabled(true); }, 60'000},
};

TEST_P(TimerRestarts, EveryChangeRestartsTheCountdown)
{
    TTimer timer;
    timer.SetInterval(60'000);
    timer.SetOnTimer([] {});
    const auto remaining = [&] {
        const auto& impl = static_cast<const TTimer::Impl&>(*QtObject(timer));
        return QAbstractEventDispatcher::instance()->remainingTime(impl.id);
    };
    // Some of the countdown passes first.
    ASSERT_TRUE(WaitFor([&] { return remaining() >= 0 && remaining() <= 60'000 - 40; }));
    GetParam().change(timer);
    EXPECT_GT(remaining(), GetParam().interval - 20);
}

INSTANTIATE_TEST_SUITE_P(Changes, TimerRestarts, ::testing::ValuesIn(RestartCases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(Timer, SettingTheSameIntervalIsNoChange)
{
    TTimer timer;
    int ticks = 0;
    timer.SetInterval(100);
    timer.SetOnTimer([&] { ++ticks; });
    QTimer resetter;
    QObject::connect(&resetter, &QTimer::timeout, [&] {
        timer.SetInterval(100);
        timer.SetEnabled(true);
    });
    resetter.start(20);
    EXPECT_TRUE(WaitFor([&] { return ticks >= 3; }));
}

// A timer that cannot be started: Qt gives no timer to a thread without an event
// dispatcher, and to a negative interval.
TEST(Timer, FailureToStartRaisesNotEnoughTimers)
{
    std::string threadMessage;
    std::thread worker([&] {
        TTimer timer;
        try {
            timer.SetOnTimer([] {});
        } catch (const EOutOfResources& error) {
            threadMessage = error.what();
        }
    });
    worker.join();
    EXPECT_EQ(threadMessage, "Not enough timers available");

    TTimer negative;
    negative.SetOnTimer([] {});
    try {
        negative.SetInterval(-5);
        FAIL() << "no error";
    } catch (const EOutOfResources& error) {
        EXPECT_STREQ(error.what(), "Not enough timers available");
        EXPECT_STREQ(error.ClassName(), "EOutOfResources");
    }
    EXPECT_FALSE(negative.Running());
}

} // namespace
