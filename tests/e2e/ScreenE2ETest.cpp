// The screen window on a real X server: full screen, the first frame of the scene,
// the hidden cursor, and the inputs that end the show (exit status 0) or do not.
#include "XServer.h"

#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <thread>

#ifndef SCREEN_HARNESS
#error "SCREEN_HARNESS must name the harness program"
#endif

namespace {

using namespace std::chrono_literals;

// The harness's report once the window is maximized.
struct ShownState {
    int x = -1, y = -1, width = 0, height = 0;
    int cursorCount = 0;
    int cursorHidden = 0;
    int keyed = -1;
};

bool ParseShown(const std::string& line, ShownState& s)
{
    std::istringstream in(line);
    std::string word;
    return static_cast<bool>(in >> word >> s.x >> s.y >> s.width >> s.height >> s.cursorCount >> s.cursorHidden >> s.keyed) &&
           word == "shown";
}

bool Near(Rgb8 p, Rgb8 expected, int tolerance)
{
    return std::abs(p.r - expected.r) <= tolerance && std::abs(p.g - expected.g) <= tolerance &&
           std::abs(p.b - expected.b) <= tolerance;
}

std::string Describe(Rgb8 p)
{
    return "(" + std::to_string(p.r) + "," + std::to_string(p.g) + "," + std::to_string(p.b) + ")";
}

class ScreenOnX : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(server.Started()) << "Xvfb did not start";
        // The pointer at a known place before the show takes its start position.
        ASSERT_EQ(server.Run("xdotool mousemove 640 512"), 0);
        harness = std::make_unique<Program>(server, SCREEN_HARNESS);
        ASSERT_GT(harness->Pid(), 0);
        const std::string line = harness->WaitForLine("shown", 15s);
        ASSERT_TRUE(ParseShown(line, shown)) << "harness said: " << harness->Output();
    }

    bool StillRunningAfter(std::chrono::milliseconds wait)
    {
        int status = 0;
        return !harness->WaitForExit(status, wait);
    }

    void ExpectEndsWithStatusZero()
    {
        int status = -1;
        ASSERT_TRUE(harness->WaitForExit(status, 5s)) << "the show did not end";
        EXPECT_EQ(status, 0);
        // At the end the window was hidden, so FormHide showed the cursor again.
        EXPECT_NE(harness->Output().find("ended 0 0"), std::string::npos) << harness->Output();
    }

    XServer server;
    std::unique_ptr<Program> harness;
    ShownState shown;
};

TEST_F(ScreenOnX, CoversTheScreenWithTheCursorHidden)
{
    EXPECT_EQ(shown.x, 0);
    EXPECT_EQ(shown.y, 0);
    EXPECT_EQ(shown.width, 1280);
    EXPECT_EQ(shown.height, 1024);
    EXPECT_EQ(shown.cursorCount, -1);
    EXPECT_EQ(shown.cursorHidden, 1);
    // No compositing manager runs on a bare Xvfb: the window shows without its key.
    EXPECT_EQ(shown.keyed, 0);
    // The X server sees the window at the origin, at full size.
    std::istringstream windows(server.Output("xdotool search --onlyvisible --pid " + std::to_string(harness->Pid())));
    std::string window;
    ASSERT_TRUE(static_cast<bool>(windows >> window)) << "no visible window of the harness";
    const std::string geometry = server.Output("xdotool getwindowgeometry " + window);
    EXPECT_NE(geometry.find("Position: 0,0"), std::string::npos) << geometry;
    EXPECT_NE(geometry.find("Geometry: 1280x1024"), std::string::npos) << geometry;
}

