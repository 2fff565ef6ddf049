// talvex on the tests' own compositor, which can do what sway 1.7's headless backend
// cannot: outputs that come and go (a monitor asleep or unplugged), layer surfaces it
// closes, fractional scale, a connection handed over as a lock screen does and closed
// at unlock, and every request counted.
#include "HeadlessCompositor.h"
#include "TinyCompositor.h"
#include "support/ProcessMemory.h"
#include "support/SceneOnScreen.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <unistd.h>

#ifndef TALVEX
#error "TALVEX must name the built talvex program"
#endif

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

using Output = TinyCompositor::Output;

// talvex in the compositor's session with args, and with environment (replacing the
// session's own when given).
std::vector<std::string> TalvexLine(const TinyCompositor& compositor, const std::vector<std::string>& args,
                                    std::vector<std::string> environment = {})
{
    if (environment.empty())
        environment = compositor.Environment();
    std::vector<std::string> line = {"env", "-i"};
    line.insert(line.end(), environment.begin(), environment.end());
    line.push_back(TALVEX);
    line.insert(line.end(), args.begin(), args.end());
    return line;
}

// The output has a surface of talvex's that shows the first-cycle frame of its pixel
// size (the eyes lie below small outputs: the frame stands still).
bool ShowsTheScene(TinyCompositor& compositor, const Output& output, int width, int height)
{
    const FirstCycle& frames = FirstCycleFrames(width, height);
    return compositor.PumpUntil([&] {
        const TinyCompositor::Surface* surface = compositor.On(output);
        return surface != nullptr && surface->shown.width == width && surface->shown.height == height &&
               surface->shown.Shows(0, 0, frames.eyesOpen);
    });
}

// Every surface talvex made on the output has been let go.
bool LetGo(TinyCompositor& compositor, const Output& output)
{
    return compositor.PumpUntil([&] {
        for (const TinyCompositor::Surface& surface : compositor.Surfaces())
            if (surface.output == &output && (surface.layer != nullptr || surface.surface != nullptr))
                return false;
        return true;
    });
}

bool KeepsRunning(TinyCompositor& compositor, SessionProgram& talvex, std::chrono::milliseconds interval = 700ms)
{
    int status = 0;
    return !compositor.PumpUntil([&] { return talvex.Exited(status); }, interval);
}

int EndedWith(TinyCompositor& compositor, SessionProgram& talvex)
{
    int status = -1;
    if (!compositor.PumpUntil([&] { return talvex.Exited(status); }, 3s))
        return -1;
    return status;
}

int Lines(const std::string& text)
{
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
}

const std::vector<std::string> Roles[] = {{}, {"--background"}};

TEST(TalvexOnWayland, StartsWithoutOutputsAndKeepsRunningAsOutputsComeAndGoInBothRoles)
{
    for (const std::vector<std::string>& role : Roles) {
        SCOPED_TRACE(role.empty() ? "saver" : "background");
        TinyCompositor compositor;
        SessionProgram talvex(TalvexLine(compositor, role));
        EXPECT_TRUE(KeepsRunning(compositor, talvex)) << talvex.Errors();
        Output& first = compositor.AddOutput("ONE", 320, 240);
        EXPECT_TRUE(ShowsTheScene(compositor, first, 320, 240)) << talvex.Errors();
        Output& second = compositor.AddOutput("TWO", 200, 150);
        EXPECT_TRUE(ShowsTheScene(compositor, second, 200, 150)) << talvex.Errors();
        // Down to none: it waits.
        compositor.RemoveOutput(first);
        compositor.RemoveOutput(second);
        EXPECT_TRUE(LetGo(compositor, first));
        EXPECT_TRUE(LetGo(compositor, second));
        EXPECT_TRUE(KeepsRunning(compositor, talvex)) << talvex.Errors();
        // One comes back (a monitor wakes as a new output): a scene at its size.
        Output& back = compositor.AddOutput("ONE", 240, 180);
        EXPECT_TRUE(ShowsTheScene(compositor, back, 240, 180)) << talvex.Errors();
        kill(talvex.Pid(), SIGTERM);
        EXPECT_EQ(EndedWith(compositor, talvex), 0);
        EXPECT_EQ(talvex.Errors(), "");
    }
}

