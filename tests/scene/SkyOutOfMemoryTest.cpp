// A sky whose decode runs out of memory draws nothing: its rows are the clear's, black,
// on the tick that meets the failure and on every tick after it, whether the scene
// keeps its frame or composes each one afresh. Before, those rows were left to the
// sky and kept whatever the frame held: the last pictures' silhouettes, stars and rain.
#include "scene/Catalogue.h"
#include "scene/Scene.h"
#include "scene/SceneLayers.h"
#include "scene/Tick.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <exception>
#include <iterator>
#include <memory>
#include <new>
#include <string>

namespace {

// While set, every allocation this large fails, as when memory runs out while the
// sky's pixels are unpacked (the small ones around it still succeed).
bool FailLargeAllocations = false;
constexpr std::size_t LargeAllocation = 16 * 1024;

} // namespace

void* operator new(std::size_t size)
{
    if (FailLargeAllocations && size >= LargeAllocation)
        throw std::bad_alloc();
    if (void* block = std::malloc(size == 0 ? 1 : size))
        return block;
    throw std::bad_alloc();
}

void operator delete(void* block) noexcept
{
    std::free(block);
}

void operator delete(void* block, std::size_t) noexcept
{
    std::free(block);
}

namespace {

// Rows [0, rows) of each frame: whether every pixel of them is black.
struct TopRowsSink : IFrameSink {
    void CopyFrame(const Raster& frame, std::span<const Rect>) override
    {
        black = true;
        for (int y = 0; y < std::min(rows, frame.Height()); ++y)
            black = black && std::all_of(frame.Scanline(y), frame.Scanline(y) + frame.Width(),
                                         [](Pixel p) { return p == Black; });
    }
    int rows = 0;
    bool black = false;
};

// The first cycle with its moon, stars and rain in the sky's rows.
ScenePlan Busy()
{
    ScenePlan plan;
    plan.StarsOn = 1;
    plan.RainOn = 1;
    return plan;
}

// Only the sky and its banner: nothing else may cover the rows above the banner.
ScenePlan SkyAlone()
{
    ScenePlan plan;
    plan.CastleChoice = 0;
    plan.BranchChoice = 0;
    plan.TallTreeOn = 0;
    plan.Hill1On = 0;
    plan.EyesChoice = 0;
    plan.MoonOn = 0;
    return plan;
}

struct Step {
    ScenePlan (*plan)();
    const char* error;
    bool skyRowsBlack;
};

// The tick that meets the failure, then a busy frame over the sky's rows, then the sky
// alone again: each new plan composes the frame anew.
const Step Steps[] = {
    {SkyAlone, "Out of system resources", true},
    {Busy, "", false},
    {SkyAlone, "", true},
    {SkyAlone, "", true},
};

TEST(SkyOutOfMemory, LeavesTheSkyRowsBlackWithAndWithoutTheKeptFrame)
{
    const FrameSize size{1024, 768};
    for (const bool keeping : {true, false}) {
        SCOPED_TRACE(keeping ? "keeping the frame" : "a frame of its own each tick");
        Scene scene;
        SetFrameKeeping(scene, keeping);
        std::unique_ptr<Catalogue> pictures = Catalogue::Load(ScreenFormPictures(), JpegDepth::TrueColour);
        const SceneLayers layers = LayersOfPlan(SkyAlone(), size);
        ASSERT_NE(layers.Sky.Holder, 0);
        FailLargeAllocations = true;
        pictures->Image(layers.Sky.Holder).DecodeAhead();
        FailLargeAllocations = false;
        TopRowsSink sink;
        sink.rows = std::min(LayerBounds(*pictures, layers.Sky).Bottom, LayerBounds(*pictures, layers.Banner).Top);
        ASSERT_GE(sink.rows, 400);

        for (std::size_t i = 0; i < std::size(Steps); ++i) {
            SCOPED_TRACE("step " + std::to_string(i + 1));
            scene.Plan = Steps[i].plan();
            std::string error;
            sink.black = !Steps[i].skyRowsBlack;
            try {
                ComposeTick(scene, *pictures, size, sink);
            } catch (const std::exception& e) {
                error = e.what();
            }
            EXPECT_EQ(error, Steps[i].error);
            EXPECT_EQ(sink.black, Steps[i].skyRowsBlack);
        }
    }
}

} // namespace
