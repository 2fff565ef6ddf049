// Rect: a rectangle of pixels in a raster's coordinates, its right and bottom edges
// not included.
#pragma once

#include <algorithm>

struct Rect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    // The rectangle of width x height pixels whose top-left pixel is (left, top).
    static constexpr Rect Sized(int left, int top, int width, int height)
    {
        return {left, top, left + width, top + height};
    }

    constexpr bool IsEmpty() const { return Left >= Right || Top >= Bottom; }
    constexpr int Width() const { return IsEmpty() ? 0 : Right - Left; }
    constexpr int Height() const { return IsEmpty() ? 0 : Bottom - Top; }
    constexpr bool Contains(int x, int y) const { return x >= Left && x < Right && y >= Top && y < Bottom; }
    constexpr bool operator==(const Rect&) const = default;
};

// The pixels in both; empty when they do not meet.
constexpr Rect Intersection(const Rect& a, const Rect& b)
{
    return {std::max(a.Left, b.Left), std::max(a.Top, b.Top), std::min(a.Right, b.Right), std::min(a.Bottom, b.Bottom)};
}

// The smallest rectangle holding both; an empty one adds nothing.
constexpr Rect BoundingUnion(const Rect& a, const Rect& b)
{
    if (a.IsEmpty())
        return b;
    if (b.IsEmpty())
        return a;
    return {std::min(a.Left, b.Left), std::min(a.Top, b.Top), std::max(a.Right, b.Right), std::max(a.Bottom, b.Bottom)};
}