TEST(TalvexOnWayland, LetsAClosedSurfaceGoAndServesItsOutputWhenItIsAnnouncedAgain)
{
    TinyCompositor compositor;
    Output& output = compositor.AddOutput("ONE", 320, 240);
    SessionProgram talvex(TalvexLine(compositor, {"--background"}));
    ASSERT_TRUE(ShowsTheScene(compositor, output, 320, 240)) << talvex.Errors();
    compositor.Close(*compositor.On(output));
    EXPECT_TRUE(LetGo(compositor, output));
    EXPECT_TRUE(KeepsRunning(compositor, talvex)) << talvex.Errors();
    compositor.Announce(output);
    EXPECT_TRUE(ShowsTheScene(compositor, output, 320, 240)) << talvex.Errors();
    EXPECT_EQ(talvex.Errors(), "");
}

// The buffer is the output's size times the preferred scale, rounded half up; the
// viewport shows it at the output's size.
struct Scaled {
    std::uint32_t scale120;
    int width;
    int height;
};

TEST(TalvexOnWayland, ComposesAtTheFractionalScaleAndShowsItThroughTheViewport)
{
    const Scaled Steps[] = {{180, 602, 452}, {150, 501, 376}, {120, 401, 301}};
    TinyCompositor compositor(Steps[0].scale120);
    Output& output = compositor.AddOutput("ONE", 401, 301);
    SessionProgram talvex(TalvexLine(compositor, {}));
    for (const Scaled& step : Steps) {
        SCOPED_TRACE(step.scale120);
        compositor.SetPreferredScale(step.scale120);
        ASSERT_TRUE(ShowsTheScene(compositor, output, step.width, step.height)) << talvex.Errors();
        const TinyCompositor::Surface& surface = *compositor.On(output);
        EXPECT_EQ(surface.bufferScale, 1);
        EXPECT_EQ(surface.viewportWidth, 401);
        EXPECT_EQ(surface.viewportHeight, 301);
    }
}

// A lock screen's way: the connection handed over in WAYLAND_SOCKET, no WAYLAND_DISPLAY,
// and closed by the server at unlock.
struct HandedOver {
    std::vector<std::string> args;
    int status;
    int lines;
};

TEST(TalvexOnWayland, TakesAHandedOverConnectionAndEndsAsItsRoleSaysWhenTheServerClosesIt)
{
    const HandedOver Cases[] = {{{"--background"}, 0, 0}, {{}, 1, 1}};
    for (const HandedOver& expected : Cases) {
        SCOPED_TRACE(expected.args.empty() ? "saver" : "background");
        TinyCompositor compositor;
        Output& output = compositor.AddOutput("ONE", 320, 240);
        const int socket = compositor.HandOver();
        ASSERT_GE(socket, 0);
        std::vector<std::string> environment = {compositor.Environment().front(),
                                                "WAYLAND_SOCKET=" + std::to_string(socket)};
        SessionProgram talvex(TalvexLine(compositor, expected.args, environment));
        close(socket);
        EXPECT_TRUE(ShowsTheScene(compositor, output, 320, 240)) << talvex.Errors();
        compositor.CloseClients();
        EXPECT_EQ(EndedWith(compositor, talvex), expected.status);
        EXPECT_EQ(Lines(talvex.Errors()), expected.lines) << talvex.Errors();
    }
}

struct Chosen {
    std::vector<std::string> args;
    std::vector<std::string> environment;
    bool onOne;
    bool onTwo;
};

