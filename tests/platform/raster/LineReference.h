// An independent reference for lines in tests: the nearest pixel on the ideal line per column or row.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <string>

namespace rastertest {

__extension__ typedef __int128 Wide;

inline Wide FloorDiv(Wide a, Wide b)
{
    Wide q = a / b;
    if (a % b != 0 && ((a < 0) != (b < 0))) {
        --q;
    }
    return q;
}

// a / b (b > 0) rounded to the nearest integer, an exact half going down: the tie
// goes to the pixel with the smaller coordinate.
inline Wide RoundHalfDown(Wide a, Wide b)
{
    return -FloorDiv(b - 2 * a, 2 * b);
}

// The pixels of the line (x0,y0)-(x1,y1), end point excluded, that fall inside a
// width x height raster, as text ('#' lit, '.' not). Instead of stepping along the
// line it visits each column (lines wider than tall) or row (taller than wide) of the
// raster and asks which pixel of the ideal line lies there, so it is cheap for lines
// of any length and shares nothing with the stepping code.
inline std::string ReferenceLine(int width, int height, std::int64_t x0, std::int64_t y0, std::int64_t x1,
                                 std::int64_t y1)
{
    std::string text;
    for (int y = 0; y < height; ++y) {
        text += std::string(static_cast<std::size_t>(width), '.') + "\n";
    }
    const std::int64_t dx = x1 - x0;
    const std::int64_t dy = y1 - y0;
    auto plot = [&](Wide x, Wide y) {
        if (x >= 0 && x < width && y >= 0 && y < height) {
            text[static_cast<std::size_t>(y * (width + 1) + x)] = '#';
        }
    };
    if (dx == 0 && dy == 0) {
        return text;
    }
    if (std::llabs(dx) >= std::llabs(dy)) {
        const std::int64_t n = std::llabs(dx);
        for (std::int64_t x = 0; x < width; ++x) {
            const std::int64_t i = dx > 0 ? x - x0 : x0 - x;
            if (i >= 0 && i < n) {
                plot(x, y0 + RoundHalfDown(Wide{i} * dy, n));
            }
        }
    } else {
        const std::int64_t n = std::llabs(dy);
        for (std::int64_t y = 0; y < height; ++y) {
            const std::int64_t i = dy > 0 ? y - y0 : y0 - y;
            if (i >= 0 && i < n) {
                plot(x0 + RoundHalfDown(Wide{i} * dx, n), y);
            }
        }
    }
    return text;
}

} // namespace rastertest
