// The stored picture blocks linked into the program: once given back after loading,
// they read as before and load the same pictures.
#include "scene/Catalogue.h"

#include <gtest/gtest.h>

#include <numeric>

TEST(ScreenFormPictures, ReadTheSameAfterTheirMemoryIsGivenBack)
{
    const auto blocks = ScreenFormPictures();
    ASSERT_GT(blocks.size(), 1u << 20);
    const auto sum = [&] { return std::accumulate(blocks.begin(), blocks.end(), std::uint64_t{0}); };
    const std::uint64_t before = sum();
    ReleaseScreenFormPictures();
    EXPECT_EQ(sum(), before);
    auto catalogue = Catalogue::Load(blocks, JpegDepth::TrueColour);
    EXPECT_EQ(catalogue->Image(7).Width(), Facts(7).Width);
}
