// The loop of a talvex session, written once for every window system: one poll waits on
// the display's descriptor, the ending signals and the tick timer together, so that
// nothing runs in a signal handler and a tick is never cut short; the ticks run on a
// fixed 100 ms grid; a failed tick is said once on stderr and the next one goes on;
// after each tick the pictures the scenes show next are decoded, outside the next tick.
// A window system plugs in as a SessionDisplay.
#pragma once

#include "hosts/EndSignals.h"
#include "hosts/TickSchedule.h"
#include "hosts/TickTimer.h"

#include <functional>
#include <future>
#include <memory>
#include <optional>

class Catalogue;
struct ScenePlan;

// What a window system does in the loop, in this order on every turn: takes in what the
// display said, ticks when the timer has fired, readies the wait, and, after the wait,
// reads what came. A hook that returns a status ends the session with it; one that
// raises ETalvexError ends it with that error.
class SessionDisplay {
public:
    virtual ~SessionDisplay() = default;

    // The descriptor the loop polls for the display's input.
    virtual int Fd() const = 0;
    // Acts on what the display has said since the last turn.
    virtual std::optional<int> TakeIn() = 0;
    // One tick of every scene it shows: composes and shows. A failure it raises (other
    // than ETalvexError) costs this tick only.
    virtual void Tick(Catalogue& pictures) = 0;
    // Sends what is queued and readies the display's read; wantWrite when it could not
    // send everything and waits until it can.
    virtual std::optional<int> ReadyWait(bool& wantWrite) = 0;
    // After the wait: reads what came when revents says so, or gives up the readied read.
    virtual std::optional<int> AfterWait(short revents) = 0;
    // Visits the plans of its scenes.
    virtual void ForEachPlan(const std::function<void(const ScenePlan&)>& visit) const = 0;
};

class SessionLoop {
public:
    // Raises ETalvexError when the signal or timer descriptors cannot be made.
    SessionLoop();
    ~SessionLoop();
    SessionLoop(const SessionLoop&) = delete;
    SessionLoop& operator=(const SessionLoop&) = delete;

    // Waits for the pictures the loading thread makes; a failure there ends the
    // session with status 2.
    void TakePictures(std::future<std::unique_ptr<Catalogue>>& loading);
    // The ticks run from now on, the first at the next turn; until then the loop only
    // waits (a window of talvex's own shows nothing before it is first exposed).
    void StartTicking();
    bool Ticking() const { return m_ticking; }
    // Runs until a hook ends the session, or SIGTERM or SIGINT (status 0).
    int Run(SessionDisplay& display);

private:
    void Tick(SessionDisplay& display);

    EndSignals m_signals;
    TickTimer m_timer;
    TickSchedule m_schedule;
    std::unique_ptr<Catalogue> m_pictures;
    bool m_ticking = false;
    bool m_tickFailureSaid = false;
};