TEST(TalvexOnWayland, ShowsTheSceneOnlyOnTheOutputsNamed)
{
    const Chosen Cases[] = {
        {{"--output", "TWO"}, {}, false, true},
        {{"--background"}, {"SWAYLOCK_PLUGIN_OUTPUT_NAME=ONE"}, true, false},
        {{"--output=ONE", "--output", "TWO"}, {}, true, true},
        {{"--output", "THREE"}, {}, false, false},
    };
    for (const Chosen& chosen : Cases) {
        SCOPED_TRACE(::testing::PrintToString(chosen.args) + ::testing::PrintToString(chosen.environment));
        TinyCompositor compositor;
        Output& one = compositor.AddOutput("ONE", 320, 240);
        Output& two = compositor.AddOutput("TWO", 200, 150);
        std::vector<std::string> environment = compositor.Environment();
        environment.insert(environment.end(), chosen.environment.begin(), chosen.environment.end());
        SessionProgram talvex(TalvexLine(compositor, chosen.args, environment));
        if (chosen.onOne) {
            EXPECT_TRUE(ShowsTheScene(compositor, one, 320, 240)) << talvex.Errors();
        }
        if (chosen.onTwo) {
            EXPECT_TRUE(ShowsTheScene(compositor, two, 200, 150)) << talvex.Errors();
        }
        // By now any surface it makes is there: they are made at once.
        EXPECT_TRUE(KeepsRunning(compositor, talvex, 300ms)) << talvex.Errors();
        EXPECT_EQ(compositor.On(one) != nullptr, chosen.onOne);
        EXPECT_EQ(compositor.On(two) != nullptr, chosen.onTwo);
    }
}

TEST(TalvexOnWayland, SendsNoRequestWhileTheSceneStandsStill)
{
    TinyCompositor compositor;
    Output& output = compositor.AddOutput("ONE", 320, 240);
    SessionProgram talvex(TalvexLine(compositor, {}));
    ASSERT_TRUE(ShowsTheScene(compositor, output, 320, 240)) << talvex.Errors();
    // The first cycle of 30 s: nothing in a frame this small moves.
    const long before = compositor.Requests();
    EXPECT_TRUE(KeepsRunning(compositor, talvex, 10s)) << talvex.Errors();
    EXPECT_EQ(compositor.Requests() - before, 0);
    EXPECT_EQ(compositor.On(output)->buffersCommitted, 1);
}

// What the process holds: open descriptors, and mappings of its frame buffers.
int OpenFiles(pid_t pid)
{
    std::error_code error;
    int count = 0;
    for (auto it = fs::directory_iterator("/proc/" + std::to_string(pid) + "/fd", error);
         !error && it != fs::directory_iterator(); it.increment(error))
        ++count;
    return count;
}

int FrameBufferMappings(pid_t pid)
{
    std::ifstream maps("/proc/" + std::to_string(pid) + "/maps");
    int count = 0;
    for (std::string line; std::getline(maps, line);)
        count += line.find("talvex-frame") != std::string::npos ? 1 : 0;
    return count;
}

TEST(TalvexOnWayland, HoldsNothingMoreAfter200OutputsCameAndWent)
{
    TinyCompositor compositor;
    Output& steady = compositor.AddOutput("STEADY", 320, 240);
    SessionProgram talvex(TalvexLine(compositor, {"--background"}));
    ASSERT_TRUE(ShowsTheScene(compositor, steady, 320, 240)) << talvex.Errors();
    long startKiB = 0;
    int startFiles = 0;
    int startMappings = 0;
    for (int round = 0; round <= 200; ++round) {
        Output& passing = compositor.AddOutput("PASSING", 64, 48);
        ASSERT_TRUE(compositor.PumpUntil([&] {
            const TinyCompositor::Surface* surface = compositor.On(passing);
            return surface != nullptr && surface->buffersCommitted > 0;
        })) << "round " << round << ": " << talvex.Errors();
        compositor.RemoveOutput(passing);
        ASSERT_TRUE(LetGo(compositor, passing)) << "round " << round;
        // Counted after the first round, once everything a passing output needs exists.
        if (round == 0) {
            startKiB = ResidentKiB(talvex.Pid());
            startFiles = OpenFiles(talvex.Pid());
            startMappings = FrameBufferMappings(talvex.Pid());
        }
    }
    EXPECT_LE(ResidentKiB(talvex.Pid()), startKiB + 1024);
    EXPECT_EQ(OpenFiles(talvex.Pid()), startFiles);
    EXPECT_EQ(FrameBufferMappings(talvex.Pid()), startMappings);
    EXPECT_EQ(startMappings, 1) << "the steady output's one buffer";
    EXPECT_TRUE(KeepsRunning(compositor, talvex, 0ms)) << talvex.Errors();
}

} // namespace
