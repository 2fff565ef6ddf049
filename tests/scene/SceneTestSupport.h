// Shared pieces of the scene tests: a fresh process-start state (no kept frame), a
// window of a chosen client size, and an independent model of the random generator.
#pragma once

#include "scene/ClientSize.h"
#include "scene/RandomSource.h"
#include "scene/ScenePlan.h"
#include "scene/Tick.h"

#include <cstdint>

// The state of the process at start, as each test begins from.
inline void ResetSceneState()
{
    RandomState = 0;
    Plan = ScenePlan{};
    StarX.fill(0);
    StarY.fill(0);
    StarLevel.fill(0);
    RainX.fill(0);
    RainY.fill(0);
    RainSpeed.fill(0);
    SetClockFunction({});
    // The kept frame is forgotten: the next tick composes the whole frame.
    SetFrameKeeping(true);
}

struct FixedWindow : IClientSize {
    FixedWindow(int w, int h) : width(w), height(h) {}
    int ClientWidth() const override { return width; }
    int ClientHeight() const override { return height; }
    int width;
    int height;
};

// The generator written out again: state * 134775813 + 1, result the upper half of
// state * n.
struct ReferenceRandom {
    std::uint32_t state;
    std::int32_t Below(std::int32_t n)
    {
        state = static_cast<std::uint32_t>(static_cast<std::uint64_t>(state) * 134775813ull + 1ull);
        return static_cast<std::int32_t>((static_cast<std::uint64_t>(state) * static_cast<std::uint64_t>(n)) >> 32);
    }
};
