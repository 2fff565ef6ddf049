// Project1 under a Wayland compositor through Qt's Wayland platform (headless sway, as
// an unprivileged user): /S covers the output with the first-cycle frame at scales 1
// and 2, the saver's input rule in the output's pixels, and the dialog.
#include "HeadlessSway.h"
#include "SaverRules.h"
#include "support/WaitUntil.h"

#include <gtest/gtest.h>

#ifndef PROJECT1
#error "PROJECT1 must name the program built for the end-to-end tests"
#endif

using namespace std::chrono_literals;

namespace {

const std::vector<std::string> Saver = {"QT_QPA_PLATFORM=wayland", PROJECT1, "/S"};

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

TEST(ProgramOnWayland, DialogAppearsAndEscapeEndsIt)
{
    HeadlessSway sway;
    ASSERT_TRUE(sway.Started());
    VirtualInput input(sway);
    ASSERT_TRUE(input.Ready());
    SessionProgram dialog(sway, {"QT_QPA_PLATFORM=wayland", PROJECT1});
    // The compositor's window tree names it once it is mapped (and focused: it is the
    // only window).
    EXPECT_TRUE(WaitUntil([&] { return sway.Run("swaymsg -t get_tree | grep -q '\"name\": \"Configuration\"'") == 0; },
                          10s, 100ms))
        << dialog.Errors();
    ASSERT_TRUE(input.Send("key 1"));   // Escape
    int status = -1;
    EXPECT_TRUE(dialog.WaitForExit(status, 3s));
    EXPECT_EQ(status, 0) << dialog.Errors();
}

} // namespace
