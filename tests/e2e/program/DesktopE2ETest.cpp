// The whole program at a desktop as people have it: options that Qt knows on the
// command line, a high-density screen, an ordinary user's settings folder and the
// machine's shared one, and two monitors.
#include "support/SceneOnScreen.h"
#include "support/XServer.h"
#include "support/ReadAll.h"
#include "support/Unprivileged.h"
#include "support/WaitUntil.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#ifndef PROJECT1
#error "PROJECT1 must name the program built with its settings directory in the build tree"
#endif
#ifndef PROJECT1_AS_RUN_BUILDS_IT
#error "PROJECT1_AS_RUN_BUILDS_IT must name the program ./run starts"
#endif

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// A copy of the program exactly as ./run builds it, in a folder of the test's own
// that programs run as another user reach into, with its settings folder beside it,
// where it keeps VESKAN.INI.
struct ProgramCopy {
    ProgramCopy()
    {
        folder.OpenToOthers();
        fs::copy_file(PROJECT1_AS_RUN_BUILDS_IT, program);
        fs::create_directory(settings);
    }
    TempFolder folder{"veskan-desktop"};
    fs::path program = folder.Path() / "Project1";
    fs::path settings = folder.Path() / "settings";
};

// --- The mode rule reads the program's own first argument ------------------------

struct ArgumentCase {
    const char* name;
    std::vector<std::string> arguments;
};

void PrintTo(const ArgumentCase& c, std::ostream* out)
{
    *out << c.name;
}

const ArgumentCase QtOptionCases[] = {
    {"Reverse", {"-reverse", "/S"}},
    {"Style", {"-style", "fusion", "/s"}},
    {"Platform", {"-platform", "xcb", "/S"}},
};

class QtOptions : public ::testing::TestWithParam<ArgumentCase> {};

TEST_P(QtOptions, AreTheFirstArgumentAndOpenTheDialog)
{
    XServer server;
    ASSERT_TRUE(server.Started());
    Program program(server, PROJECT1, GetParam().arguments);
    EXPECT_FALSE(server.WaitForWindow(program.Pid(), "Configuration").empty()) << "no dialog";
    EXPECT_TRUE(server.WaitForWindow(program.Pid(), "ScrnFrm", 0ms).empty()) << "the saver started";
}

INSTANTIATE_TEST_SUITE_P(Arguments, QtOptions, ::testing::ValuesIn(QtOptionCases),
                         [](const auto& c) { return std::string(c.param.name); });

// --- High-density screens ----------------------------------------------------------

struct DensityCase {
    const char* name;
    bool xftDpi192;
    std::vector<std::string> environment;
};

void PrintTo(const DensityCase& c, std::ostream* out)
{
    *out << c.name;
}

const DensityCase DensityCases[] = {
    {"XftDpi192", true, {}},
    {"QtScaleFactor2", false, {"QT_SCALE_FACTOR=2"}},
};

class HighDensity : public ::testing::TestWithParam<DensityCase> {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.Started());
        if (GetParam().xftDpi192) {
            ASSERT_EQ(server.Run("sh -c 'echo Xft.dpi: 192 | xrdb -merge'"), 0);
        }
        ASSERT_EQ(server.Run("xdotool mousemove 512 384"), 0);
    }
    XServer server{XServerSetup{"1024x768x24"}};
};

TEST_P(HighDensity, SaverShowsTheFrameOfTheFullSizeAndCountsDevicePixels)
{
    Program saver(server, PROJECT1, {"/S"}, ProgramSetup{GetParam().environment});
    const std::string window = server.WaitForWindow(saver.Pid(), "ScrnFrm");
    ASSERT_FALSE(window.empty());
    EXPECT_TRUE(WaitForFirstCycleFrame(server, 0, 0, 1024, 768)) << "no frame of 1024 x 768 on the screen";
    EXPECT_EQ(Geometry(server, window), (ScreenBox{0, 0, 1024, 768}));

    ExpectKeptThenEnded(server, saver, "mousemove_relative 5 5", "mousemove_relative 1 0");
}

