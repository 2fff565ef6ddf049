// The scene plan: the random choices and positions of the current cycle and the blink
// of the glowing eyes; its steps and its re-draw, which also places the particles.
#pragma once

#include "scene/FrameSize.h"

#include <array>
#include <cstdint>
#include <functional>

constexpr int CycleLength = 300;   // ticks between two re-draws of the plan
constexpr int StarCount = 100;
constexpr int RainCount = 250;

// The initial values make the scene of the first cycle.
struct ScenePlan {
    std::int32_t CycleCountdown = CycleLength;
    std::int32_t SkyIndex = 1;        // 1 to 5: Image1..Image5 and banner Image24..Image28
    std::int32_t CastleChoice = 1;    // 1: Image6, 2: Image7, other: none
    std::int32_t CastleShift = 0;     // pixels past the right edge
    std::int32_t BranchChoice = 1;    // 1: Image8, 2: Image9, other: none
    std::int32_t BranchShift = 0;     // pixels past the left edge
    std::int32_t TallTreeOn = 1;
    std::int32_t TallTreeX = 300;
    std::int32_t ShortTreeOn = 0;
    std::int32_t ShortTreeX = 600;
    std::int32_t Hill1On = 1;
    std::int32_t Hill1X = 200;
    std::int32_t Hill2On = 0;
    std::int32_t Hill2X = 1;
    std::int32_t Hill3On = 0;
    std::int32_t Hill3X = 1;
    std::int32_t EyesChoice = 1;      // 1 to 5: Image15..Image19, other: none
    std::int32_t EyesX = 100;
    std::int32_t EyesY = 200;         // the eyes are drawn 510 rows below this
    std::int32_t MoonOn = 1;
    std::int32_t MoonX = 600;
    std::int32_t MoonY = 200;
    std::int32_t FigureChoice = 0;    // 1: Image21, 2: Image22, 3: Image23, other: none
    std::int32_t FigureX = 100;
    std::int32_t StarsOn = 0;
    std::int32_t RainOn = 0;
    // The blink; the re-draw leaves these alone.
    std::int32_t EyesOpenCountdown = 10;
    std::int32_t EyesClosedCountdown = 2;

    bool operator==(const ScenePlan&) const = default;
};

struct Scene;

// Once per tick, after the eyes layer: counts down the open phase, and when the one
// closed frame has passed, starts a new open phase of 20 to 39 frames.
void StepEyes(Scene& scene);
// Once per tick, last: counts down the cycle and re-draws the plan when it runs out.
void StepCycle(Scene& scene, FrameSize size);
// Draws a new plan and new particles: 28 steps in a fixed order, W and H the frame's.
void RedrawPlan(Scene& scene, FrameSize size);

// For the measuring builds: runs at the end of every cycle step and may change the plan
// (the benchmarks hold the busiest plan with it). Like the clock, it is the process's.
// Replaces the hook and returns the old one; an empty function removes it.
using PlanHook = std::function<void(Scene&, FrameSize)>;
PlanHook SetPlanHook(PlanHook hook);
