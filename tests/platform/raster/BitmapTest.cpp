// Tests of the BMP reader: decoding 1- and 24-bit images, and rejecting every malformed block.
#include "platform/Exception.h"
#include "platform/raster/Picture.h"
#include "RasterText.h"
#include "support/PictureFiles.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <vector>

using rastertest::FromText;
using rastertest::ToText;

namespace {

const std::map<char, Pixel> Colours = {
    {'R', Rgb(255, 0, 0)}, {'G', Rgb(0, 255, 0)}, {'B', Rgb(0, 0, 255)}, {'y', Rgb(12, 34, 56)}};

// 3 pixels wide: 9 bytes a row, padded to 12.
const std::string Small24 = "RGB\n"
                            "#.y\n";

// 10 pixels wide: two bytes a row, padded to four.
const std::string Small1 = "#.#.#.##..\n"
                           "..........\n"
                           "##########\n";

std::vector<std::uint8_t> ValidBmp24()
{
    return MakeBmp24(FromText(Small24, Colours));
}

std::vector<std::uint8_t> ValidBmp1()
{
    return MakeBmp1(FromText(Small1));
}

} // namespace

TEST(Bitmap, Decodes24BitRowsBottomUpInTheirColours)
{
    auto picture = Picture::LoadBitmap(ValidBmp24());
    EXPECT_EQ(picture->Kind(), PictureKind::Bitmap);
    EXPECT_EQ(picture->Width(), 3);
    EXPECT_EQ(picture->Height(), 2);
    EXPECT_EQ(picture->BitsPerPixel(), 24);
    // RGB
    // #.y
    EXPECT_EQ(ToText(picture->Pixels(), Colours), "RGB\n#.y\n");
    EXPECT_EQ(picture->Pixels().PixelAt(2, 1), Rgb(12, 34, 56));
}

TEST(Bitmap, Decodes1BitIndexZeroBlackAndIndexOneWhite)
{
    auto picture = Picture::LoadBitmap(ValidBmp1());
    EXPECT_EQ(picture->Width(), 10);
    EXPECT_EQ(picture->Height(), 3);
    EXPECT_EQ(picture->BitsPerPixel(), 1);
    EXPECT_EQ(ToText(picture->Pixels()), Small1);
}

TEST(Bitmap, Draws1BitPixelsBlackAndWhiteWhateverThePaletteSays)
{
    auto picture = Picture::LoadBitmap(MakeBmp1(FromText(Small1), {Rgb(255, 0, 0), Rgb(0, 0, 255)}));
    EXPECT_EQ(ToText(picture->Pixels()), Small1);
}

TEST(Bitmap, WideOneBitRowsUseEveryByte)
{
    // 35 pixels: five bytes of pixels and three of padding a row.
    const std::string text = "#.................................#\n"
                             ".#################################.\n";
    auto picture = Picture::LoadBitmap(MakeBmp1(FromText(text)));
    EXPECT_EQ(ToText(picture->Pixels()), text);
}

TEST(Bitmap, AcceptsAGapBeforeThePixelsAndBytesAfterThem)
{
    std::vector<std::uint8_t> bmp = ValidBmp24();
    // Six bytes inserted between the headers and the pixels, four appended.
    bmp.insert(bmp.begin() + 54, 6, 0xEE);
    bmp.insert(bmp.end(), 4, 0xEE);
    SetU32(bmp, 2, static_cast<std::uint32_t>(bmp.size()));
    SetU32(bmp, 10, 60);
    auto picture = Picture::LoadBitmap(bmp);
    EXPECT_EQ(ToText(picture->Pixels(), Colours), "RGB\n#.y\n");
}

TEST(Bitmap, DecodesAtLoadWithoutCountingADecode)
{
    auto picture = Picture::LoadBitmap(ValidBmp24());
    EXPECT_EQ(picture->DecodeCount(), 0);
}