TEST_P(HighDensity, DialogIsBuiltForTheDensityAndCentred)
{
    Program dialog(server, PROJECT1, {}, ProgramSetup{GetParam().environment});
    const std::string window = server.WaitForWindow(dialog.Pid(), "Configuration");
    ASSERT_FALSE(window.empty());
    // Twice its design size of 313 x 200 in screen pixels, centred on 1024 x 768 (to
    // the device-independent pixel: 198 or 199).
    const ScreenBox r = Geometry(server, window);
    EXPECT_EQ(r.width, 626);
    EXPECT_EQ(r.height, 400);
    EXPECT_NEAR(r.x, (1024 - 626) / 2, 1);
    EXPECT_NEAR(r.y, (768 - 400) / 2, 1);
}

INSTANTIATE_TEST_SUITE_P(Densities, HighDensity, ::testing::ValuesIn(DensityCases),
                         [](const auto& c) { return std::string(c.param.name); });

// --- Settings as a user without privileges -----------------------------------------

enum class Planted { Nothing, SharedFile, LinkToVictim };

struct SettingsCase {
    const char* name;
    unsigned folderMode;
    Planted planted;
    bool written;
};

void PrintTo(const SettingsCase& c, std::ostream* out)
{
    *out << c.name;
}

const SettingsCase SettingsCases[] = {
    // The newcomer's own build: the settings folder beside the program is theirs.
    {"OwnFolder", 0755, Planted::Nothing, true},
    // The installed layout: the shared file every user may write, in a folder only
    // root may change.
    {"SharedFileInAFolderTheUserMayNotWrite", 0555, Planted::SharedFile, true},
    {"LinkPlantedAtTheName", 0555, Planted::LinkToVictim, false},
};

const std::string SharedText = "; shared by everyone\n[Other]\nA=1\n[Config]\nType=7\n";

class UnprivilegedSettings : public ::testing::TestWithParam<SettingsCase> {};

TEST_P(UnprivilegedSettings, OkAndTestAsAPersonWithoutRoot)
{
    const SettingsCase& c = GetParam();
    XServer server{XServerSetup{"1280x1024x24", true}};
    ASSERT_TRUE(server.Started());
    const UserIds user = UnprivilegedUser();
    const UserIds root = RunningAsRoot() ? UserIds{0, 0} : user;

    const ProgramCopy copy;
    const fs::path& settings = copy.settings;
    const fs::path ini = settings / "VESKAN.INI";
    const fs::path victim = copy.folder.Path() / "victim";
    const fs::path home = copy.folder.Path() / "home";
    fs::create_directory(home);
    ASSERT_EQ(::chown(home.c_str(), user.uid, user.gid), 0);
    if (c.planted == Planted::SharedFile) {
        std::ofstream(ini) << SharedText;
        ASSERT_EQ(::chown(ini.c_str(), root.uid, root.gid), 0);
        ASSERT_EQ(::chmod(ini.c_str(), 0666), 0);
    } else if (c.planted == Planted::LinkToVictim) {
        std::ofstream(victim) << SharedText;
        ASSERT_EQ(::chmod(victim.c_str(), 0666), 0);
        fs::create_symlink(victim, ini);
    }
    const UserIds folderOwner = c.folderMode == 0755 ? user : root;
    ASSERT_EQ(::chown(settings.c_str(), folderOwner.uid, folderOwner.gid), 0);
    ASSERT_EQ(::chmod(settings.c_str(), c.folderMode), 0);

    ProgramSetup options;
    options.unprivileged = true;
    options.environment = {"HOME=" + home.string()};
    Program dialog(server, copy.program.string(), {}, options);
    const std::string window = server.WaitForWindow(dialog.Pid(), "Configuration");
    ASSERT_FALSE(window.empty());
    const ScreenBox r = Geometry(server, window);

    if (c.written && c.planted == Planted::Nothing) {
        // Test: the scene over the dialog; a move brings the dialog back.
        ASSERT_EQ(server.Run("xdotool mousemove " + std::to_string(r.x + 45) + " " + std::to_string(r.y + 132) +
                             " click 1"),
                  0);
        EXPECT_TRUE(WaitForFirstCycleFrame(server, 0, 0, 1280, 1024)) << "Test showed no scene";
        ASSERT_EQ(server.Run("xdotool mousemove_relative 0 20"), 0);
        ASSERT_TRUE(WaitUntil([&] { return server.VisibleWindows(dialog.Pid()).size() == 1; }, 8s, 50ms))
            << "the move did not end the show";
    }
    // OK, clicked: after Test the focus is on Test, which Enter would press.
    ASSERT_EQ(server.Run("xdotool mousemove " + std::to_string(r.x + 45) + " " + std::to_string(r.y + 52) +
                         " click 1"),
              0);

    int status = -1;
    if (c.written) {
        ASSERT_TRUE(dialog.WaitForExit(status, 5s)) << "OK did not end the program";
        EXPECT_EQ(status, 0);
    } else {
        // The error box, titled with the application title; the dialog stays.
        EXPECT_FALSE(server.WaitForWindow(dialog.Pid(), "Project1").empty()) << "no error box";
        EXPECT_FALSE(dialog.Exited(status));
    }

    struct stat info {};
    switch (c.planted) {
    case Planted::Nothing:
        EXPECT_EQ(ReadAll(ini), "[Config]\nType=-1\n");
        ASSERT_EQ(::stat(ini.c_str(), &info), 0);
        EXPECT_EQ(info.st_uid, user.uid);
        break;
    case Planted::SharedFile:
        EXPECT_EQ(ReadAll(ini), "; shared by everyone\n[Other]\nA=1\n[Config]\nType=-1\n");
        ASSERT_EQ(::stat(ini.c_str(), &info), 0);
        EXPECT_EQ(info.st_uid, root.uid);
        EXPECT_EQ(info.st_gid, root.gid);
        EXPECT_EQ(info.st_mode & 07777, 0666u);
        EXPECT_EQ(fs::directory_iterator(settings) == fs::directory_iterator(), false);
        EXPECT_EQ(std::distance(fs::directory_iterator(settings), fs::directory_iterator()), 1);
        break;
    case Planted::LinkToVictim:
        EXPECT_TRUE(fs::is_symlink(ini));
        EXPECT_EQ(ReadAll(victim), SharedText);
        break;
    }
}

