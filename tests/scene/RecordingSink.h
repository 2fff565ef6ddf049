// The tick tests' window: keeps a copy of every frame handed to it.
#pragma once

#include "platform/raster/Raster.h"
#include "scene/Tick.h"

#include <vector>

struct Frame {
    int width = 0;
    int height = 0;
    const Pixel* block = nullptr;   // the buffer's storage, to tell recycled blocks apart
    std::vector<Pixel> pixels;
    Pixel At(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
};

struct RecordingSink : IFrameSink {
    void CopyFrame(const Raster& frame, std::span<const Rect>) override
    {
        Frame f;
        f.width = frame.Width();
        f.height = frame.Height();
        f.block = f.height > 0 ? frame.Scanline(0) : nullptr;
        for (int y = 0; y < f.height; ++y)
            f.pixels.insert(f.pixels.end(), frame.Scanline(y), frame.Scanline(y) + f.width);
        frames.push_back(std::move(f));
    }
    std::vector<Frame> frames;
};
