// Tests of a new raster's white when its block is recycled: rows the frame clear
// overwrites whole skip their white, and every other first touch still reads white.
#include "platform/raster/Picture.h"
#include "platform/raster/Raster.h"
#include "BmpWriter.h"
#include "RasterText.h"

#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

using rastertest::FromText;
using rastertest::MakeBmp24;
using rastertest::Paint;
using rastertest::ToText;

namespace {

constexpr int Width = 6;
constexpr int Height = 5;
const Pixel Red = Rgb(255, 0, 0);
const Pixel Green = Rgb(0, 255, 0);
const Pixel Blue = Rgb(0, 0, 255);
const std::map<char, Pixel> Colours = {{'R', Red}, {'G', Green}, {'B', Blue}};

// Leaves a red block of Width x Height pixels in the raster engine's cache, so the
// next raster of that size starts on storage that is red, not white. Returns its
// address, to check that the raster under test really got it.
const Pixel* LeaveRedBlock()
{
    Raster stale(Width, Height);
    Paint(stale, Red);
    return stale.Scanline(0);
}

struct Step {
    enum Kind { Line, Dot, PictureDraw, WideDraw, KeyedWideDraw, Move } kind;
    int x0, y0, x1, y1;  // a line from (x0, y0) to (x1, y1); a pixel or a picture at (x0, y0)
    Pixel colour;        // the pen's or the pixel's
};

struct Case {
    const char* name;
    std::vector<Step> steps;
    const char* picture;  // Width x Height, worked out by hand
};

std::ostream& operator<<(std::ostream& out, const Case& c)
{
    return out << c.name;
}

struct Pictures {
    // 2x2, drawn opaque.
    std::unique_ptr<Picture> small = Picture::LoadBitmap(MakeBmp24(FromText("GB\nBG\n", Colours)));
    // 8x2, drawn opaque one column left of the raster, so that it covers whole rows.
    std::unique_ptr<Picture> wide = Picture::LoadBitmap(MakeBmp24(FromText("RGBGBGBR\nRBGBGBGR\n", Colours)));
    // 6x2, keyed: the bottom-left blue is the key, so its blue pixels stay undrawn.
    std::unique_ptr<Picture> keyed = Picture::LoadBitmap(MakeBmp24(FromText("GBGGBG\nBGGBGG\n", Colours)));
};

void Apply(Raster& raster, const Step& step, Pictures& pictures)
{
    switch (step.kind) {
    case Step::Line:
        raster.SetPenColour(step.colour);
        raster.MoveTo(step.x0, step.y0);
        raster.LineTo(step.x1, step.y1);
        break;
    case Step::Dot:
        raster.SetPixel(step.x0, step.y0, step.colour);
        break;
    case Step::PictureDraw:
        DrawPicture(raster, *pictures.small, step.x0, step.y0, Keying::Opaque);
        break;
    case Step::WideDraw:
        DrawPicture(raster, *pictures.wide, step.x0, step.y0, Keying::Opaque);
        break;
    case Step::KeyedWideDraw:
        DrawPicture(raster, *pictures.keyed, step.x0, step.y0, Keying::UseKey);
        break;
    case Step::Move: {
        Raster moved(std::move(raster));
        raster = std::move(moved);
        break;
    }
    }
}

Step Row(int y, Pixel colour = Black)
{
    return {Step::Line, 0, y, Width, y, colour};
}

const Case Cases[] = {
    {"NothingDrawn", {}, "......\n......\n......\n......\n......\n"},
    {"TopRowCleared", {Row(0)}, "######\n......\n......\n......\n......\n"},
    // The tick's clear: every row top-down, then one row below, clipped.
    {"ClearLoop", {Row(0), Row(1), Row(2), Row(3), Row(4), Row(5)},
     "######\n######\n######\n######\n######\n"},
    {"RowsClearedWithGaps", {Row(1), Row(3)}, "......\n######\n......\n######\n......\n"},
    {"RowsClearedBottomUp", {Row(3), Row(1)}, "......\n######\n......\n######\n......\n"},
    {"SameRowTwice", {Row(2), Row(2, Green)}, "......\n......\nGGGGGG\n......\n......\n"},
    {"RowClearedRightToLeft", {{Step::Line, Width, 2, -1, 2, Black}}, "......\n......\n######\n......\n......\n"},
    {"RowClearedFromFarOutside", {{Step::Line, INT_MIN, 4, INT_MAX, 4, Black}},
     "......\n......\n......\n......\n######\n"},
    {"RowAboveAndBelowDoNothing", {Row(-1), Row(Height)}, "......\n......\n......\n......\n......\n"},
    // A line one pixel short of the right edge leaves that pixel white.
    {"RowAlmostCleared", {{Step::Line, 0, 1, Width - 1, 1, Black}}, "......\n#####.\n......\n......\n......\n"},
    {"RowAlmostClearedFromTheLeft", {{Step::Line, Width, 1, 0, 1, Black}},
     "......\n.#####\n......\n......\n......\n"},
    {"PartOfAPendingRow", {Row(0), {Step::Line, 2, 3, 4, 3, Black}}, "######\n......\n......\n..##..\n......\n"},
    {"PixelBelowTheClearedRows", {Row(0), Row(1), {Step::Dot, 4, 3, 0, 0, Green}},
     "######\n######\n......\n....G.\n......\n"},
    {"PixelThenClearBelow", {{Step::Dot, 1, 0, 0, 0, Green}, Row(2)}, ".G....\n......\n######\n......\n......\n"},
    {"DiagonalAcrossPendingRows", {Row(0), {Step::Line, 0, 1, 4, 5, Blue}}, "######\nB.....\n.B....\n..B...\n...B..\n"},
    {"PictureOnPendingRows", {Row(0), {Step::PictureDraw, 3, 2, 0, 0, 0}, Row(4)},
     "######\n......\n...GB.\n...BG.\n######\n"},
    // As the tick draws a sky as wide as the frame, then clears below it.
    {"WholeRowPictureThenClearBelow", {{Step::WideDraw, -1, 0, 0, 0, 0}, Row(2), Row(3), Row(4), Row(5)},
     "GBGBGB\nBGBGBG\n######\n######\n######\n"},
    {"WholeRowPictureBelowPendingRows", {{Step::WideDraw, -1, 2, 0, 0, 0}}, "......\n......\nGBGBGB\nBGBGBG\n......\n"},
    {"WholeRowPictureClippedAtTheBottom", {Row(0), {Step::WideDraw, -1, 4, 0, 0, 0}},
     "######\n......\n......\n......\nGBGBGB\n"},
    {"WholeRowPictureOverClearedRows", {Row(0), Row(1), {Step::WideDraw, -1, 0, 0, 0, 0}},
     "GBGBGB\nBGBGBG\n......\n......\n......\n"},
    // Whole rows but for the first column, which keeps its white.
    {"PictureShortOfWholeRows", {{Step::WideDraw, 1, 1, 0, 0, 0}}, "......\n.RGBGB\n.RBGBG\n......\n......\n"},
    // A keyed picture as wide as the raster leaves its key pixels white.
    {"KeyedPictureAsWideAsTheRaster", {{Step::KeyedWideDraw, 0, 1, 0, 0, 0}}, "......\nG.GG.G\n.GG.GG\n......\n......\n"},
    {"MovedMidway", {Row(0), {Step::Move, 0, 0, 0, 0, 0}, Row(2)}, "######\n......\n######\n......\n......\n"},
    // The clear's rows wait as one run of black; what lands on them later must still
    // find them black, or replace them whole.
    {"ClearLoopThenWholeRowPictureOnTop",
     {Row(0), Row(1), Row(2), Row(3), Row(4), Row(5), {Step::WideDraw, -1, 0, 0, 0, 0}},
     "GBGBGB\nBGBGBG\n######\n######\n######\n"},
    {"ClearLoopThenWholeRowPictureLower",
     {Row(0), Row(1), Row(2), Row(3), Row(4), Row(5), {Step::WideDraw, -1, 2, 0, 0, 0}},
     "######\n######\nGBGBGB\nBGBGBG\n######\n"},
    {"ClearLoopThenPixel", {Row(0), Row(1), Row(2), Row(3), Row(4), Row(5), {Step::Dot, 4, 3, 0, 0, Green}},
     "######\n######\n######\n####G#\n######\n"},
    {"ClearLoopPictureThenPixelBelow",
     {Row(0), Row(1), Row(2), Row(3), Row(4), Row(5), {Step::WideDraw, -1, 0, 0, 0, 0}, {Step::Dot, 1, 3, 0, 0, Green}},
     "GBGBGB\nBGBGBG\n######\n#G####\n######\n"},
    {"ClearInTwoColours", {Row(0), Row(1, Green), Row(2)}, "######\nGGGGGG\n######\n......\n......\n"},
    {"PartlyClearedThenPictureThenRowAgain",
     {Row(0), Row(1), {Step::WideDraw, -1, 0, 0, 0, 0}, Row(0, Green)},
     "GGGGGG\nBGBGBG\n......\n......\n......\n"},
    {"ClearLoopThenMovedThenPicture",
     {Row(0), Row(1), Row(2), {Step::Move, 0, 0, 0, 0, 0}, {Step::WideDraw, -1, 1, 0, 0, 0}},
     "######\nGBGBGB\nBGBGBG\n......\n......\n"},
};

class DeferredWhiteSteps : public ::testing::TestWithParam<Case> {};

TEST_P(DeferredWhiteSteps, ReadsWhiteWhereverNothingWasDrawn)
{
    const Case& c = GetParam();
    Pictures pictures;
    const Pixel* block = LeaveRedBlock();
    Raster raster(Width, Height);
    for (const Step& step : c.steps) {
        Apply(raster, step, pictures);
    }
    EXPECT_EQ(ToText(raster, Colours), c.picture);
    // The raster was made on the red block, so a row left unwritten would show red.
    EXPECT_EQ(raster.Scanline(0), block);
}

INSTANTIATE_TEST_SUITE_P(Cases, DeferredWhiteSteps, ::testing::ValuesIn(Cases),
                         [](const ::testing::TestParamInfo<Case>& c) { return std::string(c.param.name); });

TEST(DeferredWhite, RowPointerSteppedByPitchReadsWhite)
{
    LeaveRedBlock();
    Raster raster(Width, Height);
    raster.MoveTo(0, 0);
    raster.LineTo(Width, 0);
    const Pixel* top = raster.Scanline(0);
    for (int y = 1; y < Height; ++y) {
        for (int x = 0; x < Width; ++x) {
            EXPECT_EQ(top[y * raster.Pitch() + x], White) << x << "," << y;
        }
    }
}

TEST(DeferredWhite, ConstReadOfAPendingRowReadsWhite)
{
    LeaveRedBlock();
    Raster raster(Width, Height);
    raster.MoveTo(0, 1);
    raster.LineTo(Width, 1);
    const Raster& view = raster;
    // Row 0 was written white when row 1 was cleared; rows 2-4 are still pending.
    EXPECT_EQ(view.PixelAt(5, 4), White);
    EXPECT_EQ(view.PixelAt(0, 2), White);
    EXPECT_EQ(view.PixelAt(3, 1), Black);
    EXPECT_EQ(view.PixelAt(3, 0), White);
}

TEST(DeferredWhite, MoveAssignedRasterKeepsItsPendingRows)
{
    LeaveRedBlock();
    Raster source(Width, Height);
    source.MoveTo(0, 0);
    source.LineTo(Width, 0);
    Raster target(2, 2);
    target = std::move(source);
    // ######
    // ......  (four rows)
    EXPECT_EQ(ToText(target), "######\n......\n......\n......\n......\n");
}

TEST(DeferredWhite, PreparedBlockServesTheNextRasterWhite)
{
    const Pixel* red = LeaveRedBlock();
    // Takes the red block, writes its white and puts it back for the next raster.
    Raster::PrepareBlock(Width, Height);
    Raster next(Width, Height);
    next.SetPixel(1, 1, Blue);
    EXPECT_EQ(next.Scanline(0), red);
    EXPECT_EQ(ToText(next, Colours), "......\n.B....\n......\n......\n......\n");
    // Nothing to prepare for a raster without pixels.
    Raster::PrepareBlock(0, Height);
    EXPECT_TRUE(Raster(0, Height).IsEmpty());
}

} // namespace
