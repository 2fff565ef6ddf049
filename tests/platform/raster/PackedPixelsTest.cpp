// Packed pixels against the rows they were made from: every pixel read back, every
// clipped row drawn opaque and keyed, and the memory a one-colour row takes.
#include "platform/raster/PackedPixels.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

constexpr Pixel Key = Rgb(0, 128, 0);
constexpr Pixel Paper = Rgb(1, 2, 3);   // what a draw must leave alone

using Rows = std::vector<std::vector<Pixel>>;

// A bitmap knows its key before its rows; a decoded JPEG only after the last one.
enum class KeyKnown { BeforeTheRows, AtTheFinish };

PackedPixels Pack(const Rows& rows, Pixel key, KeyKnown when)
{
    const int width = rows.empty() ? 0 : static_cast<int>(rows[0].size());
    PackedPixels packed = when == KeyKnown::BeforeTheRows ? PackedPixels(width, key) : PackedPixels(width);
    for (const auto& row : rows)
        EXPECT_TRUE(packed.AppendRow(row.data()));
    if (when == KeyKnown::AtTheFinish)
        packed.Finish(key);
    return packed;
}

// Every pixel, and every clip window [left, right) of every row drawn both ways,
// against the rows themselves.
void ExpectSameAs(const PackedPixels& packed, const Rows& rows);

// The same, for the rows packed with the key known before them and at the finish.
void ExpectPackedEitherWaySameAs(const Rows& rows)
{
    for (const KeyKnown when : {KeyKnown::BeforeTheRows, KeyKnown::AtTheFinish}) {
        SCOPED_TRACE(when == KeyKnown::BeforeTheRows ? "key known before the rows" : "key known at the finish");
        ExpectSameAs(Pack(rows, Key, when), rows);
    }
}

void ExpectSameAs(const PackedPixels& packed, const Rows& rows)
{
    ASSERT_EQ(packed.Height(), static_cast<int>(rows.size()));
    const int width = packed.Width();
    for (int y = 0; y < packed.Height(); ++y) {
        for (int x = 0; x < width; ++x)
            ASSERT_EQ(packed.PixelAt(x, y), rows[y][x]) << "at " << x << "," << y;
        for (int left = 0; left < width; ++left) {
            for (int right = left + 1; right <= width; ++right) {
                for (const bool keyed : {false, true}) {
                    // One guard pixel either side catches a draw past the window.
                    std::vector<Pixel> out(static_cast<std::size_t>(right - left) + 2, Paper);
                    packed.DrawRow(y, left, right, out.data() + 1, keyed);
                    ASSERT_EQ(out.front(), Paper);
                    ASSERT_EQ(out.back(), Paper);
                    for (int x = left; x < right; ++x) {
                        const Pixel want = keyed && rows[y][x] == packed.Key() ? Paper : rows[y][x];
                        ASSERT_EQ(out[static_cast<std::size_t>(x - left) + 1], want)
                            << "row " << y << " [" << left << ", " << right << ") at " << x
                            << (keyed ? " keyed" : " opaque");
                    }
                }
            }
        }
    }
}

TEST(PackedPixels, ShortAndLongStretchesAndKeyPixelsReadBackAndDraw)
{
    constexpr Pixel R = Rgb(255, 0, 0), B = Rgb(0, 0, 255), W = White;
    const Rows rows = {
        {R, R, R, R, R, R, R, R, R, R, R, R},         // one colour
        {R, B, R, B, Key, B, R, B, B, B, B, Key},     // key pixels among short stretches
        {Key, Key, Key, Key, Key, R, B, R, Key, W, W, W},
        {R, R, R, B, B, B, B, R, Key, Key, R, R},     // a stretch of exactly four
        {W, W, W, W, W, W, W, W, W, W, W, Key},       // the key at the very end
    };
    ExpectPackedEitherWaySameAs(rows);
}

TEST(PackedPixels, RowsOfManyShortRunsAmongKeyPixelsDrawPastTheKey)
{
    // Needles: one or two pixels of a green, then the key, across the row, with key
    // margins either side; and a row of the same with a long stretch in the middle.
    constexpr Pixel G1 = Rgb(0, 90, 0), G2 = Rgb(20, 110, 10), G3 = Rgb(30, 60, 20);
    std::vector<Pixel> needles(48, Key);
    for (int x = 5; x < 43; x += 3) {
        needles[static_cast<std::size_t>(x)] = x % 2 ? G1 : G2;
        if (x % 4 == 1)
            needles[static_cast<std::size_t>(x) + 1] = G3;
    }
    std::vector<Pixel> stretch = needles;
    std::fill(stretch.begin() + 20, stretch.begin() + 30, G2);
    std::vector<Pixel> noKeyAtAll(48);
    for (std::size_t x = 0; x < noKeyAtAll.size(); ++x)
        noKeyAtAll[x] = x % 3 ? G1 : G3;
    const Rows rows = {needles, stretch, noKeyAtAll, std::vector<Pixel>(48, Key)};
    ExpectPackedEitherWaySameAs(rows);
}

TEST(PackedPixels, RandomRowsOfFewColoursMatchAtEveryClip)
{
    std::mt19937 random(20261208);
    const Pixel colours[] = {Key, Rgb(10, 20, 30), Rgb(200, 100, 0), White, Black};
    for (int round = 0; round < 20; ++round) {
        const int width = 1 + static_cast<int>(random() % 24);
        Rows rows(1 + random() % 6, std::vector<Pixel>(static_cast<std::size_t>(width)));
        for (auto& row : rows) {
            // Stretches of random length, so that both kinds of run come up.
            for (int x = 0; x < width;) {
                const Pixel colour = colours[random() % std::size(colours)];
                for (int n = 1 + static_cast<int>(random() % 6); n > 0 && x < width; --n)
                    row[static_cast<std::size_t>(x++)] = colour;
            }
        }
        SCOPED_TRACE("round " + std::to_string(round));
        ExpectPackedEitherWaySameAs(rows);
    }
}

TEST(PackedPixels, OneColourRowsTakeARunNotTheirPixels)
{
    // A sky: 1,000 pixels a row, each row one colour.
    constexpr int Width = 1000;
    constexpr int Height = 500;
    PackedPixels packed(Width);
    std::vector<Pixel> row(Width);
    for (int y = 0; y < Height; ++y) {
        std::fill(row.begin(), row.end(), Rgb(0, y % 256, 255 - y % 256));
        ASSERT_TRUE(packed.AppendRow(row.data()));
    }
    packed.Finish(Rgb(0, 0, 255));
    EXPECT_EQ(packed.PixelAt(Width - 1, 300), Rgb(0, 300 % 256, 255 - 300 % 256));
    EXPECT_LT(packed.HeldBytes(), std::size_t{Height} * 64);
}

TEST(PackedPixels, NothingAppendedIsEmptyAndDrawsNothing)
{
    PackedPixels none;
    none.Finish(Key);
    EXPECT_TRUE(none.IsEmpty());
    EXPECT_EQ(none.Width(), 0);
    EXPECT_EQ(none.Height(), 0);

    PackedPixels noColumns(0);
    EXPECT_TRUE(noColumns.AppendRow(nullptr));
    noColumns.Finish(Key);
    EXPECT_TRUE(noColumns.IsEmpty());
}

} // namespace
