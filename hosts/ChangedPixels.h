// What changed between the frame a window shows and the next: the next frame's pixels
// are copied over the shown one only where they differ, and the rectangles that hold
// the differences are listed, so that only they go to the X server.
#pragma once

#include "platform/raster/Raster.h"
#include "platform/raster/Rect.h"

#include <vector>

// shown: frame.Width() x frame.Height() pixels, rows contiguous, top row first; on
// return it equals frame. boxes: one per run of consecutive rows that differ, as wide
// as the union of those rows' differing spans, top to bottom; when there would be more
// than maxBoxes, the one box that bounds them all. The vector's storage is reused.
void CopyChangedPixels(const Raster& frame, Pixel* shown, std::vector<Rect>& boxes, std::size_t maxBoxes);
