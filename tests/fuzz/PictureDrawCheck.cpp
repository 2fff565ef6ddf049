// Pixel-by-pixel checks of picture draws into the fuzz canvas.
#include "PictureDrawCheck.h"

#include "FuzzCheck.h"
#include "platform/Exception.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <string>
#include <unordered_set>

namespace {

// Top byte 0: no decoded pixel can have it, so an undrawn pixel is always visible.
constexpr Pixel Untouched = 0x00ABCDEFu;

// The picture colours a quantised decode may use.
constexpr std::size_t QuantisedColourLimit = 236;
// Counting colours needs a set; above this many pixels only the cheap checks run.
constexpr std::uint64_t MaxPixelsForColourCount = 256u * 1024;

// A byte 1..254 spread over [-extent - 4, canvas + 4]; 0 and 255 stand for the limits.
int Coordinate(std::uint8_t byte, int extent, int canvas)
{
    if (byte == 0)
        return INT_MIN;
    if (byte == 255)
        return INT_MAX;
    const std::int64_t low = -static_cast<std::int64_t>(extent) - 4;
    const std::int64_t span = static_cast<std::int64_t>(canvas) + 4 - low;
    return static_cast<int>(low + span * (byte - 1) / 253);
}

bool IsJpegErrorMessage(const std::string& message)
{
    constexpr std::string_view Prefix = "JPEG error #";
    if (message.size() <= Prefix.size() || message.compare(0, Prefix.size(), Prefix) != 0)
        return false;
    for (std::size_t i = Prefix.size(); i < message.size(); ++i) {
        if (message[i] < '0' || message[i] > '9')
            return false;
    }
    return true;
}

// The colour key by the rule: white for a 1-bit picture, else its bottom-left pixel.
Pixel ExpectedKey(Picture& picture)
{
    if (picture.Kind() == PictureKind::Bitmap && picture.BitsPerPixel() == 1)
        return White;
    const Raster& pixels = picture.Pixels();
    if (pixels.IsEmpty())
        return 0;
    return pixels.Scanline(pixels.Height() - 1)[0];
}

} // namespace

std::vector<std::pair<int, int>> DrawPositions(int pictureWidth, int pictureHeight, const Raster& canvas,
                                               std::span<const std::uint8_t> bytes, std::size_t fixedCount)
{
    const int w = pictureWidth;
    const int h = pictureHeight;
    const int cw = canvas.Width();
    const int ch = canvas.Height();
    std::vector<std::pair<int, int>> positions{
        {0, 0},
        {(cw - w) / 2, (ch - h) / 2},
        {1 - w, 1 - h},           // only the picture's bottom-right pixel
        {cw - 1, ch - 1},         // only its top-left pixel
        {INT_MIN, INT_MAX},
        {-w, 0},                  // just off the left edge
        {cw, 0},                  // just off the right edge
        {0, -h},                  // just off the top
        {0, ch},                  // just off the bottom
        {-w / 2, ch - h / 2 - 1}, // cut on the left and the bottom
        {INT_MIN, INT_MIN},
        {INT_MAX, INT_MAX},
        {0, INT_MIN},
    };
    positions.resize(std::min(fixedCount, positions.size()));
    for (std::size_t i = 0; i + 1 < bytes.size() && i < 8; i += 2)
        positions.emplace_back(Coordinate(bytes[i], w, cw), Coordinate(bytes[i + 1], h, ch));
    return positions;
}

