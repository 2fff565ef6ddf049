// Tests of a new raster's white on a recycled block, the rows a caller promises to
// overwrite, and the fill of those rows when the promise is not kept.
#include "platform/raster/Raster.h"
#include "platform/raster/RowsToOverwrite.h"
#include "RasterText.h"

#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <ostream>
#include <string>

using rastertest::Paint;
using rastertest::ToText;

namespace {

constexpr int Width = 3;
constexpr int Height = 5;
const Pixel Red = Rgb(255, 0, 0);
const std::map<char, Pixel> Colours = {{'R', Red}};

// Leaves a red block of Width x Height pixels in the raster engine's cache, so that
// the next raster of that size starts on storage that is red. Returns its address.
const Pixel* LeaveRedBlock()
{
    Raster stale(Width, Height);
    Paint(stale, Red);
    return stale.Scanline(0);
}

struct Case {
    const char* name;
    RowsToOverwrite rows;
    bool fillBlack;         // the promise not kept: Fill with black
    const char* picture;    // on the red block; red shows where nothing was written
};

const Case Cases[] = {
    {"NoRowsAllWhite", {}, false, "...\n...\n...\n...\n...\n"},
    {"MiddleRowsLeftAlone", {1, 3}, false, "...\nRRR\nRRR\n...\n...\n"},
    {"RowsReachingPastTheEdges", {-4, 2}, false, "RRR\nRRR\n...\n...\n...\n"},
    {"EveryRowLeftAlone", RowsToOverwrite::All(), false, "RRR\nRRR\nRRR\nRRR\nRRR\n"},
    {"EmptyRangeIsNoRows", {3, 3}, false, "...\n...\n...\n...\n...\n"},
    {"FilledWhenNotOverwritten", {3, 9}, true, "...\n...\n...\n###\n###\n"},
    {"FillOfEveryRow", RowsToOverwrite::All(), true, "###\n###\n###\n###\n###\n"},
};

void PrintTo(const Case& c, std::ostream* out)
{
    *out << c.name;
}

class RowsToOverwriteCase : public ::testing::TestWithParam<Case> {};

TEST_P(RowsToOverwriteCase, NewRasterIsWhiteOutsideThePromisedRows)
{
    const Case& c = GetParam();
    const Pixel* block = LeaveRedBlock();
    Raster raster(Width, Height, c.rows);
    ASSERT_EQ(raster.Scanline(0), block) << "the raster did not get the red block";
    if (c.fillBlack)
        c.rows.Fill(raster, Black);
    EXPECT_EQ(ToText(raster, Colours), c.picture);
}

INSTANTIATE_TEST_SUITE_P(Cases, RowsToOverwriteCase, ::testing::ValuesIn(Cases),
                         [](const ::testing::TestParamInfo<Case>& c) { return std::string(c.param.name); });

TEST(RowsToOverwrite, PreparedBlockServesTheNextRasterWhite)
{
    const Pixel* red = LeaveRedBlock();
    // Takes the red block, writes its white and puts it back for the next raster.
    Raster::PrepareBlock(Width, Height);
    Raster next(Width, Height, RowsToOverwrite::All());
    EXPECT_EQ(next.Scanline(0), red);
    EXPECT_EQ(ToText(next, Colours), "...\n...\n...\n...\n...\n");
}

} // namespace
