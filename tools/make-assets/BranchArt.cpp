// BranchArt: both pictures are drawn from the frame's top-left corner; the pine
// trunk runs down the left edge to the bottom row, so Image8's bottom-left pixel is
// black, while the bare branches stay clear of Image9's bottom-left corner.
#include "BranchArt.h"

#include "Branching.h"
#include "Canvas.h"
#include "Outline.h"
#include "Rng.h"

#include <cmath>
#include <numbers>
#include <vector>

namespace {

// Pine needles along a twig from `a` to `b`: pairs of fine needles pointing forward
// and a little down, and a brush of needles fanning out at the tip.
void Needles(Canvas& c, Rng& rng, QPointF a, QPointF b, double needle)
{
    const double dx = b.x() - a.x();
    const double dy = b.y() - a.y();
    const double length = std::hypot(dx, dy);
    const double heading = std::atan2(dy, dx);
    for (double s = 2; s < length; s += 1.7) {
        const QPointF at(a.x() + dx * s / length, a.y() + dy * s / length);
        const double n = needle * rng.Uniform(0.7, 1.15) * (0.55 + 0.45 * s / length);
        for (int side = -1; side <= 1; side += 2) {
            const double angle = heading + side * rng.Uniform(0.6, 1.0) + 0.3;
            c.Hair(at, QPointF(at.x() + std::cos(angle) * n, at.y() + std::sin(angle) * n));
        }
    }
    for (int i = 0; i < 9; ++i) {
        const double angle = heading + (i - 4) * 0.2 + rng.Uniform(-0.05, 0.05);
        const double n = needle * rng.Uniform(0.9, 1.25);
        c.Hair(b, QPointF(b.x() + std::cos(angle) * n, b.y() + std::sin(angle) * n));
    }
}

// One pine bough from the trunk: a limb that rises, sags and lifts its tip again,
// with side twigs alternating above and below, every twig needled.
void Bough(Canvas& c, Rng& rng, QPointF base, double length, double rise, double sag, double width)
{
    const int steps = 40;
    std::vector<QPointF> path;
    for (int i = 0; i <= steps; ++i) {
        const double t = static_cast<double>(i) / steps;
        path.emplace_back(base.x() + length * t,
                          base.y() + length * (-rise * t + sag * t * t - 0.12 * std::pow(t, 6)) +
                              2 * std::sin(t * 9 + base.y()));
    }
    for (int i = 0; i < steps; ++i) {
        const double t = static_cast<double>(i) / steps;
        c.Limb(path[static_cast<size_t>(i)], path[static_cast<size_t>(i + 1)], width * (1 - 0.8 * t) + 1,
               width * (1 - 0.8 * (t + 1.0 / steps)) + 1);
    }
    int side = 1;
    for (int i = 4; i < steps; ++i) {
        const double t = static_cast<double>(i) / steps;
        const QPointF at = path[static_cast<size_t>(i)];
        const QPointF ahead = path[static_cast<size_t>(i + 1)];
        const double heading = std::atan2(ahead.y() - at.y(), ahead.x() - at.x());
        // Twigs fan out forwards and sag below the bough more than they rise above it.
        const double angle = heading + side * rng.Uniform(0.45, 0.85) + 0.28;
        const double twig = length * rng.Uniform(0.10, 0.16) * (1.2 - 0.55 * t);
        const QPointF end(at.x() + std::cos(angle) * twig, at.y() + std::sin(angle) * twig);
        c.Limb(at, end, 2.5, 1);
        Needles(c, rng, at, end, 12);
        if (rng.Chance(0.5)) {
            const QPointF mid((at.x() + end.x()) / 2, (at.y() + end.y()) / 2);
            const double subAngle = angle + side * rng.Uniform(0.4, 0.7);
            const QPointF subEnd(mid.x() + std::cos(subAngle) * twig * 0.5, mid.y() + std::sin(subAngle) * twig * 0.5);
            c.Hair(mid, subEnd);
            Needles(c, rng, mid, subEnd, 10);
        }
        side = -side;
    }
    for (int i = steps / 2; i < steps; ++i)
        Needles(c, rng, path[static_cast<size_t>(i)], path[static_cast<size_t>(i + 1)], 10);
    Needles(c, rng, path[steps - 1], path[steps], 13);
}

} // namespace

