// talvex's loop on its 100 ms grid: a tick that runs into the next slots does not make
// the next tick come at once to catch up; the grid goes on from where it started.
#include "hosts/SessionLoop.h"

#include "scene/Catalogue.h"

#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <sys/eventfd.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// A display that never says anything: it only ticks, the first tick taking as long as
// asked, and ends the session after three.
class TicksOnly : public SessionDisplay {
public:
    explicit TicksOnly(Clock::duration firstTickTakes) : m_firstTickTakes(firstTickTakes) {}
    ~TicksOnly() override { close(m_silent); }

    int Fd() const override { return m_silent; }
    std::optional<int> TakeIn() override
    {
        return Started.size() == 3 ? std::optional<int>(7) : std::nullopt;
    }
    void Tick(Catalogue&) override
    {
        Started.push_back(Clock::now());
        if (Started.size() == 1)
            std::this_thread::sleep_for(m_firstTickTakes);
    }
    std::optional<int> ReadyWait(bool& wantWrite) override
    {
        wantWrite = false;
        return std::nullopt;
    }
    std::optional<int> AfterWait(short) override { return std::nullopt; }
    void ForEachPlan(const std::function<void(const ScenePlan&)>&) const override {}

    std::vector<Clock::time_point> Started;

private:
    Clock::duration m_firstTickTakes;
    int m_silent = eventfd(0, EFD_CLOEXEC);
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
    TicksOnly display(250ms);
    const Clock::time_point before = Clock::now();
    loop.StartTicking();
    EXPECT_EQ(loop.Run(display), 7);
    ASSERT_EQ(display.Started.size(), 3U);
    EXPECT_GE(display.Started[1] - before, 300ms);
    EXPECT_GE(display.Started[2] - before, 400ms);
}

} // namespace
