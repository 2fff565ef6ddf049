// The size of a frame in pixels: the client area of the window that shows it, read
// once per tick.
#pragma once

struct FrameSize {
    int Width = 0;
    int Height = 0;

    bool operator==(const FrameSize&) const = default;
};
