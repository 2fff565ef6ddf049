// The kept frame against the whole composition (the same tick with the keeping off),
// tick by tick across a re-draw: the same frames, random draws, plan and particles,
// the same failures; and a sink that takes only the changed rectangles ends up with
// the same picture.
#include "support/SyntheticCatalogue.h"
#include "scene/Catalogue.h"
#include "scene/Scene.h"
#include "scene/Tick.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdint>
#include <exception>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace {

std::uint64_t Mix(std::uint64_t hash, std::uint64_t value)
{
    return (hash ^ value) * 0x100000001B3ull + (hash >> 29);
}

// Four chains side by side, so the hash of a large frame is quick.
std::uint64_t HashPixels(const Pixel* first, const Pixel* last, std::uint64_t hash)
{
    std::uint64_t lanes[4] = {hash, hash + 1, hash + 2, hash + 3};
    for (; last - first >= 4; first += 4) {
        for (int k = 0; k < 4; ++k)
            lanes[k] = Mix(lanes[k], first[k]);
    }
    for (int k = 0; first != last; ++first, ++k)
        lanes[k] = Mix(lanes[k], *first);
    return Mix(Mix(lanes[0], lanes[1]), Mix(lanes[2], lanes[3]));
}

template <std::size_t N>
std::uint64_t HashValues(const std::array<std::int32_t, N>& values, std::uint64_t hash)
{
    for (const std::int32_t value : values)
        hash = Mix(hash, static_cast<std::uint32_t>(value));
    return hash;
}

// Takes each frame into a picture of its own, but only inside the changed rectangles.
struct PatchingSink : IFrameSink {
    void CopyFrame(const Raster& frame, std::span<const Rect> changed) override
    {
        if (frame.Width() != width || frame.Height() != height) {
            width = frame.Width();
            height = frame.Height();
            // A colour no picture has: whatever no rectangle covers shows.
            picture.assign(static_cast<std::size_t>(width) * height, Rgb(1, 2, 3));
        }
        area = 0;
        for (const Rect& r : changed) {
            area += static_cast<long>(r.Width()) * r.Height();
            for (int y = r.Top; y < r.Bottom; ++y)
                std::copy(frame.Scanline(y) + r.Left, frame.Scanline(y) + r.Right,
                          picture.begin() + static_cast<std::ptrdiff_t>(y) * width + r.Left);
        }
        frameHash = 0;
        patchedSame = true;
        for (int y = 0; y < height; ++y) {
            const Pixel* row = frame.Scanline(y);
            frameHash = HashPixels(row, row + width, frameHash);
            patchedSame = patchedSame && std::equal(row, row + width, picture.begin() + static_cast<std::ptrdiff_t>(y) * width);
        }
    }
    int width = -1;
    int height = -1;
    std::vector<Pixel> picture;
    long area = 0;
    std::uint64_t frameHash = 0;
    bool patchedSame = false;
};

struct TickRecord {
    std::uint64_t frame;
    bool patchedSame;       // the sink's own picture is the frame
    long changedArea;
    std::string error;
    std::uint32_t random;
    ScenePlan plan;
    std::uint64_t particles;
};

struct Scenario {
    const char* name;
    int width;
    int height;
    int ticks;
    int breakHolder;     // stand-in pictures with this JPEG failing to decode; 0: the real pictures
    bool decodeAhead;
    void (*setup)(Scene& scene, FrameSize window);
};

void FirstCycle(Scene&, FrameSize) {}

// A plan of the next cycle with the chosen layers, re-drawn after 150 ticks.
void Drawn(Scene& scene, FrameSize window, bool moving)
{
    scene.Random.State = 777;
    RedrawPlan(scene, window);
    scene.Plan.CycleCountdown = 150;
    scene.Plan.MoonOn = moving ? 1 : 0;
    scene.Plan.RainOn = moving ? 1 : 0;
    scene.Plan.EyesChoice = moving ? 2 : 0;
    scene.Plan.StarsOn = moving ? 1 : 0;
}

