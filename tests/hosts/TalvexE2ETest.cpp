// talvex on a real X server: on a window the test makes (followed as it is resized,
// ended when it is destroyed), on the root window ended by SIGTERM or SIGINT mid-tick,
// its one-line failures, its own window, and under the real xscreensaver daemon.
#include "support/ScreenSaverHosts.h"
#include "support/Unprivileged.h"
#include "support/XServer.h"
#include "support/WaitUntil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#ifndef TALVEX
#error "TALVEX must name the built talvex program"
#endif

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

struct Box {
    int x, y, width, height;
    bool Holds(int px, int py) const { return px >= x && px < x + width && py >= y && py < y + height; }
};

// The first scene's frame, width x height, at the screen's top-left corner, as the
// scene draws it: sky Image1 (2000 wide) along the top row ((65, 64, 255) within the
// JPEG's error) to the right edge or its own; the banner's blue lettering in its box 329 from the right and 42
// from the bottom edge; below row 510 nothing but the banner and the eyes (at (100,
// 710), where the frame is tall enough) on black.
bool ShowsFirstScene(const Screenshot& shot, int width, int height)
{
    if (shot.width < width || shot.height < height)
        return false;
    const int skyRight = std::min(width, 2000);
    for (const int x : {skyRight - 1, skyRight - 60})
        if (!Near(shot.At(x, 0), Rgb8{65, 64, 255}, 12))
            return false;
    const Box banner{width - 329, height - 42, 328, 41};
    int lettering = 0;
    for (int y = banner.y; y < banner.y + banner.height; ++y)
        for (int x = banner.x; x < banner.x + banner.width; ++x) {
            const Rgb8 p = shot.At(x, y);
            lettering += p.b >= 100 && p.b > p.r + 60 && p.b > p.g + 60 ? 1 : 0;
        }
    if (lettering < 60)
        return false;
    const Box eyes{100, 710, 160, 50};
    for (int y = 510; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            if (banner.Holds(x, y) || eyes.Holds(x, y))
                continue;
            const Rgb8 p = shot.At(x, y);
            if (p.r != 0 || p.g != 0 || p.b != 0)
                return false;
        }
    return true;
}

bool WaitForScene(const XServer& server, int width, int height, std::chrono::milliseconds deadline)
{
    return WaitUntil([&] { return ShowsFirstScene(server.Shoot(), width, height); }, deadline, 50ms);
}

// The first TrueColor visual of this depth on the screen; 0 when there is none.
xcb_visualid_t VisualOfDepth(const xcb_screen_t* screen, int depth)
{
    for (auto depths = xcb_screen_allowed_depths_iterator(screen); depths.rem > 0; xcb_depth_next(&depths)) {
        if (depths.data->depth != depth)
            continue;
        for (auto visuals = xcb_depth_visuals_iterator(depths.data); visuals.rem > 0; xcb_visualtype_next(&visuals))
            if (visuals.data->_class == XCB_VISUAL_CLASS_TRUE_COLOR)
                return visuals.data->visual_id;
    }
    return 0;
}

