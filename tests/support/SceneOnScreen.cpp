// The screen as the end-to-end tests read it.
#include "support/SceneOnScreen.h"

#include "support/WaitUntil.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <sstream>

#ifndef RENDER_FRAMES
#error "RENDER_FRAMES must name render-frames"
#endif

using namespace std::chrono_literals;

std::ostream& operator<<(std::ostream& out, const ScreenBox& r)
{
    return out << r.width << "x" << r.height << "+" << r.x << "+" << r.y;
}

ScreenBox Geometry(const XServer& server, const std::string& window)
{
    std::istringstream lines(server.Output("xdotool getwindowgeometry --shell " + window));
    ScreenBox r;
    std::string line;
    while (std::getline(lines, line)) {
        const auto eq = line.find('=');
        if (eq == std::string::npos)
            continue;
        const std::string key = line.substr(0, eq);
        const int value = std::atoi(line.c_str() + eq + 1);
        if (key == "X") r.x = value;
        if (key == "Y") r.y = value;
        if (key == "WIDTH") r.width = value;
        if (key == "HEIGHT") r.height = value;
    }
    return r;
}

const FirstCycle& FirstCycleFrames(int width, int height)
{
    static std::map<std::pair<int, int>, FirstCycle> made;
    FirstCycle& frames = made[{width, height}];
    if (frames.eyesOpen.width == 0) {
        const TempFolder out("veskan-frames");
        const std::string command = std::string(RENDER_FRAMES) + " --size " + std::to_string(width) + "x" +
                                    std::to_string(height) + " --start 12:00:00.000 --ticks 11 --save 1,11 --out " +
                                    out.Path().string() + " >/dev/null 2>&1";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        frames.eyesOpen = ReadPicture((out / "frame-000001.png").string());
        frames.eyesShut = ReadPicture((out / "frame-000011.png").string());
    }
    return frames;
}

bool WaitForFirstCycleFrame(const XServer& server, int left, int top, int width, int height)
{
    const FirstCycle& frames = FirstCycleFrames(width, height);
    const auto shows = [&](const Screenshot& s) {
        return s.Shows(left, top, frames.eyesOpen) || s.Shows(left, top, frames.eyesShut);
    };
    Screenshot shot;
    return WaitForScreen(server, shows, shot);
}

bool WaitForScreen(const XServer& server, const std::function<bool(const Screenshot&)>& condition, Screenshot& shot)
{
    return WaitUntil(
        [&] {
            shot = server.Shoot();
            return shot.width > 0 && condition(shot);
        },
        12s, 100ms);
}

void ExpectKeptThenEnded(const XServer& server, Program& saver, const std::string& keeping,
                         const std::string& ending, std::chrono::milliseconds deadline)
{
    ASSERT_EQ(server.Run("xdotool " + keeping), 0);
    int status = -1;
    EXPECT_FALSE(saver.WaitForExit(status, 700ms)) << "'" << keeping << "' ended the show";
    ASSERT_EQ(server.Run("xdotool " + ending), 0);
    ASSERT_TRUE(saver.WaitForExit(status, deadline)) << "'" << ending << "' did not end the show";
    EXPECT_EQ(status, 0);
}
