// Draws a fuzzed picture into a small raster and checks every pixel of the result
// against the drawing rule, worked out here pixel by pixel from the decoded picture.
#pragma once

#include "platform/raster/Picture.h"

#include <cstdint>
#include <functional>
#include <span>
#include <utility>
#include <vector>

// The raster every fuzzed picture is drawn into.
constexpr int CanvasWidth = 64;
constexpr int CanvasHeight = 48;

// Pictures larger than this are not drawn: a legal picture of that size only makes the
// fuzzer slow. Counted in pixels; the form's limit is for all 28 pictures together and
// admits the real screen form (about 7.1 million pixels).
constexpr std::uint64_t MaxFuzzPixels = 4u * 1024 * 1024;
constexpr std::uint64_t MaxFuzzFormPixels = 8u * 1024 * 1024;

// Positions that cover every way a picture meets the canvas edges (wholly inside,
// cut on each side, one pixel visible, just outside, the int limits), then one
// position per pair of `bytes` (at most four), spread over the range where the picture
// can be seen. With `fixedCount` only that many of the fixed positions come first.
std::vector<std::pair<int, int>> DrawPositions(int pictureWidth, int pictureHeight, const Raster& canvas,
                                               std::span<const std::uint8_t> bytes,
                                               std::size_t fixedCount = 13);

// Fills the canvas with a colour no picture pixel has, runs `draw` (which must draw
// `picture` at (x, y) with `keying`), and checks the canvas. A JPEG error is allowed
// only at the picture's first decode; it is swallowed there and the partly decoded
// pixels are checked like any others. Returns whether the draw raised.
bool DrawAndCheck(Raster& canvas, Picture& picture, Keying keying, int x, int y,
                  const std::function<void()>& draw);

// The same, drawing with DrawPicture itself.
bool DrawAndCheck(Raster& canvas, Picture& picture, Keying keying, int x, int y);

// What is known of the decoded pixels whatever the input: size, the fixed top byte,
// and at most 236 colours when quantised. Decodes first (a JPEG error is swallowed).
void CheckDecodedPixels(Picture& picture, bool quantised);
