// Outline: rough edges for silhouettes: jagged polylines, fractal noise and ridge lines.
#pragma once

#include "Rng.h"

#include <QPointF>
#include <QPolygonF>
#include <functional>
#include <vector>

class Outline {
public:
    // Fractal noise of the given length (one value per unit), roughly in [-1, 1]: the
    // sum of octaves of interpolated random values, the first with a period of
    // `period` units, each next one half as long and `persistence` times as strong.
    static std::vector<double> Noise(int length, double period, int octaves, double persistence, Rng& rng);

    // The path through `points`, each segment cut into pieces about `step` long whose
    // inner corners move up to `amplitude` pixels sideways. The ends stay put.
    static QPolygonF Jagged(const std::vector<QPointF>& points, double amplitude, double step, Rng& rng);

    // A ground-standing mass across [left, right]: its top at y = base - height(x), the
    // polygon closed one pixel below `base` so that the bottom row is covered.
    static QPolygonF Ridge(double left, double right, double base, const std::function<double(double)>& height,
                           double step = 2.0);
};
