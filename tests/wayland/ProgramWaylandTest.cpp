// Project1 under a Wayland compositor through Qt's Wayland platform (headless sway, as
// an unprivileged user): /S covers the output with the first-cycle frame at scales 1
// and 2, the saver's input rule in the output's pixels, and the dialog with its Test
// button; /S under headless mutter and KWin, GNOME's and KDE's compositors.
#include "HeadlessKWin.h"
#include "HeadlessMutter.h"
#include "HeadlessSway.h"
#include "SaverRules.h"
#include "support/WaitUntil.h"

#include "support/ReadAll.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#ifndef PROJECT1
#error "PROJECT1 must name the program built for the end-to-end tests"
#endif
#ifndef SETTINGS_DIR
#error "SETTINGS_DIR must name its settings directory"
#endif

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

const std::vector<std::string> Saver = {"QT_QPA_PLATFORM=wayland", PROJECT1, "/S"};

// The settings file as the installed program has it: the session's user may rewrite it
// in place but not add files beside it. Removed again at the end.
struct WritableSettings {
    const fs::path file = fs::path(SETTINGS_DIR) / "VESKAN.INI";
    WritableSettings()
    {
        fs::create_directories(SETTINGS_DIR);
        std::ofstream{file};
        fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                                  fs::perms::group_write | fs::perms::others_read | fs::perms::others_write);
    }
    ~WritableSettings() { fs::remove(file); }
};

// The dialog is mapped and has the focus: the compositor finds the focused window by
// its title.
bool WaitForDialog(const HeadlessSway& sway, std::chrono::milliseconds deadline = 10s)
{
    return WaitUntil([&] { return sway.Run("swaymsg '[con_id=__focused__ title=^Configuration$] nop'") == 0; },
                     deadline, 100ms);
}

TEST(ProgramOnWayland, SaverCoversTheOutputWithTheFirstCycleFrameAtScalesOneAndTwo)
{
    for (const int scale : {1, 2}) {
        SCOPED_TRACE("scale " + std::to_string(scale));
        HeadlessSway sway({{"HEADLESS-1", 1280, 1024, scale, 0}});
        ASSERT_TRUE(sway.Started());
        SessionProgram saver(sway, Saver);
        EXPECT_TRUE(sway.WaitForFirstCycleFrame("HEADLESS-1", 1280, 1024)) << saver.Errors();
    }
}

TEST(ProgramOnWayland, SaverEndsOnAKeyOrAMoveOfMoreThanFivePixels)
{
    HeadlessSway sway;
    ASSERT_TRUE(sway.Started());
    VirtualInput input(sway);
    ASSERT_TRUE(input.Ready());
    ExpectSaverInputRule(sway, input, Saver);
}

// GNOME's and KDE's compositors: the frame over the monitor, and a key ends it.
void ExpectSaverUntilAKey(const HeadlessCompositor& session)
{
    ASSERT_TRUE(session.Started());
    VirtualInput input(session);
    ASSERT_TRUE(input.Ready());
    SessionProgram saver(session, Saver);
    ASSERT_TRUE(session.WaitForFirstCycleFrame("", 1280, 1024)) << saver.Errors();
    ASSERT_TRUE(input.Send("key 30"));
    int status = -1;
    EXPECT_TRUE(saver.WaitForExit(status, 3s));
    EXPECT_EQ(status, 0) << saver.Errors();
}

TEST(ProgramOnMutter, SaverCoversTheMonitorWithTheFirstCycleFrameUntilAKey)
{
    ExpectSaverUntilAKey(HeadlessMutter(1280, 1024));
}

TEST(ProgramOnMutter, SaverKeepsTheShowOnAMoveOfFivePixelsWhateverTheEnterSaid)
{
    ExpectFivePixelsKeepWhateverTheEnterSaid(HeadlessMutter(1280, 1024), Saver);
}

TEST(ProgramOnKWin, SaverCoversTheOutputWithTheFirstCycleFrameUntilAKey)
{
    ExpectSaverUntilAKey(HeadlessKWin(1280, 1024));
}

TEST(ProgramOnWayland, DialogAppearsAndEscapeEndsIt)
{
    HeadlessSway sway;
    ASSERT_TRUE(sway.Started());
    VirtualInput input(sway);
    ASSERT_TRUE(input.Ready());
    SessionProgram dialog(sway, {"QT_QPA_PLATFORM=wayland", PROJECT1});
    EXPECT_TRUE(WaitForDialog(sway)) << dialog.Errors();
    ASSERT_TRUE(input.Send("key 1"));   // Escape
    int status = -1;
    EXPECT_TRUE(dialog.WaitForExit(status, 3s));
    EXPECT_EQ(status, 0) << dialog.Errors();
}

TEST(ProgramOnWayland, TestShowsTheSceneFullScreenUntilAKeyThenTheDialogComesBack)
{
    HeadlessSway sway;
    ASSERT_TRUE(sway.Started());
    VirtualInput input(sway);
    ASSERT_TRUE(input.Ready());
    const WritableSettings settings;   // Test writes the dialog's settings first
    SessionProgram dialog(sway, {"QT_QPA_PLATFORM=wayland", PROJECT1});
    ASSERT_TRUE(WaitForDialog(sway)) << dialog.Errors();
    // Focus starts on OK: Tab, Tab reaches Test, Space presses it; the second time the
    // focus is still on Test.
    for (const std::vector<std::string>& keys : {std::vector<std::string>{"key 15", "key 15", "key 57"}, {"key 57"}}) {
        SCOPED_TRACE(keys.size() == 1 ? "round 2" : "round 1");
        std::ofstream{settings.file};   // emptied: each press writes it again
        for (const std::string& key : keys)
            ASSERT_TRUE(input.Send(key)) << key;
        ASSERT_TRUE(sway.WaitForFirstCycleFrame("HEADLESS-1", 1280, 1024)) << dialog.Errors();
        EXPECT_FALSE(WaitForDialog(sway, 0ms)) << "the dialog kept the focus under the scene";
        EXPECT_EQ(ReadAll(settings.file), "[Config]\nType=-1\n");
        ASSERT_TRUE(input.Send("key 30"));
        ASSERT_TRUE(WaitForDialog(sway)) << "the dialog did not come back " << dialog.Errors();
        EXPECT_TRUE(dialog.KeepsRunning(0ms)) << "the program ended with the show";
    }
    ASSERT_TRUE(input.Send("key 1"));   // Escape
    int status = -1;
    EXPECT_TRUE(dialog.WaitForExit(status, 3s));
    EXPECT_EQ(status, 0) << dialog.Errors();
}

} // namespace
