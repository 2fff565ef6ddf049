// talvex's command line: the hosts' options with one dash or two, window IDs in
// decimal and hexadecimal, XSCREENSAVER_WINDOW for --root.
#include "hosts/TalvexOptions.h"

#include <gtest/gtest.h>

namespace {

struct GoodLine {
    std::vector<std::string> args;
    const char* hostWindow;
    TalvexTarget target;
    std::uint32_t windowId;
};

const GoodLine GoodLines[] = {
    {{}, nullptr, TalvexTarget::OwnWindow, 0},
    {{"--window"}, "0x400008", TalvexTarget::OwnWindow, 0},
    {{"--root"}, "0x400008", TalvexTarget::HostWindow, 0x400008},
    {{"-root"}, "4194312", TalvexTarget::HostWindow, 4194312},
    {{"--root"}, nullptr, TalvexTarget::HostWindow, 0},
    {{"--window-id", "0X1A"}, nullptr, TalvexTarget::HostWindow, 26},
    {{"-window-id", "123"}, "0x400008", TalvexTarget::HostWindow, 123},
    {{"--window-id=0x20000f"}, nullptr, TalvexTarget::HostWindow, 0x20000f},
    {{"--window-id", "536870911"}, nullptr, TalvexTarget::HostWindow, 536870911},
    // The last of the three counts.
    {{"--root", "--window-id", "7"}, "9", TalvexTarget::HostWindow, 7},
    {{"--window-id", "7", "--window"}, nullptr, TalvexTarget::OwnWindow, 0},
    {{"--help", "--bogus"}, nullptr, TalvexTarget::Help, 0},
    {{"-version"}, nullptr, TalvexTarget::Version, 0},
};

TEST(TalvexOptions, ReadsTheHostsConventions)
{
    for (const GoodLine& line : GoodLines) {
        TalvexOptions options;
        std::string problem;
        const std::string shown = ::testing::PrintToString(line.args);
        ASSERT_TRUE(ParseTalvexOptions(line.args, line.hostWindow, options, problem)) << shown << ": " << problem;
        EXPECT_EQ(options.target, line.target) << shown;
        EXPECT_EQ(options.windowId, line.windowId) << shown;
    }
}

// Where it draws in a Wayland session (WAYLAND_DISPLAY, or a connection handed over in
// WAYLAND_SOCKET): Wayland unless an X11 option or a host's window says otherwise; and
// on which outputs.
struct WaylandLine {
    std::vector<std::string> args;
    const char* hostWindow;
    WaylandEnvironment wayland;
    TalvexTarget target;
    bool background;
    std::vector<std::string> outputs;
};

const WaylandLine WaylandLines[] = {
    {{}, nullptr, {"wayland-1"}, TalvexTarget::Wayland, false, {}},
    {{}, nullptr, {""}, TalvexTarget::OwnWindow, false, {}},
    {{}, nullptr, {nullptr, "5"}, TalvexTarget::Wayland, false, {}},
    {{}, nullptr, {nullptr, ""}, TalvexTarget::OwnWindow, false, {}},
    {{}, "0x400008", {"wayland-1", "5"}, TalvexTarget::OwnWindow, false, {}},
    {{"--root"}, nullptr, {"wayland-1"}, TalvexTarget::HostWindow, false, {}},
    {{"-window"}, nullptr, {nullptr, "5"}, TalvexTarget::OwnWindow, false, {}},
    {{"--window", "--wayland"}, nullptr, {}, TalvexTarget::Wayland, false, {}},
    {{"-background"}, nullptr, {}, TalvexTarget::Wayland, true, {}},
    {{"--background", "--wayland"}, "0x400008", {"wayland-1"}, TalvexTarget::Wayland, true, {}},
    {{"--output", "DP-1", "-output=HDMI-A-1"}, nullptr, {}, TalvexTarget::Wayland, false, {"DP-1", "HDMI-A-1"}},
    {{"--background"}, nullptr, {nullptr, "5", "DP-2"}, TalvexTarget::Wayland, true, {"DP-2"}},
    {{"--output", "DP-1"}, nullptr, {"wayland-1", nullptr, "DP-2"}, TalvexTarget::Wayland, false, {"DP-1", "DP-2"}},
    {{"--window"}, nullptr, {"wayland-1", nullptr, "DP-2"}, TalvexTarget::OwnWindow, false, {}},
};

TEST(TalvexOptions, ChoosesWaylandWhenNothingSaysX11AndTheOutputsNamed)
{
    for (const WaylandLine& line : WaylandLines) {
        TalvexOptions options;
        std::string problem;
        const auto shown = ::testing::PrintToString(line.args) + " " +
                           (line.wayland.display ? line.wayland.display : "-") + " " +
                           (line.wayland.socket ? line.wayland.socket : "-");
        ASSERT_TRUE(ParseTalvexOptions(line.args, line.hostWindow, options, problem, line.wayland))
            << shown << ": " << problem;
        EXPECT_EQ(options.target, line.target) << shown;
        EXPECT_EQ(options.background, line.background) << shown;
        EXPECT_EQ(options.outputs, line.outputs) << shown;
    }
}

struct BadLine {
    std::vector<std::string> args;
    const char* hostWindow;
    const char* named;   // what the one line must name
};

const BadLine BadLines[] = {
    {{"--root"}, "0xZZ", "XSCREENSAVER_WINDOW \"0xZZ\""},
    {{"--root"}, "", "XSCREENSAVER_WINDOW \"\""},
    {{"--root"}, "-5", "XSCREENSAVER_WINDOW \"-5\""},
    {{"--window-id", "0"}, nullptr, "\"0\""},
    {{"--window-id", "12abc"}, nullptr, "\"12abc\""},
    {{"--window-id", "+12"}, nullptr, "\"+12\""},
    {{"--window-id", "0x"}, nullptr, "\"0x\""},
    {{"--window-id", "536870912"}, nullptr, "\"536870912\""},
    {{"--window-id", "99999999999999999999999"}, nullptr, "\"99999999999999999999999\""},
    {{"--window-id"}, nullptr, "--window-id needs"},
    {{"--root=1"}, nullptr, "\"--root=1\""},
    {{"--fps"}, nullptr, "\"--fps\""},
    {{"root"}, nullptr, "\"root\""},
    {{"--background", "--root"}, nullptr, "--background is for Wayland"},
    {{"--wayland=1"}, nullptr, "\"--wayland=1\""},
    {{"--output"}, nullptr, "--output needs an output's name"},
    {{"--output="}, nullptr, "--output= needs an output's name"},
    {{"--output", "DP-1", "--root"}, nullptr, "--output is for Wayland"},
    {{"--idle"}, nullptr, "--idle needs the idle minutes"},
    {{"--idle", "0"}, nullptr, "\"0\""},
    {{"--idle", "-1"}, nullptr, "\"-1\""},
    {{"--idle=1441"}, nullptr, "\"1441\""},
    {{"--idle", "5m"}, nullptr, "\"5m\""},
    {{"--idle", "1e3"}, nullptr, "\"1e3\""},
    {{"--idle", "nan"}, nullptr, "\"nan\""},
    {{"--idle", "5", "--root"}, nullptr, "it does not go with --root"},
    {{"-window", "--idle", "5"}, nullptr, "it does not go with -window"},
    {{"--idle", "5", "--background"}, nullptr, "it does not go with --background"},
};

// --idle: the minutes, and the saver it shows: on Wayland in a Wayland session (or when
// an option says Wayland), else the cover on X11.
struct IdleLine {
    std::vector<std::string> args;
    WaylandEnvironment wayland;
    double minutes;
    TalvexTarget target;
};

const IdleLine IdleLines[] = {
    {{"--idle", "5"}, {}, 5, TalvexTarget::Cover},
    {{"-idle=0.05"}, {}, 0.05, TalvexTarget::Cover},
    {{"--idle", "1440"}, {}, 1440, TalvexTarget::Cover},
    {{"--idle", "2.5"}, {"wayland-1"}, 2.5, TalvexTarget::Wayland},
    {{"--idle", "3", "--output", "DP-1"}, {}, 3, TalvexTarget::Wayland},
    {{"--cover", "--idle", "3"}, {"wayland-1"}, 3, TalvexTarget::Cover},
    {{"--cover"}, {}, 0, TalvexTarget::Cover},
};

TEST(TalvexOptions, IdleTakesMinutesAndShowsTheSessionsSaver)
{
    for (const IdleLine& line : IdleLines) {
        TalvexOptions options;
        std::string problem;
        const std::string shown = ::testing::PrintToString(line.args);
        ASSERT_TRUE(ParseTalvexOptions(line.args, nullptr, options, problem, line.wayland)) << shown << ": " << problem;
        EXPECT_EQ(options.idleMinutes, line.minutes) << shown;
        EXPECT_EQ(options.target, line.target) << shown;
    }
}

TEST(TalvexOptions, NamesWhatIsWrongInOneLine)
{
    for (const BadLine& line : BadLines) {
        TalvexOptions options;
        std::string problem;
        const std::string shown = ::testing::PrintToString(line.args);
        EXPECT_FALSE(ParseTalvexOptions(line.args, line.hostWindow, options, problem)) << shown;
        EXPECT_NE(problem.find(line.named), std::string::npos) << shown << ": " << problem;
        EXPECT_EQ(problem.find('\n'), std::string::npos) << shown;
    }
}

} // namespace
