// The screen as the end-to-end tests read it.
#include "SceneOnScreen.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>
#include <thread>
#include <unistd.h>

#ifndef RENDER_FRAMES
#error "RENDER_FRAMES must name render-frames"
#endif

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::ostream& operator<<(std::ostream& out, const Rect& r)
{
    return out << r.width << "x" << r.height << "+" << r.x << "+" << r.y;
}

Rect Geometry(const XServer& server, const std::string& window)
{
    std::istringstream lines(server.Output("xdotool getwindowgeometry --shell " + window));
    Rect r;
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
        char pattern[] = "/tmp/veskan-frames-XXXXXX";
        if (::mkdtemp(pattern) == nullptr)
            return frames;
        const fs::path out = pattern;
        const std::string command = std::string(RENDER_FRAMES) + " --size " + std::to_string(width) + "x" +
                                    std::to_string(height) + " --start 12:00:00.000 --ticks 11 --save 1,11 --out " +
                                    out.string() + " >/dev/null 2>&1";
        EXPECT_EQ(std::system(command.c_str()), 0) << command;
        frames.eyesOpen = ReadPicture((out / "frame-000001.png").string());
        frames.eyesShut = ReadPicture((out / "frame-000011.png").string());
        std::error_code ignored;
        fs::remove_all(out, ignored);
    }
    return frames;
}

bool WaitForFirstCycleFrame(const XServer& server, int left, int top, int width, int height)
{
    const FirstCycle& frames = FirstCycleFrames(width, height);
    for (int attempt = 0; attempt < 50; ++attempt) {
        const Screenshot shot = server.Shoot();
        if (shot.Shows(left, top, frames.eyesOpen) || shot.Shows(left, top, frames.eyesShut))
            return true;
        std::this_thread::sleep_for(100ms);
    }
    return false;
}
