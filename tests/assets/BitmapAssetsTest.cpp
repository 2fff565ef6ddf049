// The committed scene bitmaps against the picture table: stored form, sizes, depths,
// colours and bottom-left pixels.
#include "AssetFile.h"

#include "platform/raster/Picture.h"
#include "scene/PictureTable.h"
#include "support/Colour.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

struct BitmapFact {
    std::string file;
    int width;
    int height;
    int bitsPerPixel;
};

// Sizes and depths as the picture table lists them.
std::vector<BitmapFact> Bitmaps()
{
    std::vector<BitmapFact> facts;
    for (const PictureFacts& picture : PictureTable) {
        if (picture.Kind == PictureKind::Bitmap)
            facts.push_back({AssetFileName(picture.Holder), picture.Width, picture.Height, picture.BitsPerPixel});
    }
    return facts;
}

// The files of the pictures of some roles at a depth.
std::vector<std::string> Files(std::initializer_list<PictureRole> roles, int bitsPerPixel)
{
    std::vector<std::string> files;
    for (const PictureFacts& picture : PictureTable) {
        if (std::find(roles.begin(), roles.end(), picture.Role) != roles.end() &&
            (bitsPerPixel == 0 || picture.BitsPerPixel == bitsPerPixel))
            files.push_back(AssetFileName(picture.Holder));
    }
    return files;
}

bool IsColour(Pixel p, int r, int g, int b)
{
    return RedOf(p) == r && GreenOf(p) == g && BlueOf(p) == b;
}

std::unique_ptr<Picture> Load(const AssetFile& file)
{
    return Picture::LoadBitmap(std::span<const std::uint8_t>(file.Bytes().data(), file.Size()));
}

class BitmapFile : public ::testing::TestWithParam<BitmapFact> {};

TEST_P(BitmapFile, HasTheStoredFormOfTheCatalogue)
{
    const BitmapFact& fact = GetParam();
    const AssetFile file(fact.file);
    ASSERT_GT(file.Size(), 54u) << fact.file;
    EXPECT_EQ(file.U8(0), 'B');
    EXPECT_EQ(file.U8(1), 'M');
    EXPECT_EQ(file.U32(2), file.Size()) << "the size field is the file's length";
    EXPECT_EQ(file.U32(14), 40u) << "a 40-byte information header";
    EXPECT_EQ(file.S32(18), fact.width);
    EXPECT_EQ(file.S32(22), fact.height) << "positive: rows bottom-up";
    EXPECT_EQ(file.U16(26), 1u) << "one plane";
    EXPECT_EQ(file.U16(28), static_cast<std::uint32_t>(fact.bitsPerPixel));
    EXPECT_EQ(file.U32(30), 0u) << "no compression";
    const std::uint32_t offset = fact.bitsPerPixel == 1 ? 62 : 54;
    EXPECT_EQ(file.U32(10), offset);
    // Each row padded to a multiple of four bytes, nothing after the last row.
    const std::uint32_t rowBytes = (static_cast<std::uint32_t>(fact.width * fact.bitsPerPixel) + 31) / 32 * 4;
    EXPECT_EQ(file.Size(), offset + rowBytes * static_cast<std::uint32_t>(fact.height));
    if (fact.bitsPerPixel == 1) {
        // Palette index 0 black, index 1 white (stored blue, green, red, reserved).
        EXPECT_EQ(file.U32(54), 0x00000000u);
        EXPECT_EQ(file.U32(58), 0x00FFFFFFu);
    }
}

TEST_P(BitmapFile, DecodesToItsCatalogueSizeWithoutTheWindowKey)
{
    const BitmapFact& fact = GetParam();
    const AssetFile file(fact.file);
    auto picture = Load(file);
    ASSERT_EQ(picture->Width(), fact.width);
    ASSERT_EQ(picture->Height(), fact.height);
    EXPECT_EQ(picture->BitsPerPixel(), fact.bitsPerPixel);
    const Raster& pixels = picture->Pixels();
    int windowKey = 0;
    for (int y = 0; y < fact.height; ++y)
        for (int x = 0; x < fact.width; ++x)
            windowKey += IsColour(pixels.PixelAt(x, y), 0, 128, 0) ? 1 : 0;
    EXPECT_EQ(windowKey, 0) << fact.file << " holds the screen window's colour key (0, 128, 0)";
}

INSTANTIATE_TEST_SUITE_P(Assets, BitmapFile, ::testing::ValuesIn(Bitmaps()),
                         [](const ::testing::TestParamInfo<BitmapFact>& param) {
                             std::string name = param.param.file;
                             return name.substr(0, name.find('.'));
                         });

// The 24-bit silhouettes: black on (0, 255, 0), nothing else.
const std::vector<std::string> Silhouettes =
    Files({PictureRole::Castle, PictureRole::Branches, PictureRole::ShortTree, PictureRole::TallTree, PictureRole::Hill},
          24);

class SilhouetteFile : public ::testing::TestWithParam<std::string> {};

TEST_P(SilhouetteFile, HoldsExactlyBlackAndTheKeyWithTheKeyBottomLeft)
{
    const AssetFile file(GetParam());
    auto picture = Load(file);
    const Raster& pixels = picture->Pixels();
    int black = 0;
    int key = 0;
    int other = 0;
    for (int y = 0; y < pixels.Height(); ++y)
        for (int x = 0; x < pixels.Width(); ++x) {
            const Pixel p = pixels.PixelAt(x, y);
            if (IsColour(p, 0, 0, 0))
                ++black;
            else if (IsColour(p, 0, 255, 0))
                ++key;
            else
                ++other;
        }
    EXPECT_EQ(other, 0);
    // Both colours are really there: a silhouette of some size against the key.
    const int total = pixels.Width() * pixels.Height();
    EXPECT_GT(black, total / 20);
    EXPECT_GT(key, total / 5);
    EXPECT_TRUE(IsColour(pixels.PixelAt(0, pixels.Height() - 1), 0, 255, 0));
}

