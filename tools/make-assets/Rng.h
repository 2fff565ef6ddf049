// Rng: a small seeded random source, so that every run of make-assets draws the same artwork.
#pragma once

#include <cstdint>

class Rng {
public:
    explicit Rng(std::uint32_t seed) : m_state(seed != 0 ? seed : 0x9E3779B9u) {}

    // The next raw 32-bit value (xorshift32).
    std::uint32_t Next();
    // A value in [lo, hi).
    double Uniform(double lo, double hi);
    // An integer in [lo, hi].
    int Between(int lo, int hi);
    // True with the given probability.
    bool Chance(double probability);

private:
    std::uint32_t m_state;
};
