// Tests of JPEG pictures: size at load, one decode at the first draw, errors, the 236-colour path.
#include "platform/Exception.h"
#include "platform/raster/Picture.h"
#include "RasterText.h"
#include "support/Colour.h"
#include "support/PictureFiles.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include <jerror.h>


namespace {

ColourRows Solid(int width, int height, Pixel colour)
{
    return ColourRows(static_cast<std::size_t>(height), std::vector<Pixel>(static_cast<std::size_t>(width), colour));
}

// The offset of the n-th (0-based) marker 0xFF code in the stream, or -1.
long FindMarker(const std::vector<std::uint8_t>& stream, std::uint8_t code, int n = 0)
{
    for (std::size_t i = 0; i + 1 < stream.size(); ++i) {
        if (stream[i] == 0xFF && stream[i + 1] == code && n-- == 0)
            return static_cast<long>(i);
    }
    return -1;
}

// A sky-like picture: every row one colour, running through a range of hues.
std::vector<std::vector<Pixel>> RowGradient(int width, int height)
{
    std::vector<std::vector<Pixel>> rows;
    for (int y = 0; y < height; ++y) {
        rows.emplace_back(static_cast<std::size_t>(width), Rgb(y * 4, 255 - y * 3, 64 + y));
    }
    return rows;
}

// Every pixel its own colour: far more than 236 of them.
std::vector<std::vector<Pixel>> Rainbow(int size)
{
    std::vector<std::vector<Pixel>> rows;
    for (int y = 0; y < size; ++y) {
        std::vector<Pixel> row;
        for (int x = 0; x < size; ++x) {
            row.push_back(Rgb(x * 4, y * 4, 255 - (x + y) * 2));
        }
        rows.push_back(row);
    }
    return rows;
}

// A second frame header after the scan: every row of the size x size picture is out
// before the decoder reads on to the end of the stream and fails.
std::vector<std::uint8_t> FailingAfterTheRows(int size, Pixel colour)
{
    std::vector<std::uint8_t> stream = MakeJpeg(Solid(size, size, colour), {.quality = 100});
    const long sof = FindMarker(stream, 0xC0);
    const std::size_t sofLength = 2 + (stream[sof + 2] << 8 | stream[sof + 3]);
    const std::vector<std::uint8_t> frame(stream.begin() + sof, stream.begin() + sof + static_cast<long>(sofLength));
    stream.insert(stream.end() - 2, frame.begin(), frame.end());
    return stream;
}

std::string JpegErrorText(int code)
{
    return "JPEG error #" + std::to_string(code);
}

} // namespace

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
    for (int y = 0; y < 13; ++y) {
        for (int x = 0; x < 19; ++x) {
            EXPECT_LE(ChannelDistance(pixels.PixelAt(x, y), Rgb(200, 30, 60)), 2) << x << "," << y;
        }
    }
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

namespace {

struct BadStream {
    const char* name;
    int code;  // the libjpeg message number expected
    std::function<void(std::vector<std::uint8_t>&)> spoil;
};

std::vector<std::uint8_t> GoodStream()
{
    return MakeJpeg(Solid(16, 16, Rgb(90, 140, 200)));
}

// The SOF0 segment: FF C0, length (2), precision, height (2), width (2), ...
long Sof(const std::vector<std::uint8_t>& s)
{
    return FindMarker(s, 0xC0);
}

const BadStream BadHeaders[] = {
    {"Empty", JERR_INPUT_EMPTY, [](auto& s) { s.clear(); }},
    {"GifSignature", JERR_NO_SOI, [](auto& s) { s = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0}; }},
    {"FirstByteWrong", JERR_NO_SOI, [](auto& s) { s[0] = 0xFE; }},
    {"SecondByteWrong", JERR_NO_SOI, [](auto& s) { s[1] = 0xD9; }},
    {"StartThenEnd", JERR_NO_IMAGE, [](auto& s) { s = {0xFF, 0xD8, 0xFF, 0xD9}; }},
    // The memory source ends the data with a made-up end marker, before any image.
    {"CutInsideHeaders", JERR_NO_IMAGE, [](auto& s) { s.resize(static_cast<std::size_t>(Sof(s))); }},
    {"HeightZero", JERR_EMPTY_IMAGE, [](auto& s) { const long at = Sof(s); s[at + 5] = 0; s[at + 6] = 0; }},
    {"WidthZero", JERR_EMPTY_IMAGE, [](auto& s) { const long at = Sof(s); s[at + 7] = 0; s[at + 8] = 0; }},
    {"TwelveBitPrecision", JERR_BAD_PRECISION, [](auto& s) { s[Sof(s) + 4] = 12; }},
    {"LosslessProcess", JERR_SOF_UNSUPPORTED, [](auto& s) { s[Sof(s) + 1] = 0xC3; }},
    {"SofLengthTooShort", JERR_BAD_LENGTH, [](auto& s) { const long at = Sof(s); s[at + 2] = 0; s[at + 3] = 3; }},
};

