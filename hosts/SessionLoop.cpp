// The loop of a talvex session, for every window system.
#include "hosts/SessionLoop.h"

#include "hosts/TalvexError.h"
#include "scene/Catalogue.h"
#include "scene/Tick.h"

#include <cerrno>
#include <cstdio>
#include <poll.h>

namespace {

constexpr auto TickInterval = std::chrono::milliseconds(100);

} // namespace

SessionLoop::SessionLoop() : m_schedule(TickInterval) {}

SessionLoop::~SessionLoop() = default;

void SessionLoop::TakePictures(std::future<std::unique_ptr<Catalogue>>& loading)
{
    try {
        m_pictures = loading.get();
    } catch (const std::exception& error) {
        throw ETalvexError(FailureStatus, std::string("the stored pictures do not load: ") + error.what());
    }
}

void SessionLoop::StartTicking()
{
    if (m_ticking)
        return;
    m_ticking = true;
    const auto now = TickSchedule::Clock::now();
    m_schedule.Start(now);
    m_timer.Start(now, TickInterval);
}

void SessionLoop::Tick(SessionDisplay& display)
{
    const auto nextSlot = m_schedule.NextAfter(TickSchedule::Clock::now());
    try {
        display.Tick(*m_pictures);
    } catch (const ETalvexError&) {
        throw;
    } catch (const std::exception& error) {
        // As in the saver's window: a failed tick still showed what it drew, and the
        // next one goes on; said once, not ten times a second.
        if (!m_tickFailureSaid)
            std::fprintf(stderr, "talvex: a tick failed: %s (further failures are not reported)\n", error.what());
        m_tickFailureSaid = true;
    }
    display.ForEachPlan([this](const ScenePlan& plan) { DecodeAhead(plan, *m_pictures); });
    // A tick that ran into the next slot does not run again at once to catch it up: the
    // timer's firings since are taken away, and the next tick keeps its slot on the grid.
    if (TickSchedule::Clock::now() >= nextSlot)
        m_timer.Fired();
}

int SessionLoop::Run(SessionDisplay& display)
{
    // The signal and timer descriptors are read only when the wait says they have
    // something, and on the first turn: ten turns a second, each read saved counts.
    bool signalsReady = true;
    bool timerReady = true;
    for (;;) {
        if (const auto end = display.TakeIn())
            return *end;
        if (signalsReady && m_signals.Received())
            return 0;
        if (m_ticking && timerReady && m_timer.Fired())
            Tick(display);
        bool wantWrite = false;
        if (const auto end = display.ReadyWait(wantWrite))
            return *end;
        pollfd waits[] = {{display.Fd(), static_cast<short>(POLLIN | (wantWrite ? POLLOUT : 0)), 0},
                          {m_signals.Fd(), POLLIN, 0},
                          {m_timer.Fd(), POLLIN, 0}};
        if (poll(waits, 3, -1) < 0 && errno != EINTR) {
            display.AfterWait(0);
            throw ETalvexError(FailureStatus, "the event loop's poll failed");
        }
        signalsReady = waits[1].revents != 0;
        timerReady = waits[2].revents != 0;
        if (const auto end = display.AfterWait(waits[0].revents))
            return *end;
    }
}