bool DrawAndCheck(Raster& canvas, Picture& picture, Keying keying, int x, int y,
                  const std::function<void()>& draw)
{
    for (int row = 0; row < canvas.Height(); ++row) {
        Pixel* line = canvas.Scanline(row);
        for (int col = 0; col < canvas.Width(); ++col)
            line[col] = Untouched;
    }

    const int decodesBefore = picture.DecodeCount();
    bool raised = false;
    try {
        draw();
    } catch (const EJPEG& error) {
        raised = true;
        FUZZ_CHECK(picture.Kind() == PictureKind::Jpeg, "a bitmap draw raised %s", error.what());
        FUZZ_CHECK(decodesBefore == 0 && picture.DecodeCount() == 1,
                   "JPEG error outside the first decode (decodes %d -> %d)", decodesBefore,
                   picture.DecodeCount());
        FUZZ_CHECK(IsJpegErrorMessage(error.what()), "bad JPEG error text '%s'", error.what());
        FUZZ_CHECK(std::strcmp(error.ClassName(), "EJPEG") == 0, "class %s", error.ClassName());
    }
    FUZZ_CHECK(picture.DecodeCount() <= 1, "decoded %d times", picture.DecodeCount());
    if (picture.Kind() == PictureKind::Jpeg)
        FUZZ_CHECK(picture.DecodeCount() == 1, "a drawn JPEG picture was not decoded");

    const Raster& src = picture.Pixels();
    FUZZ_CHECK(src.IsEmpty() || (src.Width() == picture.Width() && src.Height() == picture.Height()),
               "decoded %dx%d, header %dx%d", src.Width(), src.Height(), picture.Width(), picture.Height());

    // A draw that raised stopped before copying anything.
    const bool keyed = keying == Keying::UseKey;
    const Pixel key = keyed && !raised ? ExpectedKey(picture) : 0;
    if (keyed && !raised) {
        FUZZ_CHECK(picture.ColourKey() == key, "colour key %08x, expected %08x", picture.ColourKey(), key);
    }
    const bool oneBit = picture.Kind() == PictureKind::Bitmap && picture.BitsPerPixel() == 1;
    for (int row = 0; row < canvas.Height(); ++row) {
        const std::int64_t sy = std::int64_t{row} - y;
        const bool rowInside = !raised && !src.IsEmpty() && sy >= 0 && sy < src.Height();
        const Pixel* from = rowInside ? src.Scanline(static_cast<int>(sy)) : nullptr;
        const Pixel* line = canvas.Scanline(row);
        for (int col = 0; col < canvas.Width(); ++col) {
            const std::int64_t sx = std::int64_t{col} - x;
            Pixel expected = Untouched;
            if (rowInside && sx >= 0 && sx < src.Width()) {
                const Pixel pixel = from[sx];
                if (!keyed)
                    expected = pixel;
                else if (pixel != key)
                    expected = oneBit ? Black : pixel;
            }
            FUZZ_CHECK(line[col] == expected, "%s draw at (%d, %d) of %dx%d: canvas (%d, %d) is %08x, expected %08x",
                       keyed ? "keyed" : "opaque", x, y, picture.Width(), picture.Height(), col, row, line[col],
                       expected);
        }
    }
    return raised;
}

bool DrawAndCheck(Raster& canvas, Picture& picture, Keying keying, int x, int y)
{
    return DrawAndCheck(canvas, picture, keying, x, y, [&] { DrawPicture(canvas, picture, x, y, keying); });
}

void CheckDecodedPixels(Picture& picture, bool quantised)
{
    const Raster* pixels = nullptr;
    try {
        pixels = &picture.Pixels();
    } catch (const EJPEG&) {
        pixels = &picture.Pixels();
    }
    if (pixels->IsEmpty())
        return;
    FUZZ_CHECK(pixels->Width() == picture.Width() && pixels->Height() == picture.Height(),
               "decoded %dx%d, header %dx%d", pixels->Width(), pixels->Height(), picture.Width(),
               picture.Height());
    const std::uint64_t count = std::uint64_t(pixels->Width()) * std::uint64_t(pixels->Height());
    std::unordered_set<Pixel> colours;
    const bool countColours = quantised && count <= MaxPixelsForColourCount;
    for (int row = 0; row < pixels->Height(); ++row) {
        const Pixel* line = pixels->Scanline(row);
        for (int col = 0; col < pixels->Width(); ++col) {
            FUZZ_CHECK((line[col] >> 24) == 0xFF, "pixel (%d, %d) is %08x", col, row, line[col]);
            if (countColours)
                colours.insert(line[col]);
        }
    }
    // Black stands for rows a failed decode never reached; it may come on top of the
    // quantised palette.
    colours.erase(Black);
    FUZZ_CHECK(colours.size() <= QuantisedColourLimit, "%zu colours after quantising", colours.size());
}
