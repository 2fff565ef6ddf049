// The committed JPEG pictures against the picture table: the stream's form (baseline
// JFIF 1.01, three components, 4:2:0), sizes, the sky gradients with the exact band of
// the fourth sky, and the eyes and banners on black.
#include "AssetFile.h"

#include "platform/raster/Picture.h"
#include "scene/PictureTable.h"
#include "support/Colour.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <string>
#include <vector>

namespace {

struct JpegFact {
    std::string file;
    int width;
    int height;
};

// Sizes as the picture table lists them.
std::vector<JpegFact> Jpegs()
{
    std::vector<JpegFact> facts;
    for (const PictureFacts& picture : PictureTable) {
        if (picture.Kind == PictureKind::Jpeg)
            facts.push_back({AssetFileName(picture.Holder), picture.Width, picture.Height});
    }
    return facts;
}

std::string TestName(const std::string& file)
{
    return file.substr(0, file.find('.'));
}

// What the markers before the first scan say.
struct StreamHeader {
    bool startsWithSoi = false;
    bool jfif = false;
    int jfifMajor = -1;
    int jfifMinor = -1;
    int frameMarkers = 0;   // every start-of-frame marker of any kind
    int baselineFrames = 0; // SOF0
    int precision = 0;
    int width = 0;
    int height = 0;
    int components = 0;
    std::array<int, 3> sampling{};
    bool reachedScan = false;
};

StreamHeader ReadHeader(const AssetFile& file)
{
    StreamHeader h;
    h.startsWithSoi = file.U8(0) == 0xFF && file.U8(1) == 0xD8;
    std::size_t at = 2;
    while (at + 4 <= file.Size()) {
        if (file.U8(at) != 0xFF)
            break;
        const std::uint32_t marker = file.U8(at + 1);
        if (marker == 0xFF) { // fill byte
            ++at;
            continue;
        }
        const std::uint32_t length = (file.U8(at + 2) << 8) | file.U8(at + 3);
        const std::size_t body = at + 4;
        if (marker == 0xDA) {
            h.reachedScan = true;
            break;
        }
        if (marker == 0xE0 && length >= 16 && file.U8(body) == 'J' && file.U8(body + 1) == 'F' &&
            file.U8(body + 2) == 'I' && file.U8(body + 3) == 'F' && file.U8(body + 4) == 0) {
            h.jfif = true;
            h.jfifMajor = static_cast<int>(file.U8(body + 5));
            h.jfifMinor = static_cast<int>(file.U8(body + 6));
        }
        // Start-of-frame markers are C0..CF except C4 (Huffman tables), C8 and CC.
        if (marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC) {
            ++h.frameMarkers;
            if (marker == 0xC0) {
                ++h.baselineFrames;
                h.precision = static_cast<int>(file.U8(body));
                h.height = static_cast<int>((file.U8(body + 1) << 8) | file.U8(body + 2));
                h.width = static_cast<int>((file.U8(body + 3) << 8) | file.U8(body + 4));
                h.components = static_cast<int>(file.U8(body + 5));
                for (int c = 0; c < 3 && c < h.components; ++c)
                    h.sampling[static_cast<size_t>(c)] = static_cast<int>(file.U8(body + 6 + 3 * c + 1));
            }
        }
        at += 2 + length;
    }
    return h;
}

std::unique_ptr<Picture> Decode(const AssetFile& file)
{
    auto picture =
        Picture::LoadJpeg(std::span<const std::uint8_t>(file.Bytes().data(), file.Size()), JpegDepth::TrueColour);
    picture->Pixels();
    return picture;
}

class JpegFile : public ::testing::TestWithParam<JpegFact> {};

TEST_P(JpegFile, IsBaselineJfif101WithLumaSampledTwiceTheChroma)
{
    const JpegFact& fact = GetParam();
    const AssetFile file(fact.file);
    const StreamHeader h = ReadHeader(file);
    EXPECT_TRUE(h.startsWithSoi);
    EXPECT_TRUE(h.jfif);
    EXPECT_EQ(h.jfifMajor, 1);
    EXPECT_EQ(h.jfifMinor, 1);
    EXPECT_TRUE(h.reachedScan);
    EXPECT_EQ(h.frameMarkers, 1);
    EXPECT_EQ(h.baselineFrames, 1);
    EXPECT_EQ(h.precision, 8);
    EXPECT_EQ(h.width, fact.width);
    EXPECT_EQ(h.height, fact.height);
    EXPECT_EQ(h.components, 3);
    // Horizontal and vertical sampling factors, four bits each.
    EXPECT_EQ(h.sampling[0], 0x22);
    EXPECT_EQ(h.sampling[1], 0x11);
    EXPECT_EQ(h.sampling[2], 0x11);
}

TEST_P(JpegFile, DecodesToItsSizeWithoutThePixelOfTheWindowKey)
{
    const JpegFact& fact = GetParam();
    const AssetFile file(fact.file);
    auto picture = Decode(file);
    ASSERT_EQ(picture->Width(), fact.width);
    ASSERT_EQ(picture->Height(), fact.height);
    const Raster& pixels = picture->Pixels();
    int windowKey = 0;
    for (int y = 0; y < fact.height; ++y)
        for (int x = 0; x < fact.width; ++x) {
            const Pixel p = pixels.PixelAt(x, y);
            windowKey += (RedOf(p) == 0 && GreenOf(p) == 128 && BlueOf(p) == 0) ? 1 : 0;
        }
    EXPECT_EQ(windowKey, 0) << "those pixels would be see-through on the screen window";
}

INSTANTIATE_TEST_SUITE_P(Assets, JpegFile, ::testing::ValuesIn(Jpegs()),
                         [](const ::testing::TestParamInfo<JpegFact>& param) { return TestName(param.param.file); });

// The sky colours the catalogue fixes, at rows 0, 100, 200, 300, 400 and 499. Sky 4's
// row 200 lies in its flat band of (0, 128, 1).
struct SkyFact {
    const char* file;
    std::array<std::array<int, 3>, 6> rows;
};

constexpr int SampleRows[6] = {0, 100, 200, 300, 400, 499};

constexpr SkyFact Skies[] = {
    {"Image1.jpg", {{{65, 64, 255}, {30, 30, 188}, {0, 0, 126}, {0, 1, 78}, {1, 0, 40}, {0, 0, 0}}}},
    {"Image2.jpg", {{{255, 254, 1}, {255, 127, 2}, {245, 36, 3}, {193, 0, 1}, {94, 0, 0}, {0, 0, 0}}}},
    {"Image3.jpg", {{{1, 0, 2}, {113, 1, 113}, {42, 0, 172}, {0, 0, 156}, {1, 0, 76}, {0, 0, 0}}}},
    {"Image4.jpg", {{{0, 0, 0}, {0, 112, 0}, {0, 128, 1}, {1, 103, 1}, {1, 51, 0}, {1, 1, 1}}}},
    {"Image5.jpg", {{{65, 64, 254}, {154, 19, 210}, {135, 1, 134}, {65, 0, 68}, {31, 0, 32}, {0, 0, 0}}}},
};

class SkyFile : public ::testing::TestWithParam<SkyFact> {};

TEST_P(SkyFile, ShowsTheCatalogueColourAcrossEachSampledRow)
{
    const SkyFact& fact = GetParam();
    const AssetFile file(fact.file);
    auto picture = Decode(file);
    const Raster& pixels = picture->Pixels();
    for (size_t i = 0; i < 6; ++i) {
        const int y = SampleRows[i];
        const auto& want = fact.rows[i];
        int worst = 0;
        for (int x = 0; x < pixels.Width(); ++x)
            worst = std::max(worst, ChannelDistance(pixels.PixelAt(x, y), Rgb(want[0], want[1], want[2])));
        EXPECT_LE(worst, 3) << "row " << y;
    }
}

TEST_P(SkyFile, IsOneColourAlongEveryRow)
{
    const AssetFile file(GetParam().file);
    auto picture = Decode(file);
    const Raster& pixels = picture->Pixels();
    int worstRow = -1;
    int worst = 0;
    for (int y = 0; y < pixels.Height(); ++y) {
        const Pixel first = pixels.PixelAt(0, y);
        for (int x = 1; x < pixels.Width(); ++x) {
            const int spread = ChannelDistance(pixels.PixelAt(x, y), first);
            if (spread > worst) {
                worst = spread;
                worstRow = y;
            }
        }
    }
    EXPECT_LE(worst, 3) << "row " << worstRow;
}

INSTANTIATE_TEST_SUITE_P(Assets, SkyFile, ::testing::ValuesIn(Skies),
                         [](const ::testing::TestParamInfo<SkyFact>& param) { return TestName(param.param.file); });

TEST(FourthSkyFile, RowsOfTheBandDecodeToExactly0_128_1)
{
    const AssetFile file("Image4.jpg");
    auto picture = Decode(file);
    const Raster& pixels = picture->Pixels();
    int wrong = 0;
    Pixel firstWrong = 0;
    for (int y = 128; y <= 255; ++y)
        for (int x = 0; x < pixels.Width(); ++x) {
            const Pixel p = pixels.PixelAt(x, y);
            if (!(RedOf(p) == 0 && GreenOf(p) == 128 && BlueOf(p) == 1)) {
                if (wrong == 0)
                    firstWrong = p;
                ++wrong;
            }
        }
    EXPECT_EQ(wrong, 0) << "first wrong pixel " << std::hex << firstWrong;
}

TEST(ThirdSkyFile, HasAVioletBandNearRow120AndABlueBandNearRow250)
{
    const AssetFile file("Image3.jpg");
    auto picture = Decode(file);
    const Raster& pixels = picture->Pixels();
    // Against a straight line between the stops at rows 100 and 200 (and 200 and 300),
    // the bands stand out: redder and bluer near row 120, greener and bluer near 250.
    auto lerp = [](int a, int b, double t) { return a + (b - a) * t; };
    int violetLift = 0;
    for (int y = 110; y <= 135; ++y) {
        const double t = (y - 100) / 100.0;
        const Pixel p = pixels.PixelAt(1000, y);
        violetLift = std::max(violetLift, static_cast<int>(RedOf(p) - lerp(113, 42, t)));
    }
    int blueLift = 0;
    for (int y = 235; y <= 265; ++y) {
        const double t = (y - 200) / 100.0;
        const Pixel p = pixels.PixelAt(1000, y);
        blueLift = std::max(blueLift, static_cast<int>(BlueOf(p) - lerp(172, 156, t)));
    }
    EXPECT_GE(violetLift, 25);
    EXPECT_GE(blueLift, 25);
}

// The eyes and banners: their motif on black, the outermost rows and columns black.
struct MotifFact {
    const char* file;
    // The motif's colour family: which channels of its bright pixels lead.
    enum Family { PaleYellow, Violet, Blue, Green, Yellow, Orange } family;
    bool eyes;
};

constexpr MotifFact Motifs[] = {
    {"Image15.jpg", MotifFact::PaleYellow, true}, {"Image16.jpg", MotifFact::Violet, true},
    {"Image17.jpg", MotifFact::Blue, true},       {"Image18.jpg", MotifFact::Green, true},
    {"Image19.jpg", MotifFact::Yellow, true},     {"Image24.jpg", MotifFact::Blue, false},
    {"Image25.jpg", MotifFact::Orange, false},    {"Image26.jpg", MotifFact::Blue, false},
    {"Image27.jpg", MotifFact::Green, false},     {"Image28.jpg", MotifFact::Violet, false},
};

class MotifFile : public ::testing::TestWithParam<MotifFact> {};

TEST_P(MotifFile, HasABlackBorder)
{
    const AssetFile file(GetParam().file);
    auto picture = Decode(file);
    const Raster& pixels = picture->Pixels();
    const int w = pixels.Width();
    const int h = pixels.Height();
    int brightest = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (x != 0 && y != 0 && x != w - 1 && y != h - 1)
                continue;
            const Pixel p = pixels.PixelAt(x, y);
            brightest = std::max({brightest, RedOf(p), GreenOf(p), BlueOf(p)});
        }
    EXPECT_LE(brightest, 16);
}