void PrintTo(const BadStream& bad, std::ostream* os)
{
    *os << bad.name;
}

class CorruptJpegHeader : public ::testing::TestWithParam<BadStream> {};

TEST_P(CorruptJpegHeader, IsRejectedAtLoadWithLibjpegsNumber)
{
    std::vector<std::uint8_t> stream = GoodStream();
    GetParam().spoil(stream);
    try {
        Picture::LoadJpeg(stream, JpegDepth::TrueColour);
        FAIL() << "accepted";
    } catch (const EJPEG& e) {
        EXPECT_EQ(e.what(), JpegErrorText(GetParam().code));
        EXPECT_STREQ(e.ClassName(), "EJPEG");
    }
}

INSTANTIATE_TEST_SUITE_P(Variants, CorruptJpegHeader, ::testing::ValuesIn(BadHeaders),
                         [](const ::testing::TestParamInfo<BadStream>& bad) { return std::string(bad.param.name); });

} // namespace

TEST(Jpeg, ErrorInALaterScanFailsTheFirstDrawOnlyAndLeavesBlack)
{
    // A progressive stream whose second scan header has Ah = Al = 14: valid up to the
    // first scan, so it loads; the decoder reads every scan before the first row.
    std::vector<std::uint8_t> stream =
        MakeJpeg(Solid(16, 16, Rgb(250, 250, 250)), {.quality = 90, .progressive = true});
    const long sos = FindMarker(stream, 0xDA, 1);
    ASSERT_GT(sos, 0);
    const int components = stream[sos + 4];
    stream[sos + 5 + 2 * components + 2] = 0xEE;
    auto picture = Picture::LoadJpeg(stream, JpegDepth::TrueColour);

    Raster dst(4, 3);
    try {
        DrawPicture(dst, *picture, 0, 0, Keying::Opaque);
        FAIL() << "drew";
    } catch (const EJPEG& e) {
        EXPECT_EQ(e.what(), JpegErrorText(JERR_BAD_PROGRESSION));
    }
    // The failed draw drew nothing...
    EXPECT_EQ(rastertest::ToText(dst), "....\n....\n....\n");
    // ...the next copies the raster as far as it was filled, here not at all: black.
    EXPECT_NO_THROW(DrawPicture(dst, *picture, 0, 0, Keying::Opaque));
    EXPECT_EQ(rastertest::ToText(dst), "####\n####\n####\n");
    EXPECT_EQ(picture->DecodeCount(), 1);
}

TEST(Jpeg, RowsDecodedBeforeAnErrorAreKept)
{
    auto picture = Picture::LoadJpeg(FailingAfterTheRows(16, Rgb(200, 30, 60)), JpegDepth::TrueColour);

    Raster dst(16, 16);
    try {
        DrawPicture(dst, *picture, 0, 0, Keying::Opaque);
        FAIL() << "drew";
    } catch (const EJPEG& e) {
        EXPECT_EQ(e.what(), JpegErrorText(JERR_SOF_DUPLICATE));
    }
    DrawPicture(dst, *picture, 0, 0, Keying::Opaque);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            EXPECT_LE(ChannelDistance(dst.PixelAt(x, y), Rgb(200, 30, 60)), 2) << x << "," << y;
        }
    }
    EXPECT_EQ(picture->DecodeCount(), 1);
}

