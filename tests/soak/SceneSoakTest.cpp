// The scene's soak in this process: 30,000 ticks (100 scene cycles) at 640 x 480 with
// the real pictures and a driven clock, as render-frames runs them. Resident memory
// and the live heap are sampled at the end of every cycle and must stay flat once the
// five skies have been decoded.
#include "ProcessMemory.h"

#include "scene/Catalogue.h"
#include "scene/RandomSource.h"
#include "scene/Scene.h"
#include "scene/ScenePlan.h"
#include "scene/Tick.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {

constexpr int Width = 640;
constexpr int Height = 480;
constexpr int Cycles = 100;
constexpr int Ticks = Cycles * CycleLength;
constexpr std::uint32_t StepMs = 100;
// 02:00:00.250 UTC: any start will do; a fixed one makes the run the same every time,
// and from this one all five skies have come up by the fifth cycle.
constexpr std::uint32_t StartMs = (2 * 60 * 60) * 1000 + 250;
constexpr std::uint32_t MillisecondsPerDay = 24u * 60 * 60 * 1000;

// Resident memory moves by whole pages for reasons of its own: the first calls into
// library code that a later plan needs (rain, a figure) fault in code pages, and the
// allocator keeps or returns the top of its heap as it sees fit. 2 MiB covers that
// and the five eyes and five banners, which may still be decoded after the skies
// (150 x 47 and 328 x 41 pixels at most, about 0.3 MiB together), while half of one
// decoded sky (2000 x 500 pixels of 4 bytes, 3.8 MiB) or a few leaked 640 x 480
// frames (1.2 MiB each) already shows.
constexpr long MarginKiB = 2048;
// One frame buffer of the window's size: the raster engine keeps the last one for
// the next tick.
constexpr long FrameKiB = Width * Height * 4 / 1024;
constexpr int FirstSky = 1;
constexpr int SkyCount = 5;

// Takes the frame and checks its size; nothing else, so the soak measures the scene.
struct CountingSink : IFrameSink {
    void CopyFrame(const Raster& frame, std::span<const Rect>) override
    {
        ++frames;
        if (frame.Width() != Width || frame.Height() != Height)
            ++wrongSize;
    }
    int frames = 0;
    int wrongSize = 0;
};

struct Sample {
    int cycle;            // 1 to 100, sampled after its last tick
    long rssKiB;
    std::size_t heapBytes;
    int skiesDecoded;     // of Image1 to Image5
    int decodes;          // all decodes of all pictures so far
    // The JPEG pictures decoded so far at 4 bytes a pixel: more than they are held in,
    // and the most their decoding can take on the way (a sanitizer build keeps freed
    // memory aside for a while).
    long decodedKiB;
};

class SceneSoak : public ::testing::Test {
protected:
    void TearDown() override { SetClockFunction({}); }

    Sample Take(Catalogue& catalogue, int cycle) const
    {
        Sample sample{cycle, ResidentKiB(), LiveHeapBytes(), 0, 0, 0};
        for (int holder = 1; holder <= PictureCount; ++holder) {
            Picture& picture = catalogue.Image(holder);
            sample.decodes += picture.DecodeCount();
            if (picture.Kind() == PictureKind::Jpeg && picture.DecodeCount() > 0)
                sample.decodedKiB += static_cast<long>(picture.Width()) * picture.Height() * 4 / 1024;
            if (holder >= FirstSky && holder < FirstSky + SkyCount && picture.DecodeCount() > 0)
                ++sample.skiesDecoded;
        }
        return sample;
    }
};

void PrintTable(const Sample& start, const std::vector<Sample>& samples, std::size_t baseline)
{
    std::printf("scene soak: %d ticks at %dx%d, %s build\n", Ticks, Width, Height,
                SanitizedBuild() ? "sanitizer" : "normal");
    std::printf("before tick 1: VmRSS %ld KiB, live heap %zu bytes\n", start.rssKiB, start.heapBytes);
    std::printf("cycle   tick  VmRSS KiB  vs baseline  live heap B  skies  decoded KiB  decodes\n");
    for (std::size_t i = 0; i < samples.size(); ++i) {
        const Sample& s = samples[i];
        std::printf("%5d %6d %10ld %+12ld %12zu %6d %12ld %8d%s\n", s.cycle, s.cycle * CycleLength, s.rssKiB,
                    s.rssKiB - samples[baseline].rssKiB, s.heapBytes, s.skiesDecoded, s.decodedKiB, s.decodes,
                    i == baseline ? "  <- baseline" : "");
    }
}

