// Tests of where rasters' pixel blocks come from once a block source is set: the
// blocks it takes, the heap for those it declines, and every block back to the one
// that gave it, even after another source (or none) is set.
#include "platform/raster/IRasterBlockSource.h"
#include "platform/raster/Raster.h"
#include "RasterText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <new>
#include <ostream>
#include <string>
#include <vector>

using rastertest::ToText;

namespace {

constexpr std::align_val_t Alignment{64};

// Gives out blocks of at least 16 pixels and keeps the list of those not yet back.
class CountingSource : public IRasterBlockSource {
public:
    std::uint32_t* Allocate(std::size_t count) override
    {
        if (count < 16)
            return nullptr;
        auto* block = static_cast<std::uint32_t*>(::operator new(count * sizeof(std::uint32_t), Alignment));
        out.push_back(block);
        return block;
    }
    bool Free(std::uint32_t* block, std::size_t) override
    {
        const auto found = std::find(out.begin(), out.end(), block);
        if (found == out.end())
            return false;
        out.erase(found);
        ::operator delete(block, Alignment);
        return true;
    }
    bool Gave(const Pixel* pixels) const { return std::find(out.begin(), out.end(), pixels) != out.end(); }

    std::vector<std::uint32_t*> out;
};

// Sources are registered for the whole process: these outlive every test.
CountingSource First;
CountingSource Second;

struct Case {
    const char* name;
    int width;
    int height;
    bool fromFirst;             // the block is one the first source gave
    // What is set before the raster is released: the first source, the second, none.
    IRasterBlockSource* setBeforeRelease;
};

void PrintTo(const Case& c, std::ostream* out)
{
    *out << c.name;
}

const Case Cases[] = {
    {"TakenBlockGoesBackToItsSource", 4, 4, true, &First},
    {"DeclinedBlockComesFromTheHeap", 3, 5, false, &First},
    {"TakenBlockGoesBackAfterAnotherSourceIsSet", 8, 2, true, &Second},
    {"TakenBlockGoesBackAfterTheSourceIsUnset", 2, 9, true, nullptr},
};

class BlockSource : public ::testing::TestWithParam<Case> {
protected:
    void SetUp() override { Raster::DropCachedBlock(); }
    void TearDown() override
    {
        Raster::SetBlockSource(nullptr);
        Raster::DropCachedBlock();
    }
};

TEST_P(BlockSource, GivesTheBlocksItTakesAndTakesThemBack)
{
    const Case& c = GetParam();
    EXPECT_EQ(Raster::SetBlockSource(&First), nullptr);
    {
        Raster raster(c.width, c.height);
        EXPECT_EQ(First.Gave(raster.Scanline(0)), c.fromFirst);
        EXPECT_EQ(First.out.size(), c.fromFirst ? 1u : 0u);
        // White, as every new raster is, wherever its block comes from.
        raster.SetPixel(1, 1, Black);
        EXPECT_EQ(ToText(raster).substr(0, 2 * (c.width + 1)),
                  std::string(c.width, '.') + "\n." + "#" + std::string(c.width - 2, '.') + "\n");
        EXPECT_EQ(Raster::SetBlockSource(c.setBeforeRelease), &First);
    }
    // The released block waits for the next raster of its size; dropped, it is gone
    // from whichever source gave it.
    EXPECT_EQ(First.out.size(), c.fromFirst ? 1u : 0u);
    Raster::DropCachedBlock();
    EXPECT_TRUE(First.out.empty());
    EXPECT_TRUE(Second.out.empty());
}

INSTANTIATE_TEST_SUITE_P(Rasters, BlockSource, ::testing::ValuesIn(Cases),
                         [](const auto& param) { return std::string(param.param.name); });

} // namespace