INSTANTIATE_TEST_SUITE_P(Folders, UnprivilegedSettings, ::testing::ValuesIn(SettingsCases),
                         [](const auto& c) { return std::string(c.param.name); });

// --- Two monitors --------------------------------------------------------------------

// One wide screen cut into two monitors: L, 1280 x 1024 at the origin (primary), and
// R, 1024 x 768 to its right.
class TwoMonitors : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.Started());
        ASSERT_EQ(server.Run("xrandr --setmonitor L 1280/338x1024/270+0+0 none"), 0);
        ASSERT_EQ(server.Run("xrandr --setmonitor R 1024/270x768/203+1280+0 none"), 0);
        ASSERT_EQ(server.Run("xdotool mousemove 640 512"), 0);
    }
    XServer server{XServerSetup{"2304x1024x24"}};
};

TEST_F(TwoMonitors, SaverCoversExactlyThePrimaryMonitor)
{
    Program saver(server, PROJECT1, {"/S"});
    const std::string window = server.WaitForWindow(saver.Pid(), "ScrnFrm");
    ASSERT_FALSE(window.empty());
    EXPECT_TRUE(WaitForFirstCycleFrame(server, 0, 0, 1280, 1024));
    EXPECT_EQ(Geometry(server, window), (ScreenBox{0, 0, 1280, 1024}));
}

TEST_F(TwoMonitors, DialogOpensOnThePrimaryAndTestCoversTheMonitorItWasMovedTo)
{
    const ProgramCopy copy;
    Program dialog(server, copy.program.string());
    const std::string window = server.WaitForWindow(dialog.Pid(), "Configuration");
    ASSERT_FALSE(window.empty());
    EXPECT_EQ(Geometry(server, window), (ScreenBox{(1280 - 313) / 2, (1024 - 200) / 2, 313, 200}));

    ASSERT_EQ(server.Run("xdotool windowmove " + window + " 1500 300"), 0);
    WaitUntil([&] { return Geometry(server, window).x == 1500; }, 4s, 50ms);
    ASSERT_EQ(Geometry(server, window), (ScreenBox{1500, 300, 313, 200}));
    ASSERT_EQ(server.Run("xdotool mousemove 1545 432 click 1"), 0);   // Test

    const std::string scene = server.WaitForWindow(dialog.Pid(), "ScrnFrm");
    ASSERT_FALSE(scene.empty());
    EXPECT_TRUE(WaitForFirstCycleFrame(server, 1280, 0, 1024, 768)) << "no frame of 1024 x 768 on monitor R";
    EXPECT_EQ(Geometry(server, scene), (ScreenBox{1280, 0, 1024, 768}));
}

} // namespace
