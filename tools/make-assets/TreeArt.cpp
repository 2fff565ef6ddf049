// TreeArt: both trees stand on the picture's bottom row (frame row 499), their trunks
// away from the left edge so that the bottom-left pixel stays the key colour.
#include "TreeArt.h"

#include "Branching.h"
#include "Canvas.h"
#include "Rng.h"

#include <cmath>
#include <numbers>
#include <vector>

namespace {

const QColor Key(0, 255, 0);
constexpr double Up = -std::numbers::pi / 2;

// A flared trunk foot with a few root spurs, centred on `x`, its bottom on `bottom`.
void Roots(Canvas& c, double x, double bottom, double width)
{
    c.Fill(QPolygonF({QPointF(x - width * 0.5, bottom - width * 1.4), QPointF(x - width * 0.75, bottom - width * 0.4),
                      QPointF(x - width * 1.5, bottom + 1), QPointF(x + width * 1.5, bottom + 1),
                      QPointF(x + width * 0.8, bottom - width * 0.3), QPointF(x + width * 0.5, bottom - width * 1.4)}));
}

} // namespace

QImage TreeArt::Image10()
{
    Canvas c(500, 365, Key);
    Rng rng(10010);
    const double bottom = 365;
    const double x = 246;
    // A short, thick, slightly leaning trunk.
    c.Limb(QPointF(x, bottom - 10), QPointF(x + 4, bottom - 90), 40, 34);
    c.Limb(QPointF(x + 4, bottom - 90), QPointF(x - 2, bottom - 150), 34, 28);
    Roots(c, x, bottom - 1, 30);
    c.Fill(QPolygonF({QPointF(x - 60, bottom), QPointF(x - 20, bottom - 10), QPointF(x + 30, bottom - 8),
                      QPointF(x + 70, bottom), QPointF(x + 70, bottom + 1), QPointF(x - 60, bottom + 1)}));
    BranchStyle style;
    style.LengthRatio = 0.76;
    style.WidthRatio = 0.72;
    style.Spread = 0.46;
    style.Jitter = 0.22;
    style.Bend = 0.2;
    style.Droop = 0.05;
    style.Taper = 0.68;
    style.Pieces = 3;
    style.SideChance = 0.55;
    Branching grow(c, rng, style);
    // Five main limbs spread wide from the crotch: two reaching out almost level,
    // three rising, for a crown broader than it is tall.
    const QPointF crotch(x - 2, bottom - 148);
    struct Main {
        double angle, length, width;
    };
    const Main limbs[] = {{Up - 1.18, 78, 20}, {Up - 0.62, 74, 20}, {Up + 0.04, 62, 18},
                          {Up + 0.62, 74, 20}, {Up + 1.20, 80, 20}};
    for (const Main& m : limbs)
        grow.Grow(crotch, m.angle, m.length, m.width, 6);
    // A low limb off the trunk.
    grow.Grow(QPointF(x + 6, bottom - 100), Up + 1.3, 52, 12, 5);
    return c.Finish();
}

QImage TreeArt::Image11()
{
    Canvas c(500, 500, Key);
    Rng rng(11011);
    const double cx = 250;
    const double bottom = 500;
    const double top = 6;
    // The trunk, tapering to the leader.
    c.Fill(QPolygonF({QPointF(cx - 9, bottom), QPointF(cx - 2, top + 10), QPointF(cx, top), QPointF(cx + 2, top + 10),
                      QPointF(cx + 9, bottom)}));
    Roots(c, cx, bottom - 1, 14);
    // Whorls of drooping branches, longer towards the foot, each hung with needles so
    // that its lower edge is ragged; gaps between the tiers let the sky through.
    const double firstY = 26;
    const double lastY = 432;
    for (double y = firstY; y <= lastY; y += rng.Uniform(15, 21)) {
        const double f = (y - top) / (lastY - top);
        for (int side = -1; side <= 1; side += 2) {
            const double reach = (16 + 205 * std::pow(f, 0.95)) * rng.Uniform(0.82, 1.06);
            const double lift = rng.Uniform(0.12, 0.3);
            const int steps = std::max(4, static_cast<int>(reach / 6));
            QPointF prev(cx, y);
            for (int i = 1; i <= steps; ++i) {
                const double t = static_cast<double>(i) / steps;
                // Out, a little up near the trunk, then sagging towards the tip.
                const QPointF p(cx + side * reach * t, y - reach * (lift * t - 0.42 * t * t) + rng.Uniform(-1, 1));
                c.Limb(prev, p, 5 * (1 - t) + 1.5, 5 * (1 - t) + 1);
                // Needles hang from the branch, longest near the trunk.
                const double hang = (6 + 18 * (1 - t)) * (0.6 + 0.5 * f) * rng.Uniform(0.7, 1.2);
                for (int k = 0; k < 3; ++k) {
                    const QPointF at(prev.x() + (p.x() - prev.x()) * k / 3.0, prev.y() + (p.y() - prev.y()) * k / 3.0);
                    const double tilt = side * rng.Uniform(0.15, 0.6);
                    c.Limb(at, QPointF(at.x() + std::sin(tilt) * hang, at.y() + std::cos(tilt) * hang), 2.2, 1);
                    c.Hair(at, QPointF(at.x() + side * hang * 0.5, at.y() - hang * 0.35));
                }
                prev = p;
            }
            // A brushy tip.
            for (int k = 0; k < 6; ++k) {
                const double a = (side > 0 ? 0.0 : std::numbers::pi) + rng.Uniform(-0.9, 0.9);
                c.Hair(prev, QPointF(prev.x() + std::cos(a) * 8, prev.y() + std::sin(a) * 8));
            }
        }
    }
    return c.Finish();
}