namespace {

struct BadBitmap {
    const char* name;
    bool oneBit;  // start from the 1-bit image, else the 24-bit one
    std::function<void(std::vector<std::uint8_t>&)> spoil;
};

void SetSize(std::vector<std::uint8_t>& b)
{
    SetU32(b, 2, static_cast<std::uint32_t>(b.size()));
}

const BadBitmap BadBitmaps[] = {
    {"NotBM", false, [](auto& b) { b[1] = 'A'; }},
    {"LowerCaseBm", false, [](auto& b) { b[0] = 'b'; }},
    {"ZeroPlanes", false, [](auto& b) { SetU16(b, 26, 0); }},
    {"TwoPlanes", true, [](auto& b) { SetU16(b, 26, 2); }},
    {"FileSizeOneShort", false, [](auto& b) { SetU32(b, 2, static_cast<std::uint32_t>(b.size() - 1)); }},
    {"FileSizeOneOver", false, [](auto& b) { SetU32(b, 2, static_cast<std::uint32_t>(b.size() + 1)); }},
    {"FileSizeHuge", true, [](auto& b) { SetU32(b, 2, 0xFFFFFFFFu); }},
    {"CoreHeader", false, [](auto& b) { SetU32(b, 14, 12); }},
    {"V4Header", false, [](auto& b) { SetU32(b, 14, 108); }},
    {"V5Header", false, [](auto& b) { SetU32(b, 14, 124); }},
    {"Rle8", false, [](auto& b) { SetU32(b, 30, 1); }},
    {"Rle4", true, [](auto& b) { SetU32(b, 30, 2); }},
    {"Bitfields", false, [](auto& b) { SetU32(b, 30, 3); }},
    {"Depth0", false, [](auto& b) { SetU16(b, 28, 0); }},
    {"Depth4", true, [](auto& b) { SetU16(b, 28, 4); }},
    {"Depth8", true, [](auto& b) { SetU16(b, 28, 8); }},
    {"Depth16", false, [](auto& b) { SetU16(b, 28, 16); }},
    {"Depth32", false, [](auto& b) { SetU16(b, 28, 32); }},
    {"OneBitMarkedAs24", true, [](auto& b) { SetU16(b, 28, 24); }},
    {"PixelOffsetPastEnd", false, [](auto& b) { SetU32(b, 10, static_cast<std::uint32_t>(b.size() + 1)); }},
    {"PixelOffsetAtEnd", false, [](auto& b) { SetU32(b, 10, static_cast<std::uint32_t>(b.size())); }},
    {"PixelOffsetHuge", false, [](auto& b) { SetU32(b, 10, 0xFFFFFFF0u); }},
    {"PixelOffsetIntoHeaders", false, [](auto& b) { SetU32(b, 10, 20); }},
    {"PixelOffsetZero", false, [](auto& b) { SetU32(b, 10, 0); }},
    {"PixelOffsetOverPalette", true, [](auto& b) { SetU32(b, 10, 54); }},
    {"PixelsRunPastEnd", false, [](auto& b) { SetU32(b, 10, 58); }},
    {"WidthZero", false, [](auto& b) { SetU32(b, 18, 0); }},
    {"WidthNegative", false, [](auto& b) { SetU32(b, 18, static_cast<std::uint32_t>(-3)); }},
    {"HeightZero", true, [](auto& b) { SetU32(b, 22, 0); }},
    {"HeightNegativeTopDown", false, [](auto& b) { SetU32(b, 22, static_cast<std::uint32_t>(-2)); }},
    {"WidthIntMin", false, [](auto& b) { SetU32(b, 18, 0x80000000u); }},
    {"WidthTooLarge", false, [](auto& b) { SetU32(b, 18, 5); }},
    {"HeightTooLarge", true, [](auto& b) { SetU32(b, 22, 4); }},
    {"WidthIntMax", false, [](auto& b) { SetU32(b, 18, INT_MAX); }},
    {"HeightIntMax", true, [](auto& b) { SetU32(b, 22, INT_MAX); }},
    {"BothIntMax1Bit", true, [](auto& b) { SetU32(b, 18, INT_MAX); SetU32(b, 22, INT_MAX); }},
    // The last row's padding is missing: 9 bytes of pixels where the row takes 12.
    {"LastRowPaddingMissing", false, [](auto& b) { b.resize(b.size() - 3); SetSize(b); }},
    {"LastRowMissing", true, [](auto& b) { b.resize(b.size() - 4); SetSize(b); }},
    {"HeadersOnly", false, [](auto& b) { b.resize(54); SetSize(b); }},
    {"InfoHeaderCut", false, [](auto& b) { b.resize(53); SetSize(b); }},
    {"FileHeaderOnly", false, [](auto& b) { b.resize(14); SetSize(b); }},
    {"Empty", false, [](auto& b) { b.clear(); }},
    {"JpegData", false, [](auto& b) { b[0] = 0xFF; b[1] = 0xD8; }},
};

void PrintTo(const BadBitmap& bad, std::ostream* os)
{
    *os << bad.name;
}

class InvalidBitmap : public ::testing::TestWithParam<BadBitmap> {};

TEST_P(InvalidBitmap, IsRejectedAsNotValid)
{
    std::vector<std::uint8_t> bmp = GetParam().oneBit ? ValidBmp1() : ValidBmp24();
    GetParam().spoil(bmp);
    try {
        Picture::LoadBitmap(bmp);
        FAIL() << "accepted";
    } catch (const EInvalidGraphic& e) {
        EXPECT_STREQ(e.what(), "Bitmap image is not valid");
        EXPECT_STREQ(e.ClassName(), "EInvalidGraphic");
    }
}

INSTANTIATE_TEST_SUITE_P(Variants, InvalidBitmap, ::testing::ValuesIn(BadBitmaps),
                         [](const ::testing::TestParamInfo<BadBitmap>& bad) { return std::string(bad.param.name); });

} // namespace

TEST(Bitmap, EveryTruncationIsRejected)
{
    for (const auto& valid : {ValidBmp1(), ValidBmp24()}) {
        for (std::size_t length = 0; length < valid.size(); ++length) {
            std::vector<std::uint8_t> cut(valid.begin(), valid.begin() + static_cast<std::ptrdiff_t>(length));
            // As cut, with the stored file size left alone...
            EXPECT_THROW(Picture::LoadBitmap(cut), EInvalidGraphic) << length;
            // ...and with the file size made to agree with the cut block.
            if (length >= 6) {
                SetU32(cut, 2, static_cast<std::uint32_t>(length));
            }
            EXPECT_THROW(Picture::LoadBitmap(cut), EInvalidGraphic) << length;
        }
    }
}

TEST(Bitmap, SpanOfAPartOfABufferIsReadOnlyWithinTheSpan)
{
    // The block sits inside a bigger buffer; the size field is one past the span.
    std::vector<std::uint8_t> buffer = ValidBmp24();
    buffer.push_back(0);
    SetU32(buffer, 2, static_cast<std::uint32_t>(buffer.size()));
    std::span<const std::uint8_t> span(buffer.data(), buffer.size() - 1);
    EXPECT_THROW(Picture::LoadBitmap(span), EInvalidGraphic);
    EXPECT_EQ(ToText(Picture::LoadBitmap(buffer)->Pixels(), Colours), "RGB\n#.y\n");
}
