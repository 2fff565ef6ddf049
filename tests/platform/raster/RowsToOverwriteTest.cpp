// Tests of a new raster's white outside the rows a caller promises to overwrite, and
// the fill of those rows when the promise is not kept.
#include "platform/raster/Raster.h"
#include "platform/raster/RowsToOverwrite.h"
#include "RasterText.h"

#include <gtest/gtest.h>

#include <climits>
#include <ostream>
#include <string>

using rastertest::ToText;

namespace {

constexpr int Width = 3;
constexpr int Height = 5;

struct Case {
    const char* name;
    RowsToOverwrite rows;
    bool fillBlack;         // the promise not kept: Fill with black
    const char* picture;    // '?': a row left to the caller, whatever its storage held
};

const Case Cases[] = {
    {"NoRowsAllWhite", {}, false, "...\n...\n...\n...\n...\n"},
    {"MiddleRowsLeftAlone", {1, 3}, false, "...\n???\n???\n...\n...\n"},
    {"RowsReachingPastTheEdges", {-4, 2}, false, "???\n???\n...\n...\n...\n"},
    {"EveryRowLeftAlone", RowsToOverwrite::All(), false, "???\n???\n???\n???\n???\n"},
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
    Raster raster(Width, Height, c.rows);
    if (c.fillBlack)
        c.rows.Fill(raster, Black);
    // The rows left to the caller hold whatever they held: only the others are compared.
    std::string shown = ToText(raster, {});
    const std::string expected = c.picture;
    ASSERT_EQ(shown.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        if (expected[i] == '?')
            shown[i] = '?';
    }
    EXPECT_EQ(shown, expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, RowsToOverwriteCase, ::testing::ValuesIn(Cases),
                         [](const ::testing::TestParamInfo<Case>& c) { return std::string(c.param.name); });

} // namespace
