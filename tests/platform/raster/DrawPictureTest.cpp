// Tests of DrawPicture: opaque and keyed draws, colour keys, the mask built once, clipping
// to the raster and to a clip rectangle, and which pixels a draw sets.
#include "platform/raster/Picture.h"
#include "RasterText.h"
#include "support/PictureFiles.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <map>
#include <ostream>
#include <string>
#include <vector>

using rastertest::FromText;
using rastertest::Paint;
using rastertest::ToText;

namespace {

const Pixel Red = Rgb(255, 0, 0);
const Pixel Green = Rgb(0, 255, 0);
const Pixel Blue = Rgb(0, 0, 255);
const Pixel Slate = Rgb(12, 34, 56);
const std::map<char, Pixel> Colours = {{'R', Red}, {'G', Green}, {'B', Blue}, {'y', Slate}};

std::unique_ptr<Picture> Bitmap24(const std::string& text)
{
    return Picture::LoadBitmap(MakeBmp24(FromText(text, Colours)));
}

std::unique_ptr<Picture> Bitmap1(const std::string& text)
{
    return Picture::LoadBitmap(MakeBmp1(FromText(text)));
}

Raster Background(int width, int height, Pixel colour)
{
    Raster raster(width, height);
    Paint(raster, colour);
    return raster;
}

} // namespace

TEST(KeyedDraw, OneBitPictureWithBlackCornerDrawsBlackAndLeavesWhite)
{
    // The bottom-left pixel is black, but a 1-bit picture's key is white.
    auto picture = Bitmap1("#..#.\n"
                           ".##..\n"
                           "#...#\n"
                           "##..#\n");
    EXPECT_EQ(picture->ColourKey(), White);
    Raster dst = Background(10, 8, Blue);
    DrawPicture(dst, *picture, 2, 3, Keying::UseKey);
    EXPECT_EQ(ToText(dst, Colours), "BBBBBBBBBB\n"
                                    "BBBBBBBBBB\n"
                                    "BBBBBBBBBB\n"
                                    "BB#BB#BBBB\n"
                                    "BBB##BBBBB\n"
                                    "BB#BBB#BBB\n"
                                    "BB##BB#BBB\n"
                                    "BBBBBBBBBB\n");
}

TEST(KeyedDraw, OneBitPictureWithWhiteCornerDrawsItsBlackPixels)
{
    auto picture = Bitmap1(".#.\n"
                           "#.#\n"
                           "...\n");
    EXPECT_EQ(picture->ColourKey(), White);
    Raster dst = Background(5, 3, Blue);
    DrawPicture(dst, *picture, 1, 0, Keying::UseKey);
    EXPECT_EQ(ToText(dst, Colours), "BB#BB\nB#B#B\nBBBBB\n");
}

TEST(KeyedDraw, ColourPictureIsKeyedByItsBottomLeftPixel)
{
    auto picture = Bitmap24("GRG#G\n"
                            ".GGB#\n"
                            "GG#GG\n");
    EXPECT_EQ(picture->ColourKey(), Green);
    Raster dst = Background(7, 5, Slate);
    DrawPicture(dst, *picture, 1, 1, Keying::UseKey);
    // Every colour but the key is drawn, white included.
    EXPECT_EQ(ToText(dst, Colours), "yyyyyyy\n"
                                    "yyRy#yy\n"
                                    "y.yyB#y\n"
                                    "yyy#yyy\n"
                                    "yyyyyyy\n");
}

TEST(KeyedDraw, NoColourIsTheKeyByItself)
{
    // Red in the bottom-left corner: red is left undrawn and green is drawn.
    auto picture = Bitmap24("G#R\n"
                            "RGR\n");
    EXPECT_EQ(picture->ColourKey(), Red);
    Raster dst = Background(4, 3, Slate);
    DrawPicture(dst, *picture, 0, 0, Keying::UseKey);
    EXPECT_EQ(ToText(dst, Colours), "G#yy\nyGyy\nyyyy\n");
}

