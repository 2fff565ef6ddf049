// Project1.scr under Wine on the Windows test run's X server, started as the
// screen-saver host and a person start it: "/S" covers the screen with the scene's
// first frame until input ends it; "/c", "/p 1234" and no argument open the dialog,
// whose keys, Test button and settings file (VESKAN.INI in the prefix's Windows
// directory) are used as a person would.
//
// The Windows build's ctest runs it with DISPLAY and WINEPREFIX of the run
// (tools/test-windows), VESKAN_PROJECT1_SCR naming the program and VESKAN_WINE_RUN
// the wrapper that starts a Windows program under Wine.
#include "support/SceneOnScreen.h"
#include "support/XServer.h"
#include "support/ReadAll.h"
#include "support/WaitUntil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

std::string Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

// Wine's first start of a program in a prefix takes a few seconds more.
constexpr auto WindowDeadline = std::chrono::seconds(30);

// Why a program shows no window: it is still running, or how it ended.
std::string StateOf(Program& program)
{
    int status = -1;
    return program.Exited(status) ? "exited with status " + std::to_string(status) : "still running";
}

bool Navy(Rgb8 p)
{
    return p.r == 0 && p.g == 0 && p.b == 128;
}

// The bounding box of the screen's navy pixels.
ScreenBox NavyArea(const Screenshot& shot)
{
    int left = shot.width, top = shot.height, right = -1, bottom = -1;
    for (int y = 0; y < shot.height; ++y) {
        for (int x = 0; x < shot.width; ++x) {
            if (Navy(shot.At(x, y))) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        }
    }
    return right < 0 ? ScreenBox{} : ScreenBox{left, top, right - left + 1, bottom - top + 1};
}

// The dialog as designed for 96 pixels per inch: a navy client area of 313 x 200 with
// the title card "TALVEXNET" on red at (144, 48). The navy pixels reach from the
// client area's bottom-right corner up into the caption bar, whose active colour Wine
// also draws in navy, so the client area is the box's bottom part.
bool DialogShown(const Screenshot& shot, ScreenBox& client)
{
    const ScreenBox navy = NavyArea(shot);
    if (navy.width != 313 || navy.height < 200)
        return false;
    client = ScreenBox{navy.x, navy.y + navy.height - 200, 313, 200};
    for (const auto& [x, y] : {std::pair{0, 0}, std::pair{312, 0}, std::pair{0, 199}, std::pair{312, 199}}) {
        if (!Navy(shot.At(client.x + x, client.y + y)))
            return false;
    }
    int red = 0;
    for (int y = client.y + 48; y < client.y + 48 + 29; ++y)
        for (int x = client.x + 144; x < client.x + 144 + 157; ++x)
            red += shot.At(x, y).r == 255 && shot.At(x, y).g == 0 && shot.At(x, y).b == 0 ? 1 : 0;
    return red > 157 * 29 / 2;
}

bool SkyShown(const Screenshot& shot)
{
    // Sky Image1, row 0, right of the tall tree: (65, 64, 255).
    return Near(shot.At(1000, 0), Rgb8{65, 64, 255}, 12);
}

class Project1UnderWine : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.Started()) << "no X server on DISPLAY=" << Environment("DISPLAY");
        ASSERT_FALSE(program.empty()) << "VESKAN_PROJECT1_SCR is not set";
        ASSERT_FALSE(wineRun.empty()) << "VESKAN_WINE_RUN is not set";
        ASSERT_FALSE(Environment("WINEPREFIX").empty()) << "WINEPREFIX is not set";
        fs::remove(settingsFile);
        ASSERT_EQ(server.Run("xdotool mousemove 640 512"), 0);
    }
    void TearDown() override { fs::remove(settingsFile); }

    std::unique_ptr<Program> Start(const std::vector<std::string>& arguments)
    {
        std::vector<std::string> line{program};
        line.insert(line.end(), arguments.begin(), arguments.end());
        return std::make_unique<Program>(server, wineRun, line);
    }

    // Wine gives its windows the keyboard focus itself; waits until the X server says
    // the window has it.
    bool WaitForFocus(const std::string& window)
    {
        return WaitUntil([&] { return server.Output("xdotool getwindowfocus").rfind(window, 0) == 0; }, 8s, 50ms);
    }

    // Opens the dialog with the arguments and waits until it shows, focused.
    std::unique_ptr<Program> OpenDialog(const std::vector<std::string>& arguments, ScreenBox& client)
    {
        std::unique_ptr<Program> dialog = Start(arguments);
        const std::string window = server.WaitForWindow(dialog->Pid(), "Configuration", WindowDeadline);
        EXPECT_FALSE(window.empty()) << "no dialog; the program is " << StateOf(*dialog);
        Screenshot shot;
        EXPECT_TRUE(WaitForScreen(server, [&](const Screenshot& s) { return DialogShown(s, client); }, shot))
            << "no navy dialog with the red title card";
        EXPECT_TRUE(WaitForFocus(window)) << "the dialog has no keyboard focus";
        return dialog;
    }

    XServer server{ExistingDisplay{Environment("DISPLAY")}};
    const std::string program = Environment("VESKAN_PROJECT1_SCR");
    const std::string wineRun = Environment("VESKAN_WINE_RUN");
    const fs::path settingsFile = fs::path(Environment("WINEPREFIX")) / "drive_c" / "windows" / "VESKAN.INI";
    // What the system's profile service writes: Windows line ends.
    const std::string writtenSetting = "[Config]\r\nType=-1\r\n";
};