// A window of the test's own on the server, for talvex --window-id: of the root's
// depth, or of depth 32 (an ARGB visual, with a colormap of its own).
class TestWindow {
public:
    TestWindow(const XServer& server, int width, int height, bool depth32 = false)
    {
        m_c = xcb_connect(server.Display().c_str(), nullptr);
        if (xcb_connection_has_error(m_c))
            return;
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(m_c)).data;
        m_window = xcb_generate_id(m_c);
        const auto w = static_cast<std::uint16_t>(width);
        const auto h = static_cast<std::uint16_t>(height);
        if (depth32) {
            const xcb_visualid_t visual = VisualOfDepth(screen, 32);
            if (visual == 0) {
                m_window = 0;
                return;
            }
            const xcb_colormap_t colormap = xcb_generate_id(m_c);
            xcb_create_colormap(m_c, XCB_COLORMAP_ALLOC_NONE, colormap, screen->root, visual);
            // In the order of their bits: border pixel, override-redirect, colormap.
            const std::uint32_t values[] = {0, 1, colormap};
            xcb_create_window(m_c, 32, m_window, screen->root, 0, 0, w, h, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, visual,
                              XCB_CW_BORDER_PIXEL | XCB_CW_OVERRIDE_REDIRECT | XCB_CW_COLORMAP, values);
        } else {
            const std::uint32_t overrideRedirect = 1;
            xcb_create_window(m_c, XCB_COPY_FROM_PARENT, m_window, screen->root, 0, 0, w, h, 0,
                              XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_OVERRIDE_REDIRECT,
                              &overrideRedirect);
        }
        xcb_map_window(m_c, m_window);
        Sync();
    }
    ~TestWindow() { xcb_disconnect(m_c); }
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    std::string Id() const { return std::to_string(m_window); }
    void Resize(int width, int height)
    {
        const std::uint32_t size[] = {static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height)};
        xcb_configure_window(m_c, m_window, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, size);
        Sync();
    }
    void Destroy()
    {
        xcb_destroy_window(m_c, m_window);
        Sync();
    }
    // Paints the whole window white, as another client drawing on it would.
    void PaintWhite(int width, int height)
    {
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(m_c)).data;
        const xcb_gcontext_t gc = xcb_generate_id(m_c);
        xcb_create_gc(m_c, gc, m_window, XCB_GC_FOREGROUND, &screen->white_pixel);
        const xcb_rectangle_t all{0, 0, static_cast<std::uint16_t>(width), static_cast<std::uint16_t>(height)};
        xcb_poly_fill_rectangle(m_c, m_window, gc, 1, &all);
        xcb_free_gc(m_c, gc);
        Sync();
    }

private:
    void Sync() { std::free(xcb_get_input_focus_reply(m_c, xcb_get_input_focus(m_c), nullptr)); }

    xcb_connection_t* m_c = nullptr;
    xcb_window_t m_window = 0;
};

ProgramSetup Capturing(std::vector<std::string> environment = {})
{
    return ProgramSetup{std::move(environment), true};
}

class TalvexOnX : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(server.Started()) << "Xvfb did not start"; }

    // Waits for the exit; then no shared segment of it may be left once the server has
    // let go of its connection.
    static void ExpectCleanExit(Program& talvex, std::chrono::milliseconds deadline)
    {
        int status = -1;
        ASSERT_TRUE(talvex.WaitForExit(status, deadline)) << "talvex did not end";
        EXPECT_EQ(status, 0) << talvex.Errors();
        EXPECT_TRUE(WaitUntil([&] { return SegmentsMadeBy(talvex.Pid()) == 0; }, 2s)) << "a shared segment was left";
    }

    XServer server;
};

TEST_F(TalvexOnX, FollowsTheSizeOfItsWindowAndEndsWhenTheWindowIsDestroyed)
{
    TestWindow window(server, 800, 600);
    Program talvex(server, TALVEX, {"--window-id", window.Id()}, Capturing());
    ASSERT_TRUE(WaitForScene(server, 800, 600, 3s)) << talvex.Errors();
    EXPECT_EQ(SegmentsMadeBy(talvex.Pid()), 1) << "not drawn through a shared segment";

    window.Resize(1000, 700);
    EXPECT_TRUE(WaitForScene(server, 1000, 700, 3s)) << "the frames did not follow the new size";

    window.Destroy();
    ExpectCleanExit(talvex, 2s);
}

TEST_F(TalvexOnX, DrawsOnAWindowOfDepth32)
{
    TestWindow window(server, 800, 600, true);
    ASSERT_NE(window.Id(), "0") << "the server offers no 32-bit TrueColor visual";
    Program talvex(server, TALVEX, {"--window-id", window.Id()}, Capturing());
    EXPECT_TRUE(WaitForScene(server, 800, 600, 3s)) << talvex.Errors();
}

// A screen of 16 bits: no visual talvex can draw on.
TEST(TalvexOnA16BitScreen, SaysTheVisualIsNotOneItDrawsOn)
{
    const XServer server(XServerSetup{"640x480x16"});
    ASSERT_TRUE(server.Started()) << "Xvfb did not start";
    Program talvex(server, TALVEX, {"--root"}, Capturing({"XSCREENSAVER_WINDOW"}));
    int status = -1;
    ASSERT_TRUE(talvex.WaitForExit(status, 5s));
    EXPECT_EQ(status, 2);
    EXPECT_NE(talvex.Errors().find("has a TrueColor visual of depth 16"), std::string::npos) << talvex.Errors();
}

