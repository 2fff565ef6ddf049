// Tests of JPEG pictures: size at load, one decode at the first draw (or ahead of it),
// the 236-colour path.
#include "platform/Exception.h"
#include "platform/raster/Picture.h"
#include "JpegTestStreams.h"
#include "RasterText.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include <jerror.h>

TEST(Jpeg, LoadReadsTheSizeAndDoesNotDecode)
{
    auto picture = Picture::LoadJpeg(MakeJpeg(Solid(37, 21, Rgb(10, 20, 30))), JpegDepth::TrueColour);
    EXPECT_EQ(picture->Kind(), PictureKind::Jpeg);
    EXPECT_EQ(picture->Width(), 37);
    EXPECT_EQ(picture->Height(), 21);
    EXPECT_EQ(picture->BitsPerPixel(), 24);
    EXPECT_EQ(picture->DecodeCount(), 0);
}

TEST(Jpeg, DecodesAFlatColourWithinTwoLevels)
{
    auto picture =
        Picture::LoadJpeg(MakeJpeg(Solid(19, 13, Rgb(200, 30, 60)), {.quality = 100}), JpegDepth::TrueColour);
    const Raster& pixels = picture->Pixels();
    ASSERT_EQ(pixels.Width(), 19);
    ASSERT_EQ(pixels.Height(), 13);
    ExpectEveryPixelNear(pixels, Rgb(200, 30, 60), 2);
    EXPECT_EQ(picture->DecodeCount(), 1);
}

TEST(Jpeg, KeepsEachRowOfAGradientInItsColour)
{
    const auto rows = RowGradient(24, 48);
    auto picture = Picture::LoadJpeg(MakeJpeg(rows, {.quality = 95}), JpegDepth::TrueColour);
    const Raster& pixels = picture->Pixels();
    for (int y = 0; y < 48; ++y) {
        for (int x = 0; x < 24; ++x) {
            EXPECT_LE(ChannelDistance(pixels.PixelAt(x, y), rows[y][x]), 6) << x << "," << y;
        }
    }
}

TEST(Jpeg, FlatBandOneBlueStepFromTheWindowKeyStaysOneStepAway)
{
    // (0, 128, 1) is Y 75, Cb 86, Cr 74 after the encoder's rounding; converted back
    // that is R -0.7, G 128.0, B 0.58: rounded to the nearest value (0, 128, 1), where
    // a decoder that rounded down would give the window key (0, 128, 0).
    auto picture =
        Picture::LoadJpeg(MakeJpeg(Solid(32, 16, Rgb(0, 128, 1)), {.quality = 100}), JpegDepth::TrueColour);
    const Raster& pixels = picture->Pixels();
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 32; ++x) {
            ASSERT_EQ(pixels.PixelAt(x, y), Rgb(0, 128, 1)) << x << "," << y;
        }
    }
}

TEST(Jpeg, OpaqueDrawCoversItsWholeRectangle)
{
    auto picture = Picture::LoadJpeg(MakeJpeg(Solid(6, 5, Black), {.quality = 90}), JpegDepth::TrueColour);
    Raster dst(12, 10);
    DrawPicture(dst, *picture, 3, 2, Keying::Opaque);
    std::string drawn;
    for (int y = 0; y < 10; ++y) {
        for (int x = 0; x < 12; ++x) {
            const Pixel p = dst.PixelAt(x, y);
            drawn += p == White ? '.' : ChannelDistance(p, Black) <= 2 ? '#' : '?';
        }
        drawn += '\n';
    }
    EXPECT_EQ(drawn, "............\n"
                     "............\n"
                     "...######...\n"
                     "...######...\n"
                     "...######...\n"
                     "...######...\n"
                     "...######...\n"
                     "............\n"
                     "............\n"
                     "............\n");
}

