// Tests of JPEG pictures that fail: a bad header at load, errors and warnings in the
// scan at the first draw, a failure met while decoding ahead.
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

// The first draw of the picture raises libjpeg's error `code`.
void ExpectDrawRaises(Raster& dst, Picture& picture, int code)
{
    try {
        DrawPicture(dst, picture, 0, 0, Keying::Opaque);
        FAIL() << "drew";
    } catch (const EJPEG& e) {
        EXPECT_EQ(e.what(), JpegErrorText(code));
    }
}

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
    ASSERT_NO_FATAL_FAILURE(ExpectDrawRaises(dst, *picture, JERR_BAD_PROGRESSION));
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
    ASSERT_NO_FATAL_FAILURE(ExpectDrawRaises(dst, *picture, JERR_SOF_DUPLICATE));
    DrawPicture(dst, *picture, 0, 0, Keying::Opaque);
    ExpectEveryPixelNear(dst, Rgb(200, 30, 60), 2);
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

TEST(Jpeg, DecodeAheadKeepsItsFailureForTheFirstDraw)
{
    auto picture = Picture::LoadJpeg(FailingAfterTheRows(8, Rgb(200, 30, 60)), JpegDepth::TrueColour);

    picture->DecodeAhead();
    EXPECT_EQ(picture->DecodeCount(), 1);
    EXPECT_FALSE(picture->IsDecoded());
    Raster dst(8, 8);
    ASSERT_NO_FATAL_FAILURE(ExpectDrawRaises(dst, *picture, JERR_SOF_DUPLICATE));
    // Raised once, as a failed decode at the draw is: the next draw shows the rows.
    EXPECT_TRUE(picture->IsDecoded());
    DrawPicture(dst, *picture, 0, 0, Keying::Opaque);
    EXPECT_LE(ChannelDistance(dst.PixelAt(7, 7), Rgb(200, 30, 60)), 2);
    EXPECT_EQ(picture->DecodeCount(), 1);
}
