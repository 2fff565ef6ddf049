// MoonArt: computed per pixel. The disc's edge is hard (no blending with the key
// colour, which would give greenish greys that the key test does not catch); inside,
// pale grey with a slight darkening towards the limb, darker seas from a few soft
// blobs and fine noise, and a handful of bright-rimmed craters.
#include "MoonArt.h"

#include "Rng.h"

#include <QColor>
#include <algorithm>
#include <cmath>

namespace {

struct Blob {
    double x, y, rx, ry, depth;
};

// The seas, in disc coordinates (-1..1, y down), laid out as on the near side, and
// how much darker each makes the ground.
const Blob Seas[] = {
    {-0.48, 0.02, 0.26, 0.42, 0.26},  // the great western ocean
    {-0.24, -0.38, 0.30, 0.21, 0.28}, // the rain sea
    {0.14, -0.36, 0.17, 0.15, 0.27},  // serenity
    {0.31, -0.06, 0.22, 0.17, 0.25},  // tranquillity
    {0.68, -0.27, 0.11, 0.09, 0.28},  // crises
    {0.54, 0.16, 0.11, 0.16, 0.22},   // fertility
    {-0.14, 0.34, 0.18, 0.12, 0.20},  // clouds
    {0.02, -0.66, 0.34, 0.08, 0.11},  // cold
    {0.22, 0.26, 0.10, 0.10, 0.16},   // nectar
};

struct Crater {
    double x, y, r;
};

const Crater Craters[] = {{-0.42, -0.12, 0.05}, {0.45, 0.48, 0.06}, {-0.55, 0.45, 0.05},
                          {0.62, 0.02, 0.04}, {-0.72, -0.30, 0.04}};

// The bright young crater in the south with its rays.
constexpr double RayX = -0.10;
constexpr double RayY = 0.66;

// A ragged edge for the seas: a few crossed waves, enough to break the ovals.
double Ragged(double u, double v)
{
    return 0.13 * std::sin(9 * u + 4 * v) + 0.09 * std::sin(17 * v - 7 * u + 1) + 0.06 * std::sin(29 * u + 23 * v);
}

double SmoothStep(double a, double b, double x)
{
    const double t = std::clamp((x - a) / (b - a), 0.0, 1.0);
    return t * t * (3 - 2 * t);
}

} // namespace

QImage MoonArt::Image20()
{
    const int w = 106;
    const int h = 94;
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(QColor(0, 255, 0));
    Rng rng(20020);
    const double cx = 53;
    const double cy = 47;
    const double radius = 44.5;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const double u = (x + 0.5 - cx) / radius;
            const double v = (y + 0.5 - cy) / radius;
            const double r2 = u * u + v * v;
            const double grain = rng.Uniform(-1, 1);
            if (r2 > 1)
                continue;
            double level = 0.91 - 0.08 * r2 * r2; // limb darkening
            double sea = 0;
            for (const Blob& b : Seas) {
                const double du = (u - b.x) / b.rx;
                const double dv = (v - b.y) / b.ry;
                const double d = std::sqrt(du * du + dv * dv) + Ragged(u, v);
                sea = std::max(sea, b.depth * (1 - SmoothStep(0.7, 1.05, d)));
            }
            level -= sea;
            for (const Crater& cr : Craters) {
                const double d = std::hypot(u - cr.x, v - cr.y) / cr.r;
                if (d < 0.7)
                    level -= 0.05;
                else if (d < 1.1)
                    level += 0.05;
            }
            // Rays: faint bright streaks radiating from the southern crater.
            const double ru = u - RayX;
            const double rv = v - RayY;
            const double rd = std::hypot(ru, rv);
            if (rd < 0.05)
                level += 0.1;
            else if (rd < 0.7)
                level += 0.07 * std::pow(std::max(0.0, std::cos(std::atan2(rv, ru) * 7)), 8) * (0.7 - rd);
            level += grain * 0.012;
            level = std::clamp(level, 0.55, 0.98);
            // A faintly warm grey, as moonlight looks against a night sky.
            const int g = static_cast<int>(std::lround(level * 255));
            image.setPixel(x, y, qRgb(std::min(255, g + 4), std::min(255, g + 2), std::max(0, g - 6)));
        }
    return image;
}