void EveryMovingLayer(Scene& scene, FrameSize window)
{
    Drawn(scene, window, true);
    scene.Plan.EyesX = 400;
    scene.Plan.EyesY = 0;
    scene.Plan.MoonX = 700;
    scene.Plan.MoonY = 100;
    // Stars under the open eyes, on the moon's disc and beside it, under the banner,
    // and two on one pixel.
    const int w = window.Width;
    const int h = window.Height;
    const int stars[][2] = {{410, 520}, {753, 147}, {701, 101}, {w - 300, h - 30}, {90, 90}, {90, 90}};
    for (int i = 0; i < 6; ++i) {
        scene.StarX[i] = stars[i][0];
        scene.StarY[i] = stars[i][1];
    }
}

void NothingMoving(Scene& scene, FrameSize window)
{
    Drawn(scene, window, false);
}

// Rain over the banner of a 542-row window, the eyes under the banner's left end.
void RainOverBanner(Scene& scene, FrameSize window)
{
    Drawn(scene, window, true);
    scene.Plan.MoonOn = 0;
    scene.Plan.EyesX = window.Width - 329 - 50;
    scene.Plan.EyesY = 0;
}

// The first plan with stars and rain, its eyes closed on the first tick and open from
// the second: a picture that fails in the first tick that shows it.
void BrokenPictureShows(Scene& scene, FrameSize window)
{
    scene.Random.State = 5;
    RedrawPlan(scene, window);
    scene.Plan.SkyIndex = 1;
    scene.Plan.EyesChoice = 1;
    scene.Plan.EyesY = 0;
    scene.Plan.RainOn = 1;
    scene.Plan.EyesOpenCountdown = 0;
    scene.Plan.EyesClosedCountdown = 1;
}

void PrintTo(const Scenario& scenario, std::ostream* out)
{
    *out << scenario.name;
}

const Scenario Scenarios[] = {
    {"first cycle and its re-draw, 640x480", 640, 480, 320, 0, false, FirstCycle},
    {"every moving layer, 1920x1080", 1920, 1080, 330, 0, false, EveryMovingLayer},
    {"nothing moving, 1920x1080", 1920, 1080, 170, 0, false, NothingMoving},
    {"rain over the banner, 1024x542", 1024, 542, 330, 0, false, RainOverBanner},
    {"sky fails", 1024, 768, 40, 1, false, BrokenPictureShows},
    {"eyes fail when they first open", 1024, 768, 40, 15, false, BrokenPictureShows},
    {"eyes fail, decoded ahead", 1024, 768, 40, 15, true, BrokenPictureShows},
    {"banner fails", 1024, 768, 40, 24, false, BrokenPictureShows},
};

std::vector<TickRecord> RunScenario(const Scenario& scenario, bool keeping)
{
    Scene scene;
    SetFrameKeeping(scene, keeping);
    std::uint32_t tick = 0;
    SetClockFunction([&tick] { return 3'723'456u + 100u * tick++; });
    const FrameSize window{scenario.width, scenario.height};
    scenario.setup(scene, window);

    // A failing picture decodes once: each run has pictures of its own.
    const Bytes form = scenario.breakHolder ? SyntheticForm(scenario.breakHolder) : Bytes{};
    std::unique_ptr<Catalogue> catalogue = scenario.breakHolder
                                               ? Catalogue::Load(form, JpegDepth::TrueColour)
                                               : Catalogue::Load(ScreenFormPictures(), JpegDepth::TrueColour);
    if (scenario.decodeAhead)
        DecodeAhead(scene.Plan, *catalogue);

    PatchingSink sink;
    std::vector<TickRecord> records;
    for (int i = 0; i < scenario.ticks; ++i) {
        std::string error;
        try {
            ComposeTick(scene, *catalogue, window, sink);
        } catch (const std::exception& e) {
            error = e.what();
        }
        const std::uint64_t particles = HashValues(scene.RainY, HashValues(scene.RainX, HashValues(scene.StarLevel, 0)));
        records.push_back(
            {sink.frameHash, sink.patchedSame, sink.area, error, scene.Random.State, scene.Plan, particles});
    }
    SetClockFunction({});
    return records;
}

class KeptFrame : public ::testing::TestWithParam<Scenario> {};