TEST(OpaqueDraw, CopiesEveryPixelKeyIncluded)
{
    auto picture = Bitmap24("G#R\n"
                            "RGR\n");
    Raster dst = Background(4, 3, Slate);
    DrawPicture(dst, *picture, 1, 1, Keying::Opaque);
    EXPECT_EQ(ToText(dst, Colours), "yyyy\nyG#R\nyRGR\n");
}

TEST(KeyedDraw, OpaqueAndKeyedDrawsOfOnePictureMix)
{
    auto picture = Bitmap24("G#G\n"
                            "GGR\n");
    Raster dst = Background(6, 6, Slate);
    DrawPicture(dst, *picture, 0, 0, Keying::Opaque);
    DrawPicture(dst, *picture, 3, 0, Keying::UseKey);
    DrawPicture(dst, *picture, 0, 3, Keying::UseKey);
    DrawPicture(dst, *picture, 3, 3, Keying::UseKey);
    EXPECT_EQ(picture->DecodeCount(), 0);
    EXPECT_EQ(ToText(dst, Colours), "G#Gy#y\n"
                                    "GGRyyR\n"
                                    "yyyyyy\n"
                                    "y#yy#y\n"
                                    "yyRyyR\n"
                                    "yyyyyy\n");
}

TEST(Draw, AtNegativeXShowsTheRightPartFromTheLeftEdge)
{
    auto picture = Bitmap24("RGB#\n"
                            "RGB#\n"
                            "RGB#\n");
    for (const Keying keying : {Keying::Opaque, Keying::UseKey}) {
        Raster dst(6, 5);
        DrawPicture(dst, *picture, -2, 1, keying);
        EXPECT_EQ(ToText(dst, Colours), "......\n"
                                        "B#....\n"
                                        "B#....\n"
                                        "B#....\n"
                                        "......\n");
    }
}

TEST(Draw, IntoAnEmptyRasterDoesNothing)
{
    auto picture = Bitmap24("RG\nGR\n");
    Raster empty(0, 0);
    DrawPicture(empty, *picture, 0, 0, Keying::Opaque);
    DrawPicture(empty, *picture, 0, 0, Keying::UseKey);
    EXPECT_TRUE(empty.IsEmpty());
}