QImage BranchArt::Image8()
{
    Canvas c(500, 500, Qt::white);
    Rng rng(8008);
    // The trunk down the left edge, its right side rough with bark.
    std::vector<QPointF> bark;
    const auto wobble = Outline::Noise(501, 80, 3, 0.5, rng);
    for (int y = 0; y <= 500; y += 4)
        bark.emplace_back(20 + 5 * wobble[static_cast<size_t>(y)] + rng.Uniform(-1.2, 1.2), y);
    QPolygonF trunk;
    trunk << QPointF(-1, -1);
    for (const QPointF& p : bark)
        trunk << p;
    trunk << QPointF(-1, 501);
    c.Fill(trunk);
    // Boughs from the top down, each a different reach and sag.
    struct BoughPlace {
        double y, length, rise, sag, width;
    };
    const BoughPlace boughs[] = {{-6, 300, -0.05, 0.25, 10}, {52, 470, 0.08, 0.30, 13}, {150, 400, 0.10, 0.34, 12},
                           {236, 330, 0.06, 0.30, 11}, {318, 260, 0.10, 0.28, 10}, {392, 190, 0.08, 0.30, 9},
                           {450, 120, 0.04, 0.25, 8}};
    for (const BoughPlace& b : boughs)
        Bough(c, rng, QPointF(16, b.y), b.length, b.rise, b.sag, b.width);
    // Short stubs of broken twigs on the trunk.
    c.Limb(QPointF(18, 110), QPointF(40, 100), 5, 2);
    c.Limb(QPointF(18, 290), QPointF(36, 296), 4, 2);
    return c.Finish();
}

QImage BranchArt::Image9()
{
    Canvas c(500, 306, QColor(0, 255, 0));
    Rng rng(9009);
    BranchStyle style;
    style.LengthRatio = 0.74;
    style.WidthRatio = 0.7;
    style.Spread = 0.5;
    style.Jitter = 0.3;
    style.Bend = 0.22;
    style.Droop = 0.10;
    style.Taper = 0.7;
    style.Pieces = 3;
    style.SideChance = 0.6;
    Branching grow(c, rng, style);
    // A heavy limb out of the left edge, sagging across the picture, with hanging
    // side limbs; a thinner limb along the top.
    const std::vector<QPointF> limb{{-20, 30}, {60, 46}, {150, 70}, {240, 90}, {330, 122}, {410, 160}};
    const double widths[] = {38, 30, 24, 18, 13, 9};
    for (size_t i = 1; i < limb.size(); ++i)
        c.Limb(limb[i - 1], limb[i], widths[i - 1], widths[i]);
    grow.Grow(limb.back(), 0.55, 60, 9, 5);
    // Side limbs hanging from the heavy limb, each forking into twigs.
    const double hangAngles[] = {1.25, 0.95, 1.35, 0.85, 1.15};
    for (size_t i = 1; i < limb.size(); ++i) {
        const QPointF at = limb[i];
        grow.Grow(at, hangAngles[i - 1], 46 + 6.0 * static_cast<double>(i), widths[i] * 0.45, 5);
        grow.Grow(QPointF(at.x() - 20, at.y() - 6), -0.35, 50, widths[i] * 0.4, 4);
    }
    // The upper limb along the top edge.
    c.Limb(QPointF(-10, 0), QPointF(120, 6), 22, 14);
    c.Limb(QPointF(120, 6), QPointF(230, 4), 14, 9);
    grow.Grow(QPointF(230, 4), 0.15, 60, 8, 5);
    grow.Grow(QPointF(170, 6), 1.0, 55, 6, 5);
    return c.Finish();
}
