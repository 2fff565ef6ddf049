// Raster pictures as text for tests: one character per pixel, one line per row.
#pragma once

#include "platform/raster/Raster.h"

#include <map>
#include <string>
#include <vector>

namespace rastertest {

// '.' white, '#' black, the legend's letters for their colours, '?' anything else.
inline std::string ToText(const Raster& raster, const std::map<char, Pixel>& legend = {})
{
    std::string text;
    for (int y = 0; y < raster.Height(); ++y) {
        for (int x = 0; x < raster.Width(); ++x) {
            const Pixel p = raster.PixelAt(x, y);
            char c = '?';
            if (p == White) {
                c = '.';
            } else if (p == Black) {
                c = '#';
            } else {
                for (const auto& [letter, colour] : legend) {
                    if (colour == p) {
                        c = letter;
                    }
                }
            }
            text += c;
        }
        text += '\n';
    }
    return text;
}

// The rows of a text picture, top row first; '.' white, '#' black, legend letters.
inline std::vector<std::vector<Pixel>> FromText(const std::string& text, const std::map<char, Pixel>& legend = {})
{
    std::vector<std::vector<Pixel>> rows(1);
    for (const char c : text) {
        if (c == '\n') {
            rows.emplace_back();
        } else if (c == '.') {
            rows.back().push_back(White);
        } else if (c == '#') {
            rows.back().push_back(Black);
        } else {
            rows.back().push_back(legend.at(c));
        }
    }
    while (!rows.empty() && rows.back().empty()) {
        rows.pop_back();
    }
    return rows;
}

// Paints every pixel, with SetPixel only.
inline void Paint(Raster& raster, Pixel colour)
{
    for (int y = 0; y < raster.Height(); ++y) {
        for (int x = 0; x < raster.Width(); ++x) {
            raster.SetPixel(x, y, colour);
        }
    }
}

// A line from (x0, y0) to (x1, y1) on a new white raster, as text.
inline std::string DrawLine(int width, int height, int x0, int y0, int x1, int y1)
{
    Raster raster(width, height);
    raster.MoveTo(x0, y0);
    raster.LineTo(x1, y1);
    return ToText(raster);
}

} // namespace rastertest