TEST_P(KeptFrame, EqualsTheWholeCompositionTickByTick)
{
    const Scenario& scenario = GetParam();
    const std::vector<TickRecord> whole = RunScenario(scenario, false);
    const std::vector<TickRecord> kept = RunScenario(scenario, true);
    ASSERT_EQ(kept.size(), whole.size());
    const long frameArea = static_cast<long>(scenario.width) * scenario.height;
    int wholeFrames = 0;
    int failures = 0;
    for (std::size_t i = 0; i < kept.size(); ++i) {
        SCOPED_TRACE("tick " + std::to_string(i + 1));
        ASSERT_EQ(kept[i].error, whole[i].error);
        ASSERT_EQ(kept[i].frame, whole[i].frame);
        ASSERT_TRUE(kept[i].patchedSame) << "a changed pixel outside the changed rectangles";
        ASSERT_EQ(kept[i].random, whole[i].random);
        ASSERT_TRUE(kept[i].plan == whole[i].plan);
        ASSERT_EQ(kept[i].particles, whole[i].particles);
        wholeFrames += kept[i].changedArea == frameArea ? 1 : 0;
        failures += kept[i].error.empty() ? 0 : 1;
    }
    // Whole frames only on the first tick, after each re-draw and failure, and when
    // failing eyes first open: every other tick changed the kept frame.
    const int redraws = (scenario.ticks - 1) / 150;
    EXPECT_LE(wholeFrames, 1 + redraws + 2 * failures) << failures << " failures";
    if (scenario.breakHolder) {
        EXPECT_EQ(failures, 1);
    }
}

INSTANTIATE_TEST_SUITE_P(Scenarios, KeptFrame, ::testing::ValuesIn(Scenarios),
                         [](const ::testing::TestParamInfo<Scenario>& param) {
                             std::string name;
                             for (const char* c = param.param.name; *c; ++c)
                                 name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
                             return name;
                         });

// The frame moves into lent memory and back: the scene composes where it is told to,
// forgets what a frame held whenever it moves (the next tick composes it whole), and
// keeps the frame as it is when nothing changes.
struct LendCase {
    const char* name;
    int before;   // where the frame is: 0 the scene's own, 1 or 2 lent memory
    int lent;     // what is lent now: 0 nothing, 1 or 2 one of two blocks
    bool fresh;   // the lent memory is new, at the same address maybe
    int after;    // where the frame is then
    bool stillValid;
};

const LendCase LendCases[] = {
    {"OwnFrameStaysWithNothingLent", 0, 0, false, 0, true},
    {"OwnFrameMovesIntoLentMemory", 0, 1, true, 1, false},
    {"LentFrameStaysWhenLentAgain", 1, 1, false, 1, true},
    {"NewMemoryAtTheSameAddressHoldsNoFrame", 1, 1, true, 1, false},
    {"LentFrameMovesToOtherLentMemory", 1, 2, true, 2, false},
    {"LentFrameComesBackWhenNothingIsLent", 1, 0, false, 0, false},
};

TEST(UseFrameMemory, ComposesWhereItIsLentAndForgetsWhatAMovedFrameHeld)
{
    constexpr int Width = 8;
    constexpr int Height = 4;
    std::array<std::vector<Pixel>, 3> blocks;
    for (auto& block : blocks)
        block.resize(Width * Height);
    const auto lend = [&](int which) {
        return which == 0 ? Raster(0, 0) : Raster::Over(blocks[static_cast<std::size_t>(which)].data(), Width, Height);
    };
    for (const LendCase& c : LendCases) {
        Scene scene;
        if (c.before == 0)
            scene.Kept.Frame = Raster(Width, Height);
        else
            scene.Kept.Frame = lend(c.before);
        scene.Kept.Valid = true;
        const Pixel* own = c.before == 0 ? scene.Kept.Frame.Scanline(0) : nullptr;
        UseFrameMemory(scene, lend(c.lent), c.fresh);
        const Pixel* expected =
            c.after == 0 ? own : blocks[static_cast<std::size_t>(c.after)].data();
        EXPECT_EQ(scene.Kept.Frame.Scanline(0), expected) << c.name;
        EXPECT_EQ(scene.Kept.Frame.OwnsPixels(), c.after == 0) << c.name;
        EXPECT_EQ(scene.Kept.Valid, c.stillValid) << c.name;
    }
}

} // namespace
