// Scene: one night scene's lasting state, handed to every step of a tick: the plan of
// the cycle, the star and rain particles, the random source and the kept frame. A scene
// made fresh is in the state of a process that has just started, and its first tick
// shows the first cycle's frame. Each window that shows the scene has one of its own.
#pragma once

#include "scene/KeptFrame.h"
#include "scene/RandomSource.h"
#include "scene/ScenePlan.h"

#include <array>
#include <cstdint>

struct Scene {
    ScenePlan Plan;
    // The particles, 0 in a fresh scene and first filled by the re-draw.
    std::array<std::int32_t, StarCount> StarX{};
    std::array<std::int32_t, StarCount> StarY{};
    std::array<std::int32_t, StarCount> StarLevel{};
    std::array<std::int32_t, RainCount> RainX{};
    std::array<std::int32_t, RainCount> RainY{};
    std::array<std::int32_t, RainCount> RainSpeed{};
    RandomSource Random;
    KeptFrame Kept;
};
