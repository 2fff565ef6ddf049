// talvex's loop on its 100 ms grid: a tick that runs into the next slots does not make
// the next tick come at once to catch up; the grid goes on from where it started.
#include "hosts/SessionLoop.h"

#include "scene/Catalogue.h"

#include <gtest/gtest.h>

#include <future>
#include <sys/eventfd.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// A display that never says anything: it ticks, its first tick lasting until the given
// time, and ends the session after three.
struct TicksOnly : SessionDisplay {
    Clock::time_point firstTickUntil;
    std::vector<Clock::time_point> started;
    int silent = eventfd(0, EFD_CLOEXEC);

    ~TicksOnly() override { close(silent); }
    int Fd() const override { return silent; }
    std::optional<int> TakeIn() override { return started.size() == 3 ? std::optional<int>(7) : std::nullopt; }
    void Tick(Catalogue&) override
    {
        started.push_back(Clock::now());
        if (started.size() == 1)
            std::this_thread::sleep_until(firstTickUntil);
    }
    std::optional<int> ReadyWait(bool&) override { return std::nullopt; }
    std::optional<int> AfterWait(short) override { return std::nullopt; }
    void ForEachPlan(const std::function<void(const ScenePlan&)>&) const override {}
};

TEST(SessionLoop, ATickThatRunsPastTheNextSlotsLeavesThemAndKeepsTheGrid)
{
    SessionLoop loop;
    std::promise<std::unique_ptr<Catalogue>> loaded;
    loaded.set_value(Catalogue::Load(ScreenFormPictures(), JpegDepth::TrueColour));
    std::future<std::unique_ptr<Catalogue>> loading = loaded.get_future();
    loop.TakePictures(loading);
    // The first tick runs past the slots at 100 and 200 ms: the next one keeps the slot
    // at 300 ms, and the one after at 400 ms. A timer never fires early, so these bounds
    // hold however busy the machine is.
    TicksOnly display;
    const Clock::time_point before = Clock::now();
    display.firstTickUntil = before + 250ms;
    loop.StartTicking();
    EXPECT_EQ(loop.Run(display), 7);
    ASSERT_EQ(display.started.size(), 3U);
    EXPECT_GE(display.started[1] - before, 300ms);
    EXPECT_GE(display.started[2] - before, 400ms);
}

} // namespace
