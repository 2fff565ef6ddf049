// The whole program on a real X server, started as a person starts it: "/S" runs the
// saver until input ends it; no argument opens the dialog, whose keys, Test button and
// settings file are used as a person would.
#include "support/ProcessMemory.h"
#include "support/SceneOnScreen.h"
#include "support/XServer.h"
#include "support/ReadAll.h"
#include "support/WaitUntil.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>
#include <sys/wait.h>

#ifndef PROJECT1
#error "PROJECT1 must name the program built with its settings directory in the build tree"
#endif
#ifndef SETTINGS_DIR
#error "SETTINGS_DIR must name that directory"
#endif

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

const fs::path SettingsFile = fs::path(SETTINGS_DIR) / "VESKAN.INI";

class ProgramOnX : public ::testing::Test {
protected:
    explicit ProgramOnX(const XServerSetup& setup = {}) : server(setup) {}

    void SetUp() override
    {
        ASSERT_TRUE(server.Started()) << "Xvfb did not start";
        fs::create_directories(SETTINGS_DIR);
        fs::remove(SettingsFile);
        ASSERT_EQ(server.Run("xdotool mousemove 640 512"), 0);
    }
    void TearDown() override { fs::remove(SettingsFile); }

    // The dialog's window, once it is on the screen.
    std::string WaitForDialog(const Program& program) { return server.WaitForWindow(program.Pid(), "Configuration"); }

    // Gives the window the keyboard focus and waits until the X server says it has it.
    bool Focus(const std::string& window)
    {
        return WaitUntil(
            [&] {
                server.Run("xdotool windowfocus " + window);
                std::istringstream focused(server.Output("xdotool getwindowfocus"));
                std::string id;
                return focused >> id && id == window;
            },
            5s);
    }

    static bool SkyShown(const Screenshot& shot)
    {
        // Sky Image1, row 0, right of the tall tree: (65, 64, 255).
        return Near(shot.At(1000, 0), Rgb8{65, 64, 255}, 12) && Near(shot.At(1100, 0), Rgb8{65, 64, 255}, 12);
    }

    static bool DialogShown(const Screenshot& shot, const ScreenBox& dialog)
    {
        // Navy in an empty corner of the client area; the title card's red behind
        // "TALVEXNET".
        if (!Near(shot.At(dialog.x + 300, dialog.y + 190), Rgb8{0, 0, 128}, 0))
            return false;
        int red = 0;
        for (int y = dialog.y + 48; y < dialog.y + 77; ++y)
            for (int x = dialog.x + 144; x < dialog.x + 300; ++x)
                red += Near(shot.At(x, y), Rgb8{255, 0, 0}, 0) ? 1 : 0;
        return red > 157 * 29 / 2;
    }

    XServer server;
};

// The frames reach the window straight from shared memory where the server offers
// MIT-SHM, through the connection where it does not: the same pixels either way.
struct ServerCase {
    const char* name;
    bool sharedMemory;
};

void PrintTo(const ServerCase& c, std::ostream* os)
{
    *os << c.name;
}

class SaverOnX : public ProgramOnX, public ::testing::WithParamInterface<ServerCase> {
protected:
    SaverOnX() : ProgramOnX(XServerSetup{.sharedMemory = GetParam().sharedMemory}) {}
};

TEST_P(SaverOnX, CoversTheScreenWithTheFirstFrames)
{
    Program saver(server, PROJECT1, {"/S"});
    const std::string window = server.WaitForWindow(saver.Pid(), "ScrnFrm");
    ASSERT_FALSE(window.empty()) << "no window";
    // No compositing manager runs on a bare Xvfb: the window shows without its key,
    // every pixel as the frame has it; the eyes shut for one frame of changed
    // rectangles and open again.
    EXPECT_TRUE(WaitForFirstCycleFrame(server, 0, 0, 1280, 1024)) << "no first frame on the whole screen";
    EXPECT_EQ(Geometry(server, window), (ScreenBox{0, 0, 1280, 1024}));
    // One frame's memory is shared with the server, whichever way the frames go: none
    // in Qt's own surface beside the one they go straight from.
    const long frameKiB = 1280L * 1024 * 4 / 1024;
    const long sharedKiB = StatusKiB(saver.Pid(), "RssShmem");
    EXPECT_GE(sharedKiB, 0);
    EXPECT_LT(sharedKiB, frameKiB * 3 / 2);
    // The saver never writes the settings.
    int status = -1;
    EXPECT_FALSE(saver.Exited(status));
    EXPECT_FALSE(fs::exists(SettingsFile));
}

