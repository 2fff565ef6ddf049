// Outline: the noise is smooth (cosine-interpolated lattice values) so that edges read
// as rock and foliage rather than as random speckle.
#include "Outline.h"

#include <cmath>
#include <numbers>

std::vector<double> Outline::Noise(int length, double period, int octaves, double persistence, Rng& rng)
{
    std::vector<double> sum(static_cast<size_t>(std::max(length, 0)), 0.0);
    double amplitude = 1.0;
    double total = 0.0;
    for (int octave = 0; octave < octaves; ++octave) {
        const int lattice = static_cast<int>(std::ceil(length / period)) + 2;
        std::vector<double> values(static_cast<size_t>(lattice));
        for (double& v : values)
            v = rng.Uniform(-1.0, 1.0);
        for (int i = 0; i < length; ++i) {
            const double t = i / period;
            const int k = static_cast<int>(t);
            const double f = (1 - std::cos((t - k) * std::numbers::pi)) / 2;
            sum[static_cast<size_t>(i)] +=
                amplitude * (values[static_cast<size_t>(k)] * (1 - f) + values[static_cast<size_t>(k + 1)] * f);
        }
        total += amplitude;
        amplitude *= persistence;
        period = std::max(period / 2, 1.0);
    }
    for (double& v : sum)
        v /= total;
    return sum;
}

QPolygonF Outline::Jagged(const std::vector<QPointF>& points, double amplitude, double step, Rng& rng)
{
    QPolygonF out;
    if (points.empty())
        return out;
    out << points.front();
    for (size_t i = 1; i < points.size(); ++i) {
        const QPointF a = points[i - 1];
        const QPointF b = points[i];
        const double dx = b.x() - a.x();
        const double dy = b.y() - a.y();
        const double length = std::hypot(dx, dy);
        const int pieces = std::max(1, static_cast<int>(length / step));
        const double nx = length > 0 ? -dy / length : 0;
        const double ny = length > 0 ? dx / length : 0;
        for (int p = 1; p < pieces; ++p) {
            const double t = static_cast<double>(p) / pieces;
            const double off = rng.Uniform(-amplitude, amplitude);
            out << QPointF(a.x() + dx * t + nx * off, a.y() + dy * t + ny * off);
        }
        out << b;
    }
    return out;
}

QPolygonF Outline::Ridge(double left, double right, double base, const std::function<double(double)>& height,
                         double step)
{
    QPolygonF out;
    out << QPointF(left, base + 1);
    for (double x = left; x < right; x += step)
        out << QPointF(x, base - height(x));
    out << QPointF(right, base - height(right)) << QPointF(right, base + 1);
    return out;
}
