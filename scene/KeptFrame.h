// KeptFrame: a scene's last frame and what turns it into the next within a cycle.
#pragma once

#include "platform/raster/Raster.h"
#include "platform/raster/FrameChanges.h"
#include "scene/RainUnder.h"
#include "scene/ScenePlan.h"

#include <array>
#include <cstdint>

struct KeptFrame {
    // On, as the program runs: the tick keeps the frame and redraws only what moves.
    // Off: every tick composes the whole frame anew in Frame.
    bool Keeping = true;
    Raster Frame{0, 0};
    // The rest describes the frame; false after a failure and until a whole
    // composition has succeeded.
    bool Valid = false;
    // What the frame was composed from.
    std::uint64_t CatalogueSerial = 0;
    ScenePlan Plan;
    std::array<std::int32_t, StarCount> StarX{};
    std::array<std::int32_t, StarCount> StarY{};
    // A still picture over the star's pixel; the grey the star shows in the frame.
    std::array<bool, StarCount> StarCovered{};
    std::array<Pixel, StarCount> StarShown{};
    bool EyesShown = false;
    RainUnder Rain;
    FrameChanges Changes;
};