TEST(Jpeg, IsDecodedOnceOverManyDraws)
{
    auto picture = Picture::LoadJpeg(MakeJpeg(RowGradient(8, 8)), JpegDepth::TrueColour);
    Raster dst(10, 10);
    EXPECT_EQ(picture->DecodeCount(), 0);
    DrawPicture(dst, *picture, 1, 1, Keying::Opaque);
    EXPECT_EQ(picture->DecodeCount(), 1);
    const Pixel first = dst.PixelAt(4, 4);
    rastertest::Paint(dst, White);
    DrawPicture(dst, *picture, 1, 1, Keying::Opaque);
    DrawPicture(dst, *picture, 5, 5, Keying::Opaque);
    (void)picture->Pixels();
    EXPECT_EQ(picture->DecodeCount(), 1);
    EXPECT_EQ(dst.PixelAt(4, 4), first);
}

TEST(Jpeg, QuantisedDecodeUsesAtMost236ColoursAndStaysClose)
{
    const auto rows = Rainbow(64);
    const std::vector<std::uint8_t> stream = MakeJpeg(rows, {.quality = 95});
    auto full = Picture::LoadJpeg(stream, JpegDepth::TrueColour);
    auto quantised = Picture::LoadJpeg(stream, JpegDepth::Quantised236);
    EXPECT_EQ(quantised->Width(), 64);
    EXPECT_EQ(quantised->Height(), 64);

    std::set<Pixel> fullColours;
    std::set<Pixel> quantisedColours;
    long totalError = 0;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            fullColours.insert(full->Pixels().PixelAt(x, y));
            const Pixel q = quantised->Pixels().PixelAt(x, y);
            quantisedColours.insert(q);
            EXPECT_EQ(q >> 24, 0xFFu);
            totalError += std::abs(RedOf(q) - RedOf(rows[y][x])) + std::abs(GreenOf(q) - GreenOf(rows[y][x])) +
                          std::abs(BlueOf(q) - BlueOf(rows[y][x]));
        }
    }
    // The picture needs quantising at all...
    EXPECT_GT(fullColours.size(), 236u);
    // ...and gets at most 236 colours...
    EXPECT_LE(quantisedColours.size(), 236u);
    EXPECT_GT(quantisedColours.size(), 32u);
    // ...that stay close: 236 colours over this cube leave boxes about 40 levels
    // wide, so a pixel is off by about 10 a channel on average, dithering included.
    EXPECT_LE(totalError / (64 * 64 * 3), 12);
    // Averages over 4x4 blocks, where the dithering evens out, stay closer still.
    for (int by = 0; by < 64; by += 4) {
        for (int bx = 0; bx < 64; bx += 4) {
            int sum[3] = {0, 0, 0};
            int want[3] = {0, 0, 0};
            for (int y = by; y < by + 4; ++y) {
                for (int x = bx; x < bx + 4; ++x) {
                    const Pixel q = quantised->Pixels().PixelAt(x, y);
                    sum[0] += RedOf(q);
                    sum[1] += GreenOf(q);
                    sum[2] += BlueOf(q);
                    want[0] += RedOf(rows[y][x]);
                    want[1] += GreenOf(rows[y][x]);
                    want[2] += BlueOf(rows[y][x]);
                }
            }
            for (int c = 0; c < 3; ++c) {
                EXPECT_LE(std::abs(sum[c] - want[c]) / 16, 12) << bx << "," << by << " channel " << c;
            }
        }
    }
    EXPECT_EQ(quantised->DecodeCount(), 1);
}

TEST(Jpeg, DecodedAheadOrAtTheDrawTheSamePixels)
{
    const std::vector<std::uint8_t> stream = MakeJpeg(Rainbow(24), {.quality = 75});
    auto ahead = Picture::LoadJpeg(stream, JpegDepth::TrueColour);
    auto atDraw = Picture::LoadJpeg(stream, JpegDepth::TrueColour);
    ahead->DecodeAhead();
    ahead->DecodeAhead();
    EXPECT_EQ(ahead->DecodeCount(), 1);
    Raster fromAhead(30, 30);
    Raster fromDraw(30, 30);
    DrawPicture(fromAhead, *ahead, 3, 2, Keying::Opaque);
    DrawPicture(fromDraw, *atDraw, 3, 2, Keying::Opaque);
    EXPECT_EQ(ahead->DecodeCount(), 1);
    EXPECT_EQ(rastertest::ToText(fromAhead), rastertest::ToText(fromDraw));
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x)
            ASSERT_EQ(fromAhead.PixelAt(x, y), fromDraw.PixelAt(x, y)) << x << "," << y;
}