TEST(Jpeg, StreamCutInTheScanDecodesWithTheWarningIgnored)
{
    // Premature end of data is a warning: the decoder makes up the rest.
    const auto rows = RowGradient(32, 64);
    std::vector<std::uint8_t> stream = MakeJpeg(rows, {.quality = 95});
    const long sos = FindMarker(stream, 0xDA);
    stream.resize(static_cast<std::size_t>(sos) + (stream.size() - static_cast<std::size_t>(sos)) / 2);
    auto picture = Picture::LoadJpeg(stream, JpegDepth::TrueColour);
    Raster dst(32, 64);
    EXPECT_NO_THROW(DrawPicture(dst, *picture, 0, 0, Keying::Opaque));
    // The first MCU row lies well inside the half that is there.
    for (int y = 0; y < 16; ++y) {
        EXPECT_LE(ChannelDistance(dst.PixelAt(5, y), rows[y][5]), 8) << y;
    }
    EXPECT_EQ(picture->DecodeCount(), 1);
}

TEST(Jpeg, GarbageInTheScanNeverDecodesTwice)
{
    const auto rows = Rainbow(48);
    const std::vector<std::uint8_t> good = MakeJpeg(rows, {.quality = 90});
    const long sos = FindMarker(good, 0xDA);
    const std::size_t dataStart = static_cast<std::size_t>(sos) + 2 + (good[sos + 2] << 8 | good[sos + 3]);
    std::uint32_t state = 99;
    for (int variant = 0; variant < 40; ++variant) {
        std::vector<std::uint8_t> stream = good;
        // Overwrite a stretch of the entropy-coded data, marker bytes included.
        const std::size_t from = dataStart + (stream.size() - dataStart) * static_cast<std::size_t>(variant) / 48;
        for (std::size_t i = from; i < from + 24 && i + 2 < stream.size(); ++i) {
            state = state * 1664525u + 1013904223u;
            stream[i] = static_cast<std::uint8_t>(state >> 24);
        }
        auto picture = Picture::LoadJpeg(stream, variant % 2 ? JpegDepth::Quantised236 : JpegDepth::TrueColour);
        Raster dst(50, 50);
        try {
            DrawPicture(dst, *picture, 1, 1, Keying::Opaque);
        } catch (const EJPEG& e) {
            EXPECT_EQ(std::string(e.what()).rfind("JPEG error #", 0), 0u);
        }
        EXPECT_NO_THROW(DrawPicture(dst, *picture, 1, 1, Keying::Opaque)) << variant;
        EXPECT_EQ(picture->DecodeCount(), 1) << variant;
    }
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

TEST(Jpeg, DecodeAheadKeepsItsFailureForTheFirstDraw)
{
    auto picture = Picture::LoadJpeg(FailingAfterTheRows(8, Rgb(200, 30, 60)), JpegDepth::TrueColour);

    picture->DecodeAhead();
    EXPECT_EQ(picture->DecodeCount(), 1);
    EXPECT_FALSE(picture->IsDecoded());
    Raster dst(8, 8);
    try {
        DrawPicture(dst, *picture, 0, 0, Keying::Opaque);
        FAIL() << "drew";
    } catch (const EJPEG& e) {
        EXPECT_EQ(e.what(), JpegErrorText(JERR_SOF_DUPLICATE));
    }
    // Raised once, as a failed decode at the draw is: the next draw shows the rows.
    EXPECT_TRUE(picture->IsDecoded());
    DrawPicture(dst, *picture, 0, 0, Keying::Opaque);
    EXPECT_LE(ChannelDistance(dst.PixelAt(7, 7), Rgb(200, 30, 60)), 2);
    EXPECT_EQ(picture->DecodeCount(), 1);
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
