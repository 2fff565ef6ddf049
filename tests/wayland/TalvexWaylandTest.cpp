// talvex under a Wayland compositor (headless sway, as an unprivileged user): a scene of
// its own on every output at the output's pixel size, outputs made or rescaled while it
// runs, the saver's input rule, the background that takes no input, the idle daemon
// starting it, its own idle watch, and its exit statuses; under weston and under mutter
// (GNOME's compositor), which have no layer-shell, one full-screen window, and under
// mutter the idle watch through GNOME's idle monitor; under KWin (KDE Plasma's
// compositor) the saver's rule, the background and the idle watch.
#include "HeadlessKWin.h"
#include "HeadlessMutter.h"
#include "HeadlessSway.h"
#include "HeadlessWeston.h"
#include "SaverRules.h"
#include "support/ReadAll.h"
#include "support/TempFolder.h"
#include "support/WaitUntil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <sys/wait.h>

#ifndef TALVEX
#error "TALVEX must name the built talvex program"
#endif

using namespace std::chrono_literals;

namespace {

int Lines(const std::string& text)
{
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

TEST(TalvexOnWayland, ShowsAFirstCycleFrameOfItsOwnOnEachOutputAtItsPixelSize)
{
    // The second output at scale 2: 512 x 384 in the layout, 1024 x 768 pixels.
    HeadlessSway sway({{"HEADLESS-1", 1280, 1024, 1, 0}, {"HEADLESS-2", 1024, 768, 2, 1280}});
    ASSERT_TRUE(sway.Started());
    SessionProgram talvex(sway, {TALVEX});
    EXPECT_TRUE(sway.WaitForFirstCycleFrame("HEADLESS-1", 1280, 1024));
    EXPECT_TRUE(sway.WaitForFirstCycleFrame("HEADLESS-2", 1024, 768));
    // An output made while it runs gets a surface and a scene from its first tick.
    ASSERT_TRUE(sway.AddOutput({"HEADLESS-3", 800, 600, 1, 1792}));
    EXPECT_TRUE(sway.WaitForFirstCycleFrame("HEADLESS-3", 800, 600));
    // A scale changed while it runs: the same pixels, shown 1:1 at the new scale.
    ASSERT_EQ(sway.Run("swaymsg output HEADLESS-1 scale 2"), 0);
    EXPECT_TRUE(sway.WaitForFirstCycleFrame("HEADLESS-1", 1280, 1024));
    EXPECT_TRUE(talvex.KeepsRunning(0ms)) << talvex.Errors();
}

TEST(TalvexOnWayland, AsASaverEndsOnAKeyOrAMoveOfMoreThanFivePixels)
{
    HeadlessSway sway;
    ASSERT_TRUE(sway.Started());
    VirtualInput input(sway);
    ASSERT_TRUE(input.Ready());
    ExpectSaverInputRule(sway, input, {TALVEX});
}

TEST(TalvexOnWayland, CountsAMoveInTheOutputsPixelsAtScaleTwo)
{
    // 640 x 512 in the layout; the pointer moves in the layout's units, 2 pixels each.
    HeadlessSway sway({{"HEADLESS-1", 1280, 1024, 2, 0}});
    ASSERT_TRUE(sway.Started());
    VirtualInput input(sway);
    ASSERT_TRUE(input.Ready());
    ASSERT_TRUE(input.Send("moveto 320 256 640 512"));
    SessionProgram talvex(sway, {TALVEX});
    ASSERT_TRUE(sway.WaitForFirstCycleFrame("HEADLESS-1", 1280, 1024)) << talvex.Errors();
    ASSERT_TRUE(input.Send("move 2 -2"));   // 4 pixels
    EXPECT_TRUE(talvex.KeepsRunning(700ms)) << talvex.Errors();
    ASSERT_TRUE(input.Send("move 1 0"));    // 6 pixels from where it was first seen
    int status = -1;
    EXPECT_TRUE(talvex.WaitForExit(status, 3s));
    EXPECT_EQ(status, 0) << talvex.Errors();
}

// --background: the scene on the output, keys, moves and buttons ignored, SIGTERM ends it
// quietly with status 0.
void ExpectBackgroundTakesNoInput(const HeadlessCompositor& session, const std::string& output)
{
    SessionProgram talvex(session, {TALVEX, "--background"});
    ASSERT_TRUE(session.WaitForFirstCycleFrame(output, 1280, 1024)) << talvex.Errors();
    // Made after the frame was seen: the compositor draws the pointer's cursor over a
    // surface that takes no input.
    VirtualInput input(session);
    ASSERT_TRUE(input.Ready());
    for (const std::string command : {"key 57", "move 40 40", "move 40 40", "button 272"})
        ASSERT_TRUE(input.Send(command)) << command;
    EXPECT_TRUE(talvex.KeepsRunning(700ms)) << talvex.Errors();
    kill(talvex.Pid(), SIGTERM);
    int status = -1;
    EXPECT_TRUE(talvex.WaitForExit(status, 3s));
    EXPECT_EQ(status, 0);
    EXPECT_EQ(talvex.Errors(), "");
}

TEST(TalvexOnWayland, AsABackgroundTakesNoInputAndEndsOnSigterm)
{
    HeadlessSway sway;
    ASSERT_TRUE(sway.Started());
    ExpectBackgroundTakesNoInput(sway, "HEADLESS-1");
}

TEST(TalvexOnWayland, StartedByTheIdleDaemonAfterASecondAndEndedByAKey)
{
    HeadlessSway sway;
    ASSERT_TRUE(sway.Started());
    VirtualInput input(sway);
    ASSERT_TRUE(input.Ready());
    const std::string status = sway.Shared() + "/status";
    SessionProgram idle(sway, {"swayidle", "-w", "timeout", "1", std::string(TALVEX) + "; echo $? >" + status});
    ASSERT_TRUE(sway.WaitForFirstCycleFrame("HEADLESS-1", 1280, 1024)) << idle.Errors();
    ASSERT_TRUE(input.Send("key 57"));
    EXPECT_TRUE(WaitUntil([&] { return ReadAll(status) == "0\n"; }, 3s));
}

// talvex --idle in the session, its idle time from source (as its first line names
// it): the scene after the idle time, a key ends it, the scene again after the next idle
// time; SIGTERM ends the watch and the show it runs.
void ExpectIdleCycles(const HeadlessCompositor& session, VirtualInput& input, const std::string& output,
                      const std::string& source)
{
    // 0.05 minutes: 3 s.
    SessionProgram watch(session, {TALVEX, "--idle", "0.05"});
    ASSERT_TRUE(WaitUntil([&] { return watch.Output().find('\n') != std::string::npos; }, 5s)) << watch.Errors();
    EXPECT_NE(watch.Output().find("(" + source + ")"), std::string::npos) << watch.Output();
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        ASSERT_NE(WaitForOnlyChild(watch.Pid(), 10s), 0) << watch.Errors();
        ASSERT_TRUE(session.WaitForFirstCycleFrame(output, 1280, 1024)) << watch.Errors();
        ASSERT_TRUE(input.Send("key 57"));
        EXPECT_TRUE(WaitUntil([&] { return ChildrenOf(watch.Pid()).empty(); }, 3s));
    }
    const pid_t show = WaitForOnlyChild(watch.Pid(), 10s);
    ASSERT_NE(show, 0);
    kill(watch.Pid(), SIGTERM);
    int status = -1;
    ASSERT_TRUE(watch.WaitForExit(status, 8s));
    EXPECT_EQ(status, 0) << watch.Errors();
    EXPECT_NE(kill(show, 0), 0) << "the show outlived the watch";
}

// sway 1.7 tells idle time through KDE's protocol.
TEST(TalvexOnWayland, IdleShowsTheSceneAfterTheIdleTimeUntilAKeyAndAgain)
{
    HeadlessSway sway;
    ASSERT_TRUE(sway.Started());
    VirtualInput input(sway);
    ASSERT_TRUE(input.Ready());
    ExpectIdleCycles(sway, input, "HEADLESS-1", "the compositor's org_kde_kwin_idle");
}

TEST(TalvexOnWayland, EndsWithOneLineAndStatus1WhenTheCompositorIsKilled)
{
    HeadlessSway sway;
    ASSERT_TRUE(sway.Started());
    SessionProgram talvex(sway, {TALVEX});
    ASSERT_TRUE(sway.WaitForFirstCycleFrame("HEADLESS-1", 1280, 1024)) << talvex.Errors();
    kill(sway.Pid(), SIGKILL);
    int status = -1;
    EXPECT_TRUE(talvex.WaitForExit(status, 3s));
    EXPECT_EQ(status, 1);
    EXPECT_EQ(Lines(talvex.Errors()), 1) << talvex.Errors();
}

// KDE Plasma's compositor speaks layer-shell and ext-idle-notify-v1.
TEST(TalvexOnKWin, CoversTheOutputWithTheFirstCycleFrameAndKeepsTheSaversInputRule)
{
    HeadlessKWin kwin(1280, 1024);
    ASSERT_TRUE(kwin.Started());
    VirtualInput input(kwin);
    ASSERT_TRUE(input.Ready());
    ExpectSaverInputRule(kwin, input, {TALVEX}, "");
}

TEST(TalvexOnKWin, AsABackgroundTakesNoInputAndEndsOnSigterm)
{
    HeadlessKWin kwin(1280, 1024);
    ASSERT_TRUE(kwin.Started());
    ExpectBackgroundTakesNoInput(kwin, "");
}

TEST(TalvexOnKWin, IdleShowsTheSceneAfterTheIdleTimeUntilAKeyAndAgain)
{
    HeadlessKWin kwin(1280, 1024);
    ASSERT_TRUE(kwin.Started());
    VirtualInput input(kwin);
    ASSERT_TRUE(input.Ready());
    ExpectIdleCycles(kwin, input, "", "the compositor's ext-idle-notify-v1");
}

// GNOME's compositor: no layer-shell, so one full-screen window; its idle time on the
// session bus.
TEST(TalvexOnMutter, CoversTheMonitorWithTheFirstCycleFrameAndKeepsTheSaversInputRule)
{
    HeadlessMutter mutter(1280, 1024);
    ASSERT_TRUE(mutter.Started());
    VirtualInput input(mutter);
    ASSERT_TRUE(input.Ready());
    // The pointer has not moved since mutter started. mutter tells a new surface of a
    // still pointer at times only with the pointer's next move: the enter, and with it
    // the start position, comes before the first move or with it.
    SessionProgram talvex(mutter, {TALVEX});
    ASSERT_TRUE(mutter.WaitForFirstCycleFrame("", 1280, 1024)) << talvex.Errors();
    for (const std::string command : {"move 5 -5", "button 272", "wheel 1"})
        ASSERT_TRUE(input.Send(command)) << command;
    EXPECT_TRUE(talvex.KeepsRunning(700ms)) << talvex.Errors();
    ASSERT_TRUE(input.Send("move 1 0"));
    if (talvex.KeepsRunning(700ms)) {
        // The enter came with the first move: the start is 1 pixel back.
        ASSERT_TRUE(input.Send("move 4 0"));
        EXPECT_TRUE(talvex.KeepsRunning(700ms)) << talvex.Errors();
        ASSERT_TRUE(input.Send("move 1 0"));
    }
    int status = -1;
    EXPECT_TRUE(talvex.WaitForExit(status, 3s));
    EXPECT_EQ(status, 0) << talvex.Errors();
    EXPECT_EQ(Lines(talvex.Errors()), 1) << talvex.Errors();
}

TEST(TalvexOnMutter, KeepsTheShowOnAMoveOfFivePixelsWhateverTheEnterSaid)
{
    HeadlessMutter mutter(1280, 1024);
    ExpectFivePixelsKeepWhateverTheEnterSaid(mutter, {TALVEX});
}

TEST(TalvexOnMutter, IdleShowsTheSceneAfterTheIdleTimeUntilAKeyAndAgain)
{
    HeadlessMutter mutter(1280, 1024);
    ASSERT_TRUE(mutter.Started());
    VirtualInput input(mutter);
    ASSERT_TRUE(input.Ready());
    ExpectIdleCycles(mutter, input, "", "GNOME's org.gnome.Mutter.IdleMonitor");
}

TEST(TalvexOnWeston, IdleSaysInOneLineThatTheCompositorTellsNoIdleTime)
{
    HeadlessWeston weston(1024, 768);
    ASSERT_TRUE(weston.Started());
    SessionProgram watch(weston, {TALVEX, "--idle", "5"});
    int status = -1;
    ASSERT_TRUE(watch.WaitForExit(status, 5s));
    EXPECT_EQ(status, 1);
    const std::string errors = watch.Errors();
    EXPECT_EQ(Lines(errors), 1) << errors;
    EXPECT_NE(errors.find("tells no idle time"), std::string::npos) << errors;
}

TEST(TalvexOnWeston, WithoutLayerShellSaysSoOnceCoversTheOutputAndEndsOnSigterm)
{
    HeadlessWeston weston(1024, 768);
    ASSERT_TRUE(weston.Started());
    SessionProgram talvex(weston, {TALVEX});
    EXPECT_TRUE(weston.WaitForFirstCycleFrame("", 1024, 768)) << talvex.Errors();
    kill(talvex.Pid(), SIGTERM);
    int status = -1;
    EXPECT_TRUE(talvex.WaitForExit(status, 3s));
    EXPECT_EQ(status, 0);
    const std::string errors = talvex.Errors();
    EXPECT_EQ(Lines(errors), 1) << errors;
    EXPECT_NE(errors.find("no layer-shell"), std::string::npos) << errors;
}

// Without a compositor to talk to: the statuses of the X11 side, one line each.
struct Failure {
    std::vector<std::string> args;
    int status;
    const char* named;   // what the one line names
};

const Failure Failures[] = {
    {{}, 1, "WAYLAND_SOCKET"},                     // WAYLAND_DISPLAY names no socket
    {{"--background"}, 1, "WAYLAND_DISPLAY"},
    {{"--background", "--root"}, 2, "--root"},     // --background is Wayland's alone
    {{"--wayland=yes"}, 2, "--wayland=yes"},
};

TEST(TalvexOnWayland, FailsWithOneLineAndTheX11Statuses)
{
    const TempFolder run("veskan-wayland-run");
    for (const Failure& failure : Failures) {
        std::string line = "env -i XDG_RUNTIME_DIR=" + run.Path().string() + " WAYLAND_DISPLAY=wayland-none " TALVEX;
        for (const std::string& arg : failure.args)
            line += " " + arg;
        line += " 2>" + (run / "errors").string();
        const int raw = std::system(line.c_str());
        SCOPED_TRACE(line);
        EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, failure.status);
        const std::string errors = run.Get("errors").value_or("");
        EXPECT_EQ(Lines(errors), 1) << errors;
        EXPECT_NE(errors.find(failure.named), std::string::npos) << errors;
    }
}

} // namespace