// Only what changed goes to the window from tick to tick, but the whole frame once a
// second, so that another client's drawing over the window does not stay.
TEST_F(TalvexOnX, RestoresTheWholeFrameWithinASecondOfAnotherClientDrawingOverIt)
{
    TestWindow window(server, 800, 600);
    Program talvex(server, TALVEX, {"--window-id", window.Id()}, Capturing());
    ASSERT_TRUE(WaitForScene(server, 800, 600, 3s)) << talvex.Errors();
    // The white may be gone before a screenshot could see it: a whole frame may come
    // at once. With no whole frames at all, it stays (and this fails).
    window.PaintWhite(800, 600);
    EXPECT_TRUE(WaitForScene(server, 800, 600, 1500ms)) << "the frame was not put whole again";
}

TEST_F(TalvexOnX, EndsOnSigtermOrSigintArrivingDuringATick)
{
    for (const int signal : {SIGTERM, SIGINT}) {
        SCOPED_TRACE(signal);
        Program talvex(server, TALVEX, {"--root"}, Capturing({"XSCREENSAVER_WINDOW"}));
        ASSERT_TRUE(WaitUntil([&] { return SegmentsMadeBy(talvex.Pid()) == 1; }, 3s)) << talvex.Errors();
        // Between ticks it sleeps in poll; seen running, it is in a tick.
        ASSERT_TRUE(WaitUntil([&] { return ProcessState(talvex.Pid()) == 'R'; }, 5s, 0ms)) << "never seen running";
        ASSERT_GT(talvex.Pid(), 0);
        kill(talvex.Pid(), signal);
        ExpectCleanExit(talvex, 300ms);
    }
}

// A display reached over TCP is taken as remote: no shared memory, plain image
// requests, here a frame larger than the largest request (16 MiB), so in bands.
TEST(TalvexOnARemoteDisplay, DrawsThroughPlainImageRequestsInBands)
{
    const XServer server(XServerSetup{"2560x1700x24", true, true});
    ASSERT_TRUE(server.Started()) << "Xvfb did not start";
    Program talvex(server, TALVEX, {"--root"}, Capturing({"DISPLAY=127.0.0.1" + server.Display()}));
    EXPECT_TRUE(WaitForScene(server, 2560, 1700, 5s)) << talvex.Errors();
    EXPECT_EQ(SegmentsMadeBy(talvex.Pid()), 0);
    ASSERT_GT(talvex.Pid(), 0);
    kill(talvex.Pid(), SIGTERM);
    int status = -1;
    ASSERT_TRUE(talvex.WaitForExit(status, 2s));
    EXPECT_EQ(status, 0);
}