TEST_F(ScreenOnX, ScreenshotShowsTheFirstFrame)
{
    // Sky Image1 over rows 0 to 499: (65, 64, 255) on row 0, (30, 30, 188) on row 100.
    // The columns from 850 on lie right of the tall tree and above the castle.
    const int skyColumns[] = {850, 1000, 1100, 1250};
    Screenshot shot;
    const auto skyShown = [&] {
        shot = server.Shoot();
        return shot.width == 1280 && shot.height == 1024 && Near(shot.At(1000, 0), Rgb8{65, 64, 255}, 12);
    };
    bool found = false;
    for (int attempt = 0; attempt < 50 && !(found = skyShown()); ++attempt)
        std::this_thread::sleep_for(100ms);
    ASSERT_TRUE(found) << "no sky at (1000, 0): " << (shot.width ? Describe(shot.At(1000, 0)) : "no screenshot");
    for (int x : skyColumns) {
        EXPECT_TRUE(Near(shot.At(x, 0), Rgb8{65, 64, 255}, 12)) << x << " row 0: " << Describe(shot.At(x, 0));
        EXPECT_TRUE(Near(shot.At(x, 100), Rgb8{30, 30, 188}, 12)) << x << " row 100: " << Describe(shot.At(x, 100));
    }
    // Below row 510 nothing is drawn except the eyes at (100, 710) and the banner:
    // exact black.
    const int blackPoints[][2] = {{640, 600}, {400, 900}, {1200, 700}, {20, 1000}, {940, 1000}, {1100, 960}};
    for (const auto& p : blackPoints)
        EXPECT_EQ(shot.At(p[0], p[1]).r + shot.At(p[0], p[1]).g + shot.At(p[0], p[1]).b, 0)
            << p[0] << "," << p[1] << ": " << Describe(shot.At(p[0], p[1]));
    // The banner Image24 at (1280 - 329, 1024 - 42), 328 x 41: blue lettering on black,
    // so its place on the screen also proves the window's full size.
    int lettering = 0;
    for (int y = 982; y < 1023; ++y) {
        for (int x = 951; x < 1279; ++x)
            lettering += shot.At(x, y).b > 100;
    }
    EXPECT_GT(lettering, 100);
    int outside = 0;
    for (int y = 982; y < 1023; ++y) {
        for (int x = 600; x < 950; ++x)
            outside += shot.At(x, y).b > 100;
    }
    EXPECT_EQ(outside, 0);
    // The one-pixel margin right and below the banner stays black.
    EXPECT_EQ(shot.At(1279, 1000).b, 0);
    EXPECT_EQ(shot.At(1100, 1023).b, 0);
}

struct MoveCase {
    const char* name;
    const char* within;   // mousemove_relative that stays within 5 pixels
    const char* beyond;   // the step that makes 6 on one axis
};

void PrintTo(const MoveCase& c, std::ostream* os)
{
    *os << c.name;
}

class PointerOnX : public ScreenOnX, public ::testing::WithParamInterface<MoveCase> {};

const MoveCase MoveCases[] = {
    {"RightDown", "5 5", "1 0"},
    {"LeftUp", "-- -5 -5", "-- 0 -1"},
};

TEST_P(PointerOnX, FivePixelsKeepTheShowSixEndIt)
{
    ASSERT_EQ(server.Run(std::string("xdotool mousemove_relative ") + GetParam().within), 0);
    EXPECT_TRUE(StillRunningAfter(1s));
    ASSERT_EQ(server.Run(std::string("xdotool mousemove_relative ") + GetParam().beyond), 0);
    ExpectEndsWithStatusZero();
}

INSTANTIATE_TEST_SUITE_P(Moves, PointerOnX, ::testing::ValuesIn(MoveCases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

TEST_F(ScreenOnX, ButtonsAndWheelKeepTheShowAKeyPressEndsIt)
{
    ASSERT_EQ(server.Run("xdotool click 1 click 3 click 4 click 5"), 0);
    EXPECT_TRUE(StillRunningAfter(1s));
    ASSERT_EQ(server.Run("xdotool key a"), 0);
    ExpectEndsWithStatusZero();
}

} // namespace
