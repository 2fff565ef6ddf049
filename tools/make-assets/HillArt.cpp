// HillArt: each ridge runs out to nothing at both ends, so that it sits in the frame
// without a cut edge, and starts three pixels in from the left so that the
// bottom-left pixel stays the key colour.
#include "HillArt.h"

#include "Canvas.h"
#include "Outline.h"
#include "Rng.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

const QColor Key(0, 255, 0);

// 0 at both ends rising smoothly to 1 over `ramp` pixels.
double Ends(double x, double width, double ramp)
{
    const double d = std::min(x, width - x);
    if (d >= ramp)
        return 1;
    const double t = std::max(0.0, d / ramp);
    return t * t * (3 - 2 * t);
}

double Bump(double x, double centre, double halfWidth)
{
    const double t = (x - centre) / halfWidth;
    return std::abs(t) >= 1 ? 0 : std::cos(t * std::numbers::pi / 2);
}

// Small pine-like spikes along a ridge line: trees on the skyline.
void SkylineTrees(Canvas& c, Rng& rng, double from, double to, double base,
                  const std::function<double(double)>& height, double every)
{
    for (double x = from; x < to; x += rng.Uniform(every * 0.5, every * 1.5)) {
        const double y = base - height(x);
        const double h = rng.Uniform(6, 13);
        const double w = h * rng.Uniform(0.28, 0.4);
        c.Fill(QPolygonF({QPointF(x - w, y + 3), QPointF(x - w * 0.4, y - h * 0.45), QPointF(x - w * 0.7, y - h * 0.4),
                          QPointF(x, y - h), QPointF(x + w * 0.7, y - h * 0.4), QPointF(x + w * 0.4, y - h * 0.45),
                          QPointF(x + w, y + 3)}));
    }
}

} // namespace

QImage HillArt::Image12()
{
    const double w = 800;
    const double base = 174;
    Canvas c(800, 174, Key);
    Rng rng(12012);
    const auto rough = Outline::Noise(801, 70, 5, 0.5, rng);
    // A long low ridge with a round dome rising from its middle.
    auto height = [&](double x) {
        const double ridge = 38 + 10 * std::sin(x / 97);
        const double dome = 112 * std::pow(Bump(x, 430, 190), 1.6);
        const double r = rough[static_cast<size_t>(std::clamp(x, 0.0, 800.0))];
        return std::max(0.0, (ridge + dome + 5 * r) * Ends(x - 3, w - 3, 120));
    };
    c.Fill(Outline::Ridge(3, w, base, height, 2));
    SkylineTrees(c, rng, 60, 300, base, height, 16);
    SkylineTrees(c, rng, 560, 760, base, height, 14);
    return c.Finish();
}

QImage HillArt::Image13()
{
    const double w = 764;
    const double base = 174;
    Canvas c(764, 174, Key);
    Rng rng(13013);
    const auto rough = Outline::Noise(765, 40, 5, 0.55, rng);
    const double peak = 470;
    // Concave slopes up to one sharp peak, with a shoulder on the long left slope.
    auto height = [&](double x) {
        const double span = x < peak ? peak - 3 : w - peak;
        const double t = 1 - std::abs(x - peak) / span;
        const double slope = 166 * std::pow(std::max(0.0, t), 2.2);
        const double shoulder = 26 * Bump(x, 250, 70);
        const double r = rough[static_cast<size_t>(std::clamp(x, 0.0, w))] * (4 + 5 * t);
        return std::max(0.0, (slope + shoulder + r + 14) * Ends(x - 3, w - 3, 90));
    };
    QPolygonF ridge = Outline::Ridge(3, w, base, height, 2);
    c.Fill(ridge);
    // The summit itself: a crisp point above the rough slope.
    c.Fill(QPolygonF({QPointF(peak - 16, 22), QPointF(peak - 3, 3), QPointF(peak, 1), QPointF(peak + 4, 5),
                      QPointF(peak + 18, 24), QPointF(peak, 30)}));
    return c.Finish();
}

QImage HillArt::Image14()
{
    const double w = 800;
    const double base = 174;
    Canvas c(800, 174, Key);
    Rng rng(14014);
    const auto rough = Outline::Noise(801, 50, 5, 0.55, rng);
    // A rugged ridge between the spires.
    auto height = [&](double x) {
        const double ridge = 46 + 24 * Bump(x, 420, 260) + 8 * std::sin(x / 61);
        const double r = rough[static_cast<size_t>(std::clamp(x, 0.0, w))] * 9;
        return std::max(0.0, (ridge + r) * Ends(x - 3, w - 3, 140));
    };
    c.Fill(Outline::Ridge(3, w, base, height, 2));
    // Two rock spires: narrow, leaning towers of rock built of blocky, faceted steps,
    // rising from a shared rocky buttress.
    auto spire = [&](double x, double top, double baseWidth, double lean) {
        const double bottomY = base - height(x) + 14;
        std::vector<QPointF> left;
        std::vector<QPointF> right;
        const int steps = 9;
        for (int i = 0; i <= steps; ++i) {
            const double t = static_cast<double>(i) / steps; // 0 at the foot
            const double y = bottomY + (top - bottomY) * t;
            const double half = baseWidth / 2 * (1 - 0.78 * std::pow(t, 0.7));
            const double cx = x + lean * t * (bottomY - top);
            // Each step of rock juts out a little, then the face runs straight up.
            const double jut = rng.Uniform(0, 5.5) * (1 - 0.6 * t);
            left.emplace_back(cx - half - jut, y);
            left.emplace_back(cx - half + rng.Uniform(-1, 1.5), y - (bottomY - top) / steps * 0.6);
            right.emplace_back(cx + half + jut, y);
            right.emplace_back(cx + half + rng.Uniform(-1.5, 1), y - (bottomY - top) / steps * 0.6);
        }
        std::vector<QPointF> outline(left.begin(), left.end() - 1);
        outline.emplace_back(x + lean * (bottomY - top) - 1, top - 6);
        outline.insert(outline.end(), right.rbegin() + 1, right.rend());
        c.Fill(Outline::Jagged(outline, 1.8, 3, rng));
    };
    c.Fill(Outline::Jagged({{280, base - height(280) + 6}, {292, 104}, {316, 92}, {352, 96}, {384, 104},
                            {400, base - height(400) + 6}},
                           2.5, 5, rng));
    spire(318, 4, 48, 0.04);
    spire(372, 30, 38, -0.07);
    return c.Finish();
}