INSTANTIATE_TEST_SUITE_P(Assets, SilhouetteFile, ::testing::ValuesIn(Silhouettes),
                         [](const ::testing::TestParamInfo<std::string>& param) {
                             std::string name = param.param;
                             return name.substr(0, name.find('.'));
                         });

// Trees, hills and figures stand on the frame's ground: something of theirs is on
// the picture's bottom row.
TEST(GroundStandingFiles, ReachTheirBottomRow)
{
    for (const std::string& name :
         Files({PictureRole::ShortTree, PictureRole::TallTree, PictureRole::Hill, PictureRole::Figure}, 0)) {
        const AssetFile file(name);
        auto picture = Load(file);
        const Raster& pixels = picture->Pixels();
        int black = 0;
        for (int x = 0; x < pixels.Width(); ++x)
            black += IsColour(pixels.PixelAt(x, pixels.Height() - 1), 0, 0, 0) ? 1 : 0;
        EXPECT_GT(black, 0) << name;
    }
}

struct MonoFact {
    const char* file;
    bool blackBottomLeft;
};

constexpr MonoFact Monos[] = {
    {"Image8.bmp", true}, {"Image21.bmp", false}, {"Image22.bmp", false}, {"Image23.bmp", true}};

class MonoFile : public ::testing::TestWithParam<MonoFact> {};

TEST_P(MonoFile, HoldsBlackAndWhiteWithTheCatalogueBottomLeftPixel)
{
    const MonoFact& fact = GetParam();
    const AssetFile file(fact.file);
    auto picture = Load(file);
    const Raster& pixels = picture->Pixels();
    int black = 0;
    int white = 0;
    for (int y = 0; y < pixels.Height(); ++y)
        for (int x = 0; x < pixels.Width(); ++x) {
            const Pixel p = pixels.PixelAt(x, y);
            black += IsColour(p, 0, 0, 0) ? 1 : 0;
            white += IsColour(p, 255, 255, 255) ? 1 : 0;
        }
    EXPECT_EQ(black + white, pixels.Width() * pixels.Height());
    EXPECT_GT(black, 0);
    EXPECT_GT(white, 0);
    // The stored bit of the bottom-left pixel: the first bit of the first stored row.
    const std::uint32_t firstBit = (file.U8(62) >> 7) & 1;
    const Pixel corner = pixels.PixelAt(0, pixels.Height() - 1);
    if (fact.blackBottomLeft) {
        EXPECT_EQ(firstBit, 0u);
        EXPECT_TRUE(IsColour(corner, 0, 0, 0));
    } else {
        EXPECT_EQ(firstBit, 1u);
        EXPECT_TRUE(IsColour(corner, 255, 255, 255));
    }
}

INSTANTIATE_TEST_SUITE_P(Assets, MonoFile, ::testing::ValuesIn(Monos),
                         [](const ::testing::TestParamInfo<MonoFact>& param) {
                             std::string name = param.param.file;
                             return name.substr(0, name.find('.'));
                         });

TEST(MoonFile, IsPaleGreyOnTheKeyWithNoColourNearTheKey)
{
    const AssetFile file("Image20.bmp");
    auto picture = Load(file);
    const Raster& pixels = picture->Pixels();
    EXPECT_TRUE(IsColour(pixels.PixelAt(0, 93), 0, 255, 0));
    int disc = 0;
    int nearKey = 0;
    int notGrey = 0;
    for (int y = 0; y < 94; ++y)
        for (int x = 0; x < 106; ++x) {
            const Pixel p = pixels.PixelAt(x, y);
            if (IsColour(p, 0, 255, 0))
                continue;
            ++disc;
            if (Near(p, Rgb(0, 255, 0), 40))
                ++nearKey;
            // Pale greys: channels close together and bright.
            const int lo = std::min({RedOf(p), GreenOf(p), BlueOf(p)});
            const int hi = std::max({RedOf(p), GreenOf(p), BlueOf(p)});
            if (hi - lo > 16 || lo < 100)
                ++notGrey;
        }
    EXPECT_EQ(nearKey, 0);
    EXPECT_EQ(notGrey, 0);
    // A disc filling most of the picture, its centre drawn and its corners keyed.
    EXPECT_GT(disc, 106 * 94 / 2);
    EXPECT_FALSE(IsColour(pixels.PixelAt(53, 47), 0, 255, 0));
    EXPECT_TRUE(IsColour(pixels.PixelAt(0, 0), 0, 255, 0));
    EXPECT_TRUE(IsColour(pixels.PixelAt(105, 0), 0, 255, 0));
    EXPECT_TRUE(IsColour(pixels.PixelAt(105, 93), 0, 255, 0));
}

TEST(MoonFile, HasDarkerPatches)
{
    const AssetFile file("Image20.bmp");
    auto picture = Load(file);
    const Raster& pixels = picture->Pixels();
    int lightest = 0;
    int darkest = 255;
    for (int y = 0; y < 94; ++y)
        for (int x = 0; x < 106; ++x) {
            const Pixel p = pixels.PixelAt(x, y);
            if (IsColour(p, 0, 255, 0))
                continue;
            lightest = std::max(lightest, GreenOf(p));
            darkest = std::min(darkest, GreenOf(p));
        }
    EXPECT_GE(lightest - darkest, 40);
}

} // namespace
