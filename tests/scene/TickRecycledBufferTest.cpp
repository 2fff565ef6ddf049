// The tick on a recycled back buffer: a new buffer gets no white, since the clear and
// the sky as wide as the frame overwrite every row, and the clear leaves out the sky's
// rows; no pixel of the buffer's previous use may show through. With the keeping off
// every tick composes the whole frame again in the scene's buffer.
#include "RecordingSink.h"
#include "support/SyntheticCatalogue.h"
#include "platform/Exception.h"
#include "scene/Catalogue.h"
#include "scene/Scene.h"
#include "scene/Tick.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <vector>

namespace {

// A colour no stand-in picture uses.
constexpr Pixel Stale = Rgb(1, 2, 3);

class TickOnRecycledBuffer : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetFrameKeeping(m_scene, false);
        SetClockFunction([this] { return 43'200'000u + 100u * m_ticks++; });
    }
    void TearDown() override { SetClockFunction({}); }

    // Each tick on the scene's buffer with every pixel Stale; returns the frame shown.
    const Frame& Tick(Catalogue& catalogue, FrameSize window)
    {
        PrepareFrame(m_scene, window);
        Raster& buffer = m_scene.Kept.Frame;
        for (int y = 0; y < buffer.Height(); ++y)
            std::fill_n(buffer.Scanline(y), buffer.Width(), Stale);
        const Pixel* block = buffer.Scanline(0);
        try {
            ComposeTick(m_scene, catalogue, window, m_sink);
        } catch (const EJPEG&) {
            m_failed = true;
        }
        const Frame& f = m_sink.frames.back();
        // The buffer really was the stale block.
        EXPECT_EQ(f.block, block);
        return f;
    }

    Scene m_scene;
    std::uint32_t m_ticks = 0;
    bool m_failed = false;
    RecordingSink m_sink;
};

std::size_t StaleCount(const Frame& f)
{
    return static_cast<std::size_t>(std::count(f.pixels.begin(), f.pixels.end(), Stale));
}

TEST_F(TickOnRecycledBuffer, SkyAsWideAsTheWindowLeavesNothingStale)
{
    const Bytes form = SyntheticForm();
    auto catalogue = Catalogue::Load(form, JpegDepth::TrueColour);
    const FrameSize window{1024, 768};
    // Tick 1 decodes the sky while drawing it; ticks 2 and 3 only copy it.
    for (int tick = 1; tick <= 3; ++tick) {
        const Frame& f = Tick(*catalogue, window);
        EXPECT_EQ(StaleCount(f), 0u) << "tick " << tick;
        // Sky Image1 over rows 0 to 499 where no other layer lies.
        EXPECT_TRUE(Near(f.At(1010, 100), LayerColour(1), StandInError)) << "tick " << tick;
        EXPECT_TRUE(Near(f.At(150, 499), LayerColour(1), StandInError)) << "tick " << tick;
        // Below the sky: black but for the eyes (100, 710) 150 x 38, the banner
        // (695, 726) 328 x 41 and the castle's corner marker.
        for (int y = 500; y < 768; ++y) {
            for (int x = 0; x < 1024; ++x) {
                const bool eyes = x >= 100 && x < 250 && y >= 710 && y < 748;
                const bool banner = x >= 695 && x < 1023 && y >= 726 && y < 767;
                const bool castleMarker = x >= 1020 && y <= 509;
                if (!eyes && !banner && !castleMarker) {
                    ASSERT_EQ(f.At(x, y), Black) << x << "," << y << " tick " << tick;
                }
            }
        }
    }
    EXPECT_FALSE(m_failed);
    EXPECT_EQ(catalogue->Image(1).DecodeCount(), 1);
}

TEST_F(TickOnRecycledBuffer, WindowWiderThanTheSkyIsClearedBesideIt)
{
    const Bytes form = SyntheticForm();
    auto catalogue = Catalogue::Load(form, JpegDepth::TrueColour);
    // The sky is 2000 pixels wide: columns 2000 to 2099 keep the clear's black above
    // the castle, which starts at row 182.
    const FrameSize window{2100, 600};
    for (int tick = 1; tick <= 3; ++tick) {
        const Frame& f = Tick(*catalogue, window);
        EXPECT_EQ(StaleCount(f), 0u) << "tick " << tick;
        for (int y = 0; y < 182; ++y)
            for (int x = 2000; x < 2100; ++x)
                ASSERT_EQ(f.At(x, y), Black) << x << "," << y << " tick " << tick;
        EXPECT_TRUE(Near(f.At(1999, 100), LayerColour(1), StandInError)) << "tick " << tick;
    }
}

TEST_F(TickOnRecycledBuffer, SkyThatFailedToDecodeLeavesNothingStale)
{
    const Bytes form = SyntheticForm(1);
    auto catalogue = Catalogue::Load(form, JpegDepth::TrueColour);
    const FrameSize window{1024, 768};
    // Tick 1 fails in the sky's decode and shows the frame as far as it got; later
    // ticks draw what the failed decode left.
    for (int tick = 1; tick <= 3; ++tick) {
        const Frame& f = Tick(*catalogue, window);
        EXPECT_EQ(StaleCount(f), 0u) << "tick " << tick;
        // Above the castle at the right edge only the sky's rows lie: never white, the
        // colour of a buffer no one wrote.
        for (int y = 0; y < 170; ++y)
            for (int x = 1000; x < 1024; ++x)
                ASSERT_NE(f.At(x, y), White) << x << "," << y << " tick " << tick;
    }
    EXPECT_TRUE(m_failed);
    EXPECT_EQ(catalogue->Image(1).DecodeCount(), 1);
}

} // namespace