TEST_F(SceneSoak, ResidentMemoryAndHeapStayFlatOverAHundredCycles)
{
    std::unique_ptr<Catalogue> catalogue = Catalogue::Load(ScreenFormPictures(), JpegDepth::TrueColour);
    std::uint32_t tick = 0;
    SetClockFunction([&tick] { return (StartMs + (tick - 1) * StepMs) % MillisecondsPerDay; });
    const FrameSize window{Width, Height};
    Scene scene;
    CountingSink sink;
    std::array<bool, SkyCount + 1> skySeen{};
    std::vector<Sample> samples;
    samples.reserve(Cycles);
    const Sample start = Take(*catalogue, 0);

    for (tick = 1; tick <= static_cast<std::uint32_t>(Ticks); ++tick) {
        // The sky this tick draws; the step at the tick's end may draw a new plan.
        if (scene.Plan.SkyIndex >= 1 && scene.Plan.SkyIndex <= SkyCount)
            skySeen[static_cast<std::size_t>(scene.Plan.SkyIndex)] = true;
        ComposeTick(scene, *catalogue, window, sink);
        if (tick % CycleLength == 0)
            samples.push_back(Take(*catalogue, static_cast<int>(tick) / CycleLength));
    }

    ASSERT_EQ(samples.size(), static_cast<std::size_t>(Cycles));
    EXPECT_EQ(sink.frames, Ticks);
    EXPECT_EQ(sink.wrongSize, 0);
    for (int sky = 1; sky <= SkyCount; ++sky)
        EXPECT_TRUE(skySeen[static_cast<std::size_t>(sky)]) << "sky " << sky << " never came up";
    // Each picture is decoded once, at its first draw, and kept.
    for (int holder = 1; holder <= PictureCount; ++holder)
        EXPECT_LE(catalogue->Image(holder).DecodeCount(), 1) << "Image" << holder;

    // The baseline: the end of the first cycle by which all five skies are decoded.
    std::size_t baseline = 0;
    while (baseline < samples.size() && samples[baseline].skiesDecoded < SkyCount)
        ++baseline;
    ASSERT_LT(baseline, samples.size()) << "the five skies were never all decoded";
    PrintTable(start, samples, baseline);
    // A flat line needs enough cycles after the baseline to mean something.
    ASSERT_LE(samples[baseline].cycle, Cycles / 2) << "all five skies came up too late for the soak";

    for (std::size_t i = 0; i < samples.size(); ++i) {
        const Sample& s = samples[i];
        ASSERT_GT(s.rssKiB, 0);
        // Before and after the baseline: what is resident beyond the start is the
        // decoded pictures and one frame buffer (and, in a sanitizer build, the
        // shadow byte the sanitizer keeps for each 8 bytes of them).
        const long shadowEighths = SanitizedBuild() ? 9 : 8;
        EXPECT_LE(s.rssKiB - start.rssKiB, (s.decodedKiB + FrameKiB) * shadowEighths / 8 + MarginKiB)
            << "cycle " << s.cycle;
        if (i > baseline) {
            EXPECT_LE(s.rssKiB - samples[baseline].rssKiB, MarginKiB) << "cycle " << s.cycle;
        }
        // A cycle that decoded nothing new leaves the live heap as it found it, to
        // the byte: a tick allocates nothing but its frame, and that is recycled.
        if (i > 0 && s.decodes == samples[i - 1].decodes) {
            EXPECT_EQ(s.heapBytes, samples[i - 1].heapBytes) << "cycle " << s.cycle;
        }
    }
}

} // namespace