TEST_P(MotifFile, ShowsItsMotifInItsColour)
{
    const MotifFact& fact = GetParam();
    const AssetFile file(fact.file);
    auto picture = Decode(file);
    const Raster& pixels = picture->Pixels();
    // The average colour of the lit pixels.
    double r = 0, g = 0, b = 0;
    int lit = 0;
    int left = pixels.Width();
    int right = -1;
    int litOnMiddleColumn = 0;
    for (int y = 0; y < pixels.Height(); ++y)
        for (int x = 0; x < pixels.Width(); ++x) {
            const Pixel p = pixels.PixelAt(x, y);
            if (std::max({RedOf(p), GreenOf(p), BlueOf(p)}) < 100)
                continue;
            r += RedOf(p);
            g += GreenOf(p);
            b += BlueOf(p);
            ++lit;
            left = std::min(left, x);
            right = std::max(right, x);
            litOnMiddleColumn += x == pixels.Width() / 2 ? 1 : 0;
        }
    ASSERT_GT(lit, 60) << "no motif";
    r /= lit;
    g /= lit;
    b /= lit;
    switch (fact.family) {
    case MotifFact::PaleYellow:
        EXPECT_TRUE(r > 180 && g > 180 && b > 90 && b < r - 30) << r << " " << g << " " << b;
        break;
    case MotifFact::Yellow: EXPECT_TRUE(r > 180 && g > 140 && b < r - 80) << r << " " << g << " " << b; break;
    case MotifFact::Violet: EXPECT_TRUE(r > g + 40 && b > g + 40) << r << " " << g << " " << b; break;
    case MotifFact::Blue: EXPECT_TRUE(b > r + 60 && b > g + 60) << r << " " << g << " " << b; break;
    case MotifFact::Green: EXPECT_TRUE(g > r + 60 && g > b + 60) << r << " " << g << " " << b; break;
    case MotifFact::Orange: EXPECT_TRUE(r > 200 && g > b + 40 && g < r - 60) << r << " " << g << " " << b; break;
    }
    if (fact.eyes) {
        // A pair: lit on both sides of the middle, dark between them.
        EXPECT_LT(left, pixels.Width() / 2 - 10);
        EXPECT_GT(right, pixels.Width() / 2 + 10);
        EXPECT_EQ(litOnMiddleColumn, 0);
    } else {
        // Lettering across most of the banner.
        EXPECT_GE(right - left, pixels.Width() * 2 / 3);
    }
}

INSTANTIATE_TEST_SUITE_P(Assets, MotifFile, ::testing::ValuesIn(Motifs),
                         [](const ::testing::TestParamInfo<MotifFact>& param) { return TestName(param.param.file); });

} // namespace
