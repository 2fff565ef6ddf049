// Rng: xorshift32; the artwork depends on its exact sequence, so it never changes.
#include "Rng.h"

std::uint32_t Rng::Next()
{
    m_state ^= m_state << 13;
    m_state ^= m_state >> 17;
    m_state ^= m_state << 5;
    return m_state;
}

double Rng::Uniform(double lo, double hi)
{
    return lo + (hi - lo) * (static_cast<double>(Next()) / 4294967296.0);
}

int Rng::Between(int lo, int hi)
{
    return lo + static_cast<int>(Next() % static_cast<std::uint32_t>(hi - lo + 1));
}

bool Rng::Chance(double probability)
{
    return Uniform(0.0, 1.0) < probability;
}