const ServerCase ServerCases[] = {{"SharedMemory", true}, {"NoSharedMemory", false}};
INSTANTIATE_TEST_SUITE_P(Servers, SaverOnX, ::testing::ValuesIn(ServerCases),
                         [](const auto& param) { return std::string(param.param.name); });

struct MoveCase {
    const char* name;
    const char* within;   // mousemove_relative that stays within 5 pixels
    const char* beyond;   // the step that makes 6 on one axis
};

void PrintTo(const MoveCase& c, std::ostream* os)
{
    *os << c.name;
}

class PointerOnX : public ProgramOnX, public ::testing::WithParamInterface<MoveCase> {};

const MoveCase MoveCases[] = {
    {"RightDown", "5 5", "1 0"},
    {"LeftUp", "-- -5 -5", "-- 0 -1"},
};

TEST_P(PointerOnX, FivePixelsKeepTheShowSixEndIt)
{
    Program saver(server, PROJECT1, {"/S"});
    ASSERT_FALSE(server.WaitForWindow(saver.Pid(), "ScrnFrm").empty()) << "no window";
    Screenshot shot;
    ASSERT_TRUE(WaitForScreen(server, SkyShown, shot)) << "no scene on the screen";
    ExpectKeptThenEnded(server, saver, std::string("mousemove_relative ") + GetParam().within,
                        std::string("mousemove_relative ") + GetParam().beyond);
}