namespace {

// Pictures for the clipping table, with runs that start and end inside the rows.
const std::string ClipPictures[] = {
    "RG#GB\n"
    "#GGG.\n"
    "G.RGG\n"
    "GGBG#\n",
    "#.##.#.\n"
    "..#....\n"
    ".#####.\n",
};

struct Placement {
    int picture;
    int x, y;
};

void PrintTo(const Placement& p, std::ostream* os)
{
    *os << "picture " << p.picture << " at (" << p.x << "," << p.y << ")";
}

const Placement Placements[] = {
    {0, 0, 0},       {0, 3, 2},          {0, -2, -1},        {0, 5, -2},        {0, -3, 4},      {0, 6, 4},
    {0, 7, 5},       {0, -4, 0},         {0, 0, -3},         {0, 8, 0},         {0, 0, 6},       {0, -5, -4},
    {0, 2, 5},       {0, INT_MAX, 0},    {0, INT_MIN, 0},    {0, 0, INT_MAX},   {0, 0, INT_MIN}, {0, INT_MIN, INT_MIN},
    {0, INT_MAX, INT_MAX}, {0, INT_MAX - 2, INT_MIN + 1}, {1, -1, -1}, {1, -3, 2},  {1, 4, -2},    {1, 2, 4},
    {1, -6, 0},      {1, 7, 5},          {1, 1, 1},          {1, INT_MIN + 3, 3}, {1, 3, INT_MAX},
};

// The picture at (x, y) worked out pixel by pixel on the text: dst (px, py) shows
// picture pixel (px - x, py - y) when that lies in the picture (and, keyed, is not
// the key); otherwise the background letter 'y'.
std::string ExpectedDraw(const std::string& pictureText, int x, int y, bool keyed, int width, int height, char key)
{
    std::vector<std::string> rows;
    std::string row;
    for (const char c : pictureText) {
        if (c == '\n') {
            rows.push_back(row);
            row.clear();
        } else {
            row += c;
        }
    }
    std::string text;
    for (std::int64_t py = 0; py < height; ++py) {
        for (std::int64_t px = 0; px < width; ++px) {
            const std::int64_t sx = px - x;
            const std::int64_t sy = py - y;
            char c = 'y';
            if (sy >= 0 && sy < static_cast<std::int64_t>(rows.size()) && sx >= 0 &&
                sx < static_cast<std::int64_t>(rows[0].size())) {
                const char s = rows[static_cast<std::size_t>(sy)][static_cast<std::size_t>(sx)];
                if (!keyed || s != key) {
                    c = s;
                }
            }
            text += c;
        }
        text += '\n';
    }
    return text;
}

class ClippedDraw : public ::testing::TestWithParam<Placement> {};

TEST_P(ClippedDraw, ShowsExactlyTheInsidePart)
{
    const Placement& p = GetParam();
    const std::string& text = ClipPictures[p.picture];
    // The 24-bit picture is keyed by its bottom-left green, the 1-bit one by white.
    auto picture = p.picture == 0 ? Bitmap24(text) : Bitmap1(text);
    const char key = p.picture == 0 ? 'G' : '.';
    for (const Keying keying : {Keying::Opaque, Keying::UseKey}) {
        SCOPED_TRACE(keying == Keying::UseKey ? "keyed" : "opaque");
        const std::string expected = ExpectedDraw(text, p.x, p.y, keying == Keying::UseKey, 8, 6, key);
        Raster dst = Background(8, 6, Slate);
        DrawPicture(dst, *picture, p.x, p.y, keying);
        EXPECT_EQ(ToText(dst, Colours), expected);
        // Only inside a clip rectangle: the same pixels there, none outside.
        constexpr Rect Clip{1, 2, 6, 5};
        std::string clipped = expected;
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 8; ++x)
                if (!Clip.Contains(x, y))
                    clipped[static_cast<std::size_t>(y * 9 + x)] = 'y';
        Raster part = Background(8, 6, Slate);
        DrawPicture(part, *picture, p.x, p.y, keying, Clip);
        EXPECT_EQ(ToText(part, Colours), clipped);
        // The pixels a draw sets, asked one by one (no picture pixel is slate); far
        // offsets clamp to the int range, still outside the picture.
        const auto offset = [](int at, int from) {
            return static_cast<int>(std::clamp<std::int64_t>(std::int64_t{at} - from, INT_MIN, INT_MAX));
        };
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 8; ++x)
                EXPECT_EQ(picture->DrawsPixel(offset(x, p.x), offset(y, p.y), keying),
                          expected[static_cast<std::size_t>(y * 9 + x)] != 'y')
                    << x << "," << y;
    }
}

INSTANTIATE_TEST_SUITE_P(Positions, ClippedDraw, ::testing::ValuesIn(Placements));

} // namespace

TEST(Draw, ClippingTableReachesEveryEdge)
{
    // The expectation of the table itself: some placement cuts each side, some miss.
    bool cutLeft = false, cutTop = false, cutRight = false, cutBottom = false, missed = false;
    for (const Placement& p : Placements) {
        const std::int64_t w = p.picture == 0 ? 5 : 7;
        const std::int64_t h = p.picture == 0 ? 4 : 3;
        const bool overlaps = p.x < 8 && p.x + w > 0 && p.y < 6 && p.y + h > 0;
        cutLeft |= overlaps && p.x < 0;
        cutTop |= overlaps && p.y < 0;
        cutRight |= overlaps && p.x + w > 8;
        cutBottom |= overlaps && p.y + h > 6;
        missed |= !overlaps;
    }
    EXPECT_TRUE(cutLeft && cutTop && cutRight && cutBottom && missed);
}
