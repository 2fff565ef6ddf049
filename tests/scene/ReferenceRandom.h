// The scene's random generator written out again, independently of the scene's own:
// state * 134775813 + 1, the result the upper half of state * n.
#pragma once

#include <cstdint>

struct ReferenceRandom {
    std::uint32_t state;
    std::int32_t Below(std::int32_t n)
    {
        state = static_cast<std::uint32_t>(static_cast<std::uint64_t>(state) * 134775813ull + 1ull);
        return static_cast<std::int32_t>((static_cast<std::uint64_t>(state) * static_cast<std::uint64_t>(n)) >> 32);
    }
};