TEST_F(TalvexOnX, SaysWhatIsWrongInOneLine)
{
    struct Case {
        std::vector<std::string> args;
        std::vector<std::string> environment;
        int status;
        const char* named;
    };
    const Case cases[] = {
        {{"--root"}, {"XSCREENSAVER_WINDOW=0xZZ"}, 2, "bad XSCREENSAVER_WINDOW \"0xZZ\""},
        {{"--root"}, {"XSCREENSAVER_WINDOW=0x1fffffff"}, 2, "window 0x1fffffff does not exist"},
        {{"--window-id", "536870911"}, {}, 2, "window 0x1fffffff does not exist"},
        {{"--root"}, {"DISPLAY"}, 1, "DISPLAY is not set"},
        {{"--window-id", "4194312"}, {"DISPLAY=:65000"}, 1, "cannot connect to the display \":65000\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.named);
        Program talvex(server, TALVEX, c.args, Capturing(c.environment));
        int status = -1;
        ASSERT_TRUE(talvex.WaitForExit(status, 5s));
        EXPECT_EQ(status, c.status);
        const std::string errors = talvex.Errors();
        EXPECT_TRUE(errors.starts_with("talvex: ")) << errors;
        EXPECT_NE(errors.find(c.named), std::string::npos) << errors;
        EXPECT_EQ(std::count(errors.begin(), errors.end(), '\n'), 1) << errors;
        EXPECT_TRUE(errors.ends_with('\n'));
    }
}

TEST_F(TalvexOnX, OpensAWindowOfItsOwnThatEscapeCloses)
{
    Program talvex(server, TALVEX, {}, Capturing());
    std::string window;
    ASSERT_TRUE(WaitUntil(
        [&] {
            std::istringstream ids(server.Output("xdotool search --all --pid " + std::to_string(talvex.Pid()) +
                                                 " --name '^Talvex$'"));
            return static_cast<bool>(ids >> window);
        },
        3s, 50ms))
        << talvex.Errors();
    EXPECT_NE(server.Output("xdotool getwindowgeometry " + window).find("Geometry: 1024x768"), std::string::npos);
    ASSERT_TRUE(WaitForScene(server, 1024, 768, 3s));
    ASSERT_EQ(server.Run("xdotool windowfocus --sync " + window + " key Escape"), 0);
    ExpectCleanExit(talvex, 2s);
}

bool Running(pid_t pid)
{
    return kill(pid, 0) == 0;
}

TEST_F(TalvexOnX, IdleShowsTheSceneOverTheScreenAfterTheIdleTimeUntilInputAndAgain)
{
    // 0.05 minutes: 3 s.
    Program watch(server, TALVEX, {"--idle", "0.05"}, Capturing());
    const pid_t first = WaitForOnlyChild(watch.Pid(), 10s);
    ASSERT_NE(first, 0) << watch.Errors();
    ASSERT_TRUE(WaitForScene(server, 1280, 1024, 5s)) << watch.Errors();
    // 5 pixels on either axis keep the show, the 6th ends it.
    ASSERT_EQ(server.Run("xdotool mousemove_relative -- 5 -5"), 0);
    EXPECT_FALSE(WaitUntil([&] { return !Running(first); }, 700ms)) << "a move of 5 pixels ended it";
    ASSERT_EQ(server.Run("xdotool mousemove_relative -- 1 0"), 0);
    EXPECT_TRUE(WaitUntil([&] { return ChildrenOf(watch.Pid()).empty(); }, 3s));
    // After the next idle spell, again; a key ends it.
    const pid_t second = WaitForOnlyChild(watch.Pid(), 10s);
    ASSERT_NE(second, 0) << watch.Errors();
    ASSERT_TRUE(WaitForScene(server, 1280, 1024, 5s)) << watch.Errors();
    ASSERT_EQ(server.Run("xdotool key x"), 0);
    EXPECT_TRUE(WaitUntil([&] { return ChildrenOf(watch.Pid()).empty(); }, 3s));
    // SIGTERM while a show runs ends both.
    const pid_t third = WaitForOnlyChild(watch.Pid(), 10s);
    ASSERT_NE(third, 0) << watch.Errors();
    kill(watch.Pid(), SIGTERM);
    int status = -1;
    ASSERT_TRUE(watch.WaitForExit(status, 8s));
    EXPECT_EQ(status, 0) << watch.Errors();
    EXPECT_FALSE(Running(third));
}

// Under the real host: xscreensaver's daemon on a private Xvfb and a private HOME
// whose settings list only this build's talvex --root, by its full name.
TEST(TalvexUnderXscreensaver, ActivateShowsTheSceneAndDeactivateEndsIt)
{
    const XServer server{XServerSetup{"1280x1024x24", true}};
    ASSERT_TRUE(server.Started()) << "Xvfb did not start";
    // The daemon's user reads the program and its settings from here.
    const TempFolder dir{"talvex-host"};
    dir.OpenToOthers();
    const fs::path program = dir / "talvex";
    fs::copy_file(TALVEX, program);
    fs::create_directory(dir / "home");
    const UserIds user = UnprivilegedUser();
    ASSERT_EQ(::chown((dir / "home").c_str(), user.uid, user.gid), 0);
    ExpectXscreensaverRunsTalvex(server, dir / "home", program.string() + " --root", program,
                                 [&] { return WaitForScene(server, 1280, 1024, 2s); });
}

} // namespace