INSTANTIATE_TEST_SUITE_P(Moves, PointerOnX, ::testing::ValuesIn(MoveCases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

TEST_F(ProgramOnX, ButtonsAndWheelKeepTheShowAKeyPressEndsIt)
{
    Program saver(server, PROJECT1, {"/s", "ignored"});
    const std::string window = server.WaitForWindow(saver.Pid(), "ScrnFrm");
    ASSERT_FALSE(window.empty());
    Screenshot shot;
    ASSERT_TRUE(WaitForScreen(server, SkyShown, shot));
    ASSERT_TRUE(Focus(window));
    ExpectKeptThenEnded(server, saver, "click 1 click 3 click 4 click 5", "key x");
}

// Alt held from before the window is there, a click and Alt again: none of them a key
// press or a move. Five starts a run; --gtest_repeat makes it the hundreds once seen
// needed for an early end.
TEST_F(ProgramOnX, AltAndClicksFromItsStartKeepTheShow)
{
    for (int start = 0; start < 5; ++start) {
        Program saver(server, PROJECT1, {"/S"});
        ASSERT_EQ(server.Run("xdotool keydown alt"), 0);
        const std::string window = server.WaitForWindow(saver.Pid(), "ScrnFrm");
        ASSERT_FALSE(window.empty()) << "start " << start;
        ASSERT_EQ(server.Run("xdotool click 1 keyup alt keydown alt click 3 keyup alt"), 0);
        ASSERT_TRUE(Focus(window));
        ExpectKeptThenEnded(server, saver, "keydown alt click 1 keyup alt", "key x");
    }
}

TEST_F(ProgramOnX, DialogShowsItsTitleCardAndEscapeEndsWithoutWriting)
{
    Program dialog(server, PROJECT1);
    const std::string window = WaitForDialog(dialog);
    ASSERT_FALSE(window.empty());
    const ScreenBox r = Geometry(server, window);
    EXPECT_EQ(r.width, 313);
    EXPECT_EQ(r.height, 200);
    // Centred on the 1280 x 1024 screen.
    EXPECT_NEAR(r.x, (1280 - 313) / 2, 1);
    EXPECT_NEAR(r.y, (1024 - 200) / 2, 1);
    Screenshot shot;
    ASSERT_TRUE(WaitForScreen(server, [&](const Screenshot& s) { return DialogShown(s, r); }, shot))
        << "no navy dialog with the red title card";

    ASSERT_TRUE(Focus(window));
    ASSERT_EQ(server.Run("xdotool key Escape"), 0);
    int status = -1;
    ASSERT_TRUE(dialog.WaitForExit(status, 3s)) << "Escape did not end the program";
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_FALSE(fs::exists(SettingsFile));
}

TEST_F(ProgramOnX, EnterWritesTheSettingAndEnds)
{
    Program dialog(server, PROJECT1, {"/c:5"});
    const std::string window = WaitForDialog(dialog);
    ASSERT_FALSE(window.empty());
    ASSERT_TRUE(Focus(window));
    ASSERT_EQ(server.Run("xdotool key Return"), 0);
    int status = -1;
    ASSERT_TRUE(dialog.WaitForExit(status, 3s)) << "Enter did not end the program";
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(ReadAll(SettingsFile), "[Config]\nType=-1\n");
}

TEST_F(ProgramOnX, TestShowsTheSceneOverTheDialogUntilTheMouseMoves)
{
    Program dialog(server, PROJECT1);
    const std::string window = WaitForDialog(dialog);
    ASSERT_FALSE(window.empty());
    const ScreenBox r = Geometry(server, window);
    Screenshot shot;
    ASSERT_TRUE(WaitForScreen(server, [&](const Screenshot& s) { return DialogShown(s, r); }, shot));

    for (int round = 1; round <= 2; ++round) {
        // The Test button lies at (9, 115), 72 x 34, in the client area.
        ASSERT_EQ(server.Run("xdotool mousemove " + std::to_string(r.x + 45) + " " + std::to_string(r.y + 132) +
                             " click 1"),
                  0);
        ASSERT_TRUE(WaitForScreen(server, SkyShown, shot)) << "round " << round << ": Test showed no scene";
        EXPECT_FALSE(DialogShown(shot, r)) << "round " << round << ": the scene does not cover the dialog";
        EXPECT_EQ(ReadAll(SettingsFile), "[Config]\nType=-1\n");

        ASSERT_EQ(server.Run("xdotool mousemove_relative 0 20"), 0);
        const auto dialogBack = [&](const Screenshot& s) { return DialogShown(s, r) && !SkyShown(s); };
        ASSERT_TRUE(WaitForScreen(server, dialogBack, shot))
            << "round " << round << ": the dialog did not come back";
        int status = -1;
        EXPECT_FALSE(dialog.Exited(status)) << "the program ended with the show";
    }
}

TEST_F(ProgramOnX, SecondCopyStartsIndependently)
{
    Program first(server, PROJECT1);
    Program second(server, PROJECT1, {"/p", "1234"});
    EXPECT_FALSE(WaitForDialog(first).empty());
    EXPECT_FALSE(WaitForDialog(second).empty());
    int status = -1;
    EXPECT_FALSE(first.Exited(status));
    EXPECT_FALSE(second.Exited(status));
}

// Without a display the program says so in one line and ends with status 1.
TEST(ProgramWithoutDisplay, SaysSoInOneLineAndExitsWithOne)
{
    for (const std::string env : {"env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM",
                                  "env -u WAYLAND_DISPLAY DISPLAY=:9999 QT_QPA_PLATFORM=xcb"}) {
        const TempFolder folder("veskan-nodisplay");
        const fs::path out = folder / "errors";
        const int status = std::system((env + " " PROJECT1 " /S >/dev/null 2>" + out.string()).c_str());
        ASSERT_TRUE(WIFEXITED(status)) << env;
        EXPECT_EQ(WEXITSTATUS(status), 1) << env;
        const std::string text = ReadAll(out);
        EXPECT_NE(text.find("no display"), std::string::npos) << text;
        EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1) << text;
    }
}

} // namespace