TEST_F(Project1UnderWine, SaverShowsTheFirstFrameUntilAMoveOfSixPixels)
{
    std::unique_ptr<Program> saver = Start({"/S"});
    ASSERT_FALSE(server.WaitForWindow(saver->Pid(), "ScrnFrm", WindowDeadline).empty())
        << "no window; the program is " << StateOf(*saver);
    // The frame render-frames composes at the screen's size, on the whole screen.
    EXPECT_TRUE(WaitForFirstCycleFrame(server, 0, 0, 1280, 1024)) << "no first frame on the whole screen";
    ExpectKeptThenEnded(server, *saver, "mousemove_relative 5 5", "mousemove_relative 1 0", 5s);
    EXPECT_FALSE(fs::exists(settingsFile)) << "the saver wrote the settings";
}

TEST_F(Project1UnderWine, AKeyEndsTheSaver)
{
    std::unique_ptr<Program> saver = Start({"/s"});
    const std::string window = server.WaitForWindow(saver->Pid(), "ScrnFrm", WindowDeadline);
    ASSERT_FALSE(window.empty()) << "no window; the program is " << StateOf(*saver);
    Screenshot shot;
    ASSERT_TRUE(WaitForScreen(server, SkyShown, shot)) << "no scene on the screen";
    ASSERT_TRUE(WaitForFocus(window));
    ASSERT_EQ(server.Run("xdotool key x"), 0);
    int status = -1;
    ASSERT_TRUE(saver->WaitForExit(status, 5s)) << "a key press did not end the show";
    EXPECT_EQ(status, 0);
}

class ConfigurationStart : public Project1UnderWine, public ::testing::WithParamInterface<std::vector<std::string>> {};

TEST_P(ConfigurationStart, OpensTheDialogAndEscapeEndsWithoutWriting)
{
    ScreenBox client;
    std::unique_ptr<Program> dialog = OpenDialog(GetParam(), client);
    ASSERT_FALSE(HasFailure());
    ASSERT_EQ(server.Run("xdotool key Escape"), 0);
    int status = -1;
    ASSERT_TRUE(dialog->WaitForExit(status, 5s)) << "Escape did not end the program";
    EXPECT_EQ(status, 0);
    EXPECT_FALSE(fs::exists(settingsFile));
}

INSTANTIATE_TEST_SUITE_P(Arguments, ConfigurationStart,
                         ::testing::Values(std::vector<std::string>{"/c"}, std::vector<std::string>{"/p", "1234"},
                                           std::vector<std::string>{}),
                         [](const auto& testCase) {
                             const std::vector<std::string>& args = testCase.param;
                             return args.empty() ? std::string("None") : args[0] == "/c" ? "Configure" : "Preview";
                         });

TEST_F(Project1UnderWine, EnterWritesTheSettingAndEnds)
{
    ScreenBox client;
    std::unique_ptr<Program> dialog = OpenDialog({}, client);
    ASSERT_FALSE(HasFailure());
    ASSERT_EQ(server.Run("xdotool key Return"), 0);
    int status = -1;
    ASSERT_TRUE(dialog->WaitForExit(status, 5s)) << "Enter did not end the program";
    EXPECT_EQ(status, 0);
    EXPECT_EQ(ReadAll(settingsFile), writtenSetting);
}

TEST_F(Project1UnderWine, TestShowsTheSceneAndAMouseMoveBringsTheDialogBack)
{
    ScreenBox client;
    std::unique_ptr<Program> dialog = OpenDialog({}, client);
    ASSERT_FALSE(HasFailure());
    Screenshot shot;
    for (int round = 1; round <= 2; ++round) {
        // The Test button lies at (9, 115), 72 x 34, in the client area.
        ASSERT_EQ(server.Run("xdotool mousemove " + std::to_string(client.x + 45) + " " +
                             std::to_string(client.y + 132) + " click 1"),
                  0);
        ASSERT_TRUE(WaitForScreen(server, SkyShown, shot))
            << "round " << round << ": Test at " << client << " showed no scene";
        ScreenBox covered;
        EXPECT_FALSE(DialogShown(shot, covered)) << "round " << round << ": the scene does not cover the dialog";
        EXPECT_EQ(ReadAll(settingsFile), writtenSetting);

        ASSERT_EQ(server.Run("xdotool mousemove_relative 0 20"), 0);
        ScreenBox back;
        const auto dialogBack = [&](const Screenshot& s) { return DialogShown(s, back) && !SkyShown(s); };
        ASSERT_TRUE(WaitForScreen(server, dialogBack, shot))
            << "round " << round << ": the dialog did not come back";
        EXPECT_EQ(back, client);
        int status = -1;
        EXPECT_FALSE(dialog->Exited(status)) << "the program ended with the show";
    }
}

} // namespace
