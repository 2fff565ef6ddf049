// What the end-to-end tests look for on the screen: a window's geometry as the X
// server has it, and the scene's first-cycle frames as render-frames composes them.
#pragma once

#include "support/XServer.h"

#include <chrono>
#include <functional>
#include <ostream>
#include <string>

// An area of the screen in its pixels: a window's place and size.
struct ScreenBox {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const ScreenBox&) const = default;
};

std::ostream& operator<<(std::ostream& out, const ScreenBox& r);

// The window's position and size, by xdotool.
ScreenBox Geometry(const XServer& server, const std::string& window);

// The first-cycle frames of a screen size: tick 1 with the eyes open and tick 11
// with them shut for their one frame.
struct FirstCycle {
    Screenshot eyesOpen;
    Screenshot eyesShut;
};
const FirstCycle& FirstCycleFrames(int width, int height);

// Polls screenshots until the area at (left, top) shows one of the first-cycle frames
// of its size, pixel for pixel.
bool WaitForFirstCycleFrame(const XServer& server, int left, int top, int width, int height);

// Polls screenshots until one meets the condition (false after some seconds); the last
// one taken is left in shot.
bool WaitForScreen(const XServer& server, const std::function<bool(const Screenshot&)>& condition, Screenshot& shot);

// The rule of a show's input, each input an xdotool command: keeping leaves the show
// running (checked for 700 ms), then ending ends it, within the deadline, with exit
// status 0.
void ExpectKeptThenEnded(const XServer& server, Program& saver, const std::string& keeping,
                         const std::string& ending, std::chrono::milliseconds deadline = std::chrono::seconds(3));
