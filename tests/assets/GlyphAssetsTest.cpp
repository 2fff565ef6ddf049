// The dialog's button glyphs (36 x 18, 16 colours, olive transparent) and the program
// icon (one 32 x 32 image in 16 colours with its AND mask), read field by field.
#include "AssetFile.h"

#include <gtest/gtest.h>

#include <array>
#include <set>
#include <string>

namespace {

using Rgb = std::array<int, 3>;

// A palette entry is stored blue, green, red, reserved.
Rgb PaletteEntry(const AssetFile& file, std::size_t paletteAt, std::uint32_t index)
{
    const std::size_t at = paletteAt + 4 * index;
    return {static_cast<int>(file.U8(at + 2)), static_cast<int>(file.U8(at + 1)), static_cast<int>(file.U8(at))};
}

// The palette index of (x, y), y from the top, in bottom-up 4-bit rows.
std::uint32_t Index4(const AssetFile& file, std::size_t pixelsAt, int width, int height, int x, int y)
{
    const std::size_t rowBytes = (static_cast<std::size_t>(width) * 4 + 31) / 32 * 4;
    const std::uint32_t byte =
        file.U8(pixelsAt + rowBytes * static_cast<std::size_t>(height - 1 - y) + static_cast<std::size_t>(x / 2));
    return x % 2 == 0 ? byte >> 4 : byte & 0x0F;
}

const Rgb Olive{128, 128, 0};

enum class Hue { Green, Red };

struct GlyphFact {
    const char* file;
    Hue hue;
};

constexpr GlyphFact Glyphs[] = {{"BBOK.bmp", Hue::Green}, {"BBCANCEL.bmp", Hue::Red}, {"BBIGNORE.bmp", Hue::Green}};

class GlyphFile : public ::testing::TestWithParam<GlyphFact> {};

TEST_P(GlyphFile, IsA36By18SixteenColourBitmap)
{
    const AssetFile file(GetParam().file);
    EXPECT_EQ(file.U8(0), 'B');
    EXPECT_EQ(file.U8(1), 'M');
    EXPECT_EQ(file.U32(2), file.Size());
    EXPECT_EQ(file.U32(14), 40u);
    EXPECT_EQ(file.S32(18), 36);
    EXPECT_EQ(file.S32(22), 18);
    EXPECT_EQ(file.U16(26), 1u);
    EXPECT_EQ(file.U16(28), 4u);
    EXPECT_EQ(file.U32(30), 0u);
    const std::uint32_t colours = file.U32(46) == 0 ? 16 : file.U32(46);
    EXPECT_EQ(colours, 16u);
    EXPECT_EQ(file.U32(10), 54u + 4 * colours);
    // 36 pixels of 4 bits are 18 bytes, padded to 20.
    EXPECT_EQ(file.Size(), 54u + 4 * colours + 20 * 18);
    bool hasOlive = false;
    for (std::uint32_t i = 0; i < colours; ++i)
        hasOlive = hasOlive || PaletteEntry(file, 54, i) == Olive;
    EXPECT_TRUE(hasOlive);
}

TEST_P(GlyphFile, HasAnOliveBottomLeftPixel)
{
    const AssetFile file(GetParam().file);
    const std::uint32_t index = Index4(file, file.U32(10), 36, 18, 0, 17);
    EXPECT_EQ(PaletteEntry(file, 54, index), Olive);
}

TEST_P(GlyphFile, ShowsItsColourBesideAGreyedCopy)
{
    const GlyphFact& fact = GetParam();
    const AssetFile file(fact.file);
    int hued = 0;
    int wrongHue = 0;
    int greyed = 0;
    int colouredInGreyed = 0;
    for (int y = 0; y < 18; ++y)
        for (int x = 0; x < 36; ++x) {
            const Rgb c = PaletteEntry(file, 54, Index4(file, file.U32(10), 36, 18, x, y));
            if (c == Olive)
                continue;
            const bool green = c[1] > c[0] + 60 && c[1] > c[2] + 60;
            const bool red = c[0] > c[1] + 60 && c[0] > c[2] + 60;
            if (x < 18) {
                hued += (fact.hue == Hue::Green ? green : red) ? 1 : 0;
                wrongHue += (fact.hue == Hue::Green ? red : green) ? 1 : 0;
            } else {
                const bool grey = c[0] == c[1] && c[1] == c[2];
                greyed += grey ? 1 : 0;
                colouredInGreyed += grey ? 0 : 1;
            }
        }
    EXPECT_GE(hued, 15);
    EXPECT_EQ(wrongHue, 0);
    EXPECT_GE(greyed, 15);
    EXPECT_EQ(colouredInGreyed, 0);
}

INSTANTIATE_TEST_SUITE_P(Assets, GlyphFile, ::testing::ValuesIn(Glyphs),
                         [](const ::testing::TestParamInfo<GlyphFact>& param) {
                             std::string name = param.param.file;
                             return name.substr(0, name.find('.'));
                         });

TEST(MainIconFile, HoldsOne32By32ImageOf16ColoursWithItsMask)
{
    const AssetFile file("MAINICON.ico");
    EXPECT_EQ(file.U16(0), 0u);
    EXPECT_EQ(file.U16(2), 1u) << "an icon";
    ASSERT_EQ(file.U16(4), 1u) << "one image";
    EXPECT_EQ(file.U8(6), 32u);
    EXPECT_EQ(file.U8(7), 32u);
    EXPECT_EQ(file.U8(8), 16u);
    const std::uint32_t size = file.U32(14);
    const std::uint32_t at = file.U32(18);
    EXPECT_EQ(at + size, file.Size());
    // The image: an information header whose height counts the colour and the mask
    // rows, 16 palette entries, 32 rows of 16 bytes, 32 mask rows of 4 bytes.
    EXPECT_EQ(file.U32(at), 40u);
    EXPECT_EQ(file.S32(at + 4), 32);
    EXPECT_EQ(file.S32(at + 8), 64);
    EXPECT_EQ(file.U16(at + 12), 1u);
    EXPECT_EQ(file.U16(at + 14), 4u);
    EXPECT_EQ(file.U32(at + 16), 0u);
    EXPECT_EQ(size, 40u + 16 * 4 + 32 * 16 + 32 * 4);
}

TEST(MainIconFile, IsAPictureNotAFlatColour)
{
    const AssetFile file("MAINICON.ico");
    const std::uint32_t at = file.U32(18);
    std::set<std::uint32_t> indexes;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            indexes.insert(Index4(file, at + 40 + 64, 32, 32, x, y));
    EXPECT_GE(indexes.size(), 4u);
}

} // namespace
