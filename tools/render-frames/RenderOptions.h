// The command line of render-frames: parsing and checking, and the clock of each tick.
#pragma once

#include <cstdint>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

struct RenderOptions {
    int width = 0;
    int height = 0;
    std::uint32_t startMs = 0;        // milliseconds since midnight UTC
    std::uint32_t ticks = 0;
    std::uint32_t stepMs = 100;
    std::set<std::uint32_t> saveList; // tick numbers, from 1
    std::uint32_t saveEvery = 0;      // 0: use saveList
    std::filesystem::path outDir;
    // A second scene of this size ticks after each tick of the first, at the same
    // clock reading, its frames dropped (0 x 0: none), as when one process draws on
    // two screens; the first scene's frames must not change.
    int besideWidth = 0;
    int besideHeight = 0;
};

// False with one line saying what is wrong.
bool ParseRenderOptions(const std::vector<std::string>& args, RenderOptions& options, std::string& problem);
// Makes the folder if it is missing and checks that files can be made in it.
bool PrepareOutputFolder(const std::filesystem::path& dir, std::string& problem);
// The clock of tick (from 1): start + (tick - 1) x step, wrapping at midnight.
std::uint32_t ClockReading(const RenderOptions& options, std::uint32_t tick);
bool IsSavedTick(const RenderOptions& options, std::uint32_t tick);
