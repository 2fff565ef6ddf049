// Branching: each limb is a few straight tapered pieces with small random turns, so it
// looks grown rather than ruled; it ends in a fork of two or three children.
#include "Branching.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

double TowardsDown(double angle, double amount)
{
    // The signed turn from `angle` to straight down, in (-pi, pi].
    double diff = std::numbers::pi / 2 - angle;
    while (diff > std::numbers::pi)
        diff -= 2 * std::numbers::pi;
    while (diff <= -std::numbers::pi)
        diff += 2 * std::numbers::pi;
    const double pull = amount * std::abs(std::cos(angle));
    if (amount >= 0)
        return angle + std::clamp(diff, -pull, pull);
    // A negative amount lifts the limb towards straight up.
    double up = -std::numbers::pi / 2 - angle;
    while (up > std::numbers::pi)
        up -= 2 * std::numbers::pi;
    while (up <= -std::numbers::pi)
        up += 2 * std::numbers::pi;
    return angle + std::clamp(up, pull, -pull);
}

} // namespace

void Branching::Grow(QPointF start, double angle, double length, double width, int depth)
{
    const BranchStyle& s = m_style;
    const double endWidth = std::max(1.0, width * s.Taper);
    QPointF at = start;
    double heading = angle;
    const int pieces = std::max(1, s.Pieces);
    for (int i = 0; i < pieces; ++i) {
        const double w0 = width + (endWidth - width) * i / pieces;
        const double w1 = width + (endWidth - width) * (i + 1) / pieces;
        const double step = length / pieces;
        const QPointF next(at.x() + std::cos(heading) * step, at.y() + std::sin(heading) * step);
        m_canvas.Limb(at, next, w0, w1);
        at = next;
        if (depth > 0 && i == pieces / 2 && m_rng.Chance(s.SideChance)) {
            const double side = m_rng.Chance(0.5) ? 1.0 : -1.0;
            Grow(at, heading + side * (s.Spread + m_rng.Uniform(0, s.Jitter)), length * s.LengthRatio * 0.7,
                 w1 * s.WidthRatio * 0.8, depth - 2);
        }
        heading = TowardsDown(heading + m_rng.Uniform(-s.Bend, s.Bend), s.Droop);
    }
    if (depth <= 0)
        return;
    const int children = m_rng.Chance(0.3) ? 3 : 2;
    const double childWidth = std::max(1.0, endWidth * s.WidthRatio);
    if (children == 2) {
        const double lean = m_rng.Uniform(-s.Jitter, s.Jitter);
        Grow(at, heading - s.Spread * m_rng.Uniform(0.6, 1.1) + lean,
             length * s.LengthRatio * m_rng.Uniform(0.8, 1.1), childWidth, depth - 1);
        Grow(at, heading + s.Spread * m_rng.Uniform(0.6, 1.1) + lean,
             length * s.LengthRatio * m_rng.Uniform(0.8, 1.1), childWidth, depth - 1);
    } else {
        Grow(at, heading - s.Spread + m_rng.Uniform(-s.Jitter, s.Jitter), length * s.LengthRatio * 0.9, childWidth,
             depth - 1);
        Grow(at, heading + m_rng.Uniform(-s.Jitter, s.Jitter), length * s.LengthRatio, childWidth * 1.1, depth - 1);
        Grow(at, heading + s.Spread + m_rng.Uniform(-s.Jitter, s.Jitter), length * s.LengthRatio * 0.9, childWidth,
             depth - 1);
    }
}
