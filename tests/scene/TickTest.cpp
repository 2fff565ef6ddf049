// One tick end to end over stand-in pictures: where each layer lands, the cycle and
// the blink as they show in frames, the rain over the banner, and the failure paths.
#include "RecordingSink.h"
#include "SyntheticCatalogue.h"
#include "platform/Exception.h"
#include "scene/Catalogue.h"
#include "scene/Particles.h"
#include "scene/Scene.h"
#include "scene/Tick.h"

#include <cstdio>
#include <jpeglib.h>
#include <jerror.h>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

namespace {

class TickTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // Tick i reads 12:00:00.000 + (i - 1) x 100 ms.
        SetClockFunction([this] { return 43'200'000u + 100u * m_ticks++; });
    }
    void TearDown() override { SetClockFunction({}); }

public:
    static Catalogue& Pictures()
    {
        static const Bytes form = SyntheticForm();
        static std::unique_ptr<Catalogue> catalogue = Catalogue::Load(form, JpegDepth::TrueColour);
        return *catalogue;
    }

protected:
    void RunTicks(int count, FrameSize window)
    {
        for (int i = 0; i < count; ++i)
            ComposeTick(m_scene, Pictures(), window, m_sink);
    }

    Scene m_scene;
    std::uint32_t m_ticks = 0;
    RecordingSink m_sink;
};

TEST_F(TickTest, FirstFramePutsEveryLayerWhereTheInitialPlanSays)
{
    const FrameSize window{1024, 768};
    RunTicks(1, window);
    ASSERT_EQ(m_sink.frames.size(), 1u);
    const Frame& f = m_sink.frames[0];
    ASSERT_EQ(f.width, 1024);
    ASSERT_EQ(f.height, 768);

    // Sky Image1 over rows 0 to 499.
    EXPECT_TRUE(Near(f.At(1010, 100), LayerColour(1), StandInError));
    EXPECT_TRUE(Near(f.At(150, 499), LayerColour(1), StandInError));
    // Moon at (600, 200), 106 x 94.
    EXPECT_EQ(f.At(600, 200), LayerColour(20));
    EXPECT_EQ(f.At(705, 293), LayerColour(20));
    EXPECT_TRUE(Near(f.At(599, 200), LayerColour(1), StandInError));
    // Castle Image6 flush with the right edge: (545, 182) to (1023, 509).
    EXPECT_EQ(f.At(545, 182), LayerColour(6));
    EXPECT_EQ(f.At(1023, 509), LayerColour(6));
    EXPECT_TRUE(Near(f.At(544, 182), LayerColour(1), StandInError));
    // Branches Image8 from the left edge, drawn black: (0, 0) to (499, 499).
    EXPECT_EQ(f.At(0, 0), Black);
    EXPECT_EQ(f.At(499, 499), Black);
    EXPECT_TRUE(Near(f.At(4, 4), LayerColour(1), StandInError));
    // Tall tree Image11 at column 300.
    EXPECT_EQ(f.At(300, 0), LayerColour(11));
    EXPECT_EQ(f.At(799, 499), LayerColour(11));
    // Hill Image12 at (200, 326).
    EXPECT_EQ(f.At(200, 326), LayerColour(12));
    EXPECT_EQ(f.At(999, 499), LayerColour(12));
    // No short tree, second or third hill, figure: their markers would sit here.
    EXPECT_TRUE(Near(f.At(600, 135), LayerColour(1), StandInError));
    EXPECT_TRUE(Near(f.At(1, 326), LayerColour(1), StandInError));
    // Eyes Image15 at (100, 710), 150 x 38; banner Image24 at (695, 726), 328 x 41.
    for (int y = 500; y < 768; ++y) {
        for (int x = 0; x < 1024; ++x) {
            const bool eyes = x >= 100 && x < 250 && y >= 710 && y < 748;
            const bool banner = x >= 695 && x < 1023 && y >= 726 && y < 767;
            const bool castleMarker = x >= 1020 && y <= 509;
            if (eyes) {
                ASSERT_TRUE(Near(f.At(x, y), LayerColour(15), StandInError)) << x << "," << y;
            } else if (banner) {
                ASSERT_TRUE(Near(f.At(x, y), LayerColour(24), StandInError)) << x << "," << y;
            } else if (!castleMarker) {
                ASSERT_EQ(f.At(x, y), Black) << x << "," << y;
            }
        }
    }
    // No stars and no rain: the particles were not touched.
    for (int i = 0; i < StarCount; ++i)
        EXPECT_EQ(m_scene.StarLevel[i], 0);
    for (int i = 0; i < RainCount; ++i)
        EXPECT_EQ(m_scene.RainY[i], 0);
}

TEST_F(TickTest, FrameThreeHundredAndOneIsTheFirstWithANewPlanAndHasStars)
{
    const FrameSize window{1024, 768};
    RunTicks(300, window);
    EXPECT_EQ(m_scene.Plan.StarsOn, 1);
    // Frames 1 to 300 show the first plan: the sky and the castle marker stand still.
    for (int i = 0; i < 300; ++i) {
        EXPECT_EQ(m_sink.frames[i].At(545, 182), LayerColour(6)) << "frame " << i + 1;
        EXPECT_TRUE(Near(m_sink.frames[i].At(1010, 100), LayerColour(1), StandInError)) << "frame " << i + 1;
    }
    const auto starX = m_scene.StarX;
    const auto starY = m_scene.StarY;
    const auto starLevel = m_scene.StarLevel;
    RunTicks(1, window);
    const Frame& f = m_sink.frames[300];
    int starsSeen = 0;
    for (int i = 0; i < StarCount; ++i)
        starsSeen += f.At(starX[i], starY[i]) == StarGrey(starLevel[i]) ? 1 : 0;
    // Stand-in pictures are all key colour but their small markers, so nearly every
    // star shows.
    EXPECT_GE(starsSeen, 90);
}

TEST_F(TickTest, EyesAreMissingInFrameEleven)
{
    const FrameSize window{1024, 768};
    RunTicks(12, window);
    EXPECT_TRUE(Near(m_sink.frames[9].At(120, 720), LayerColour(15), StandInError));
    EXPECT_EQ(m_sink.frames[10].At(120, 720), Black);
    EXPECT_TRUE(Near(m_sink.frames[11].At(120, 720), LayerColour(15), StandInError));
}

TEST_F(TickTest, RainCrossesTheBannerOnAWindowOf542Rows)
{
    const FrameSize window{1024, 542};
    m_scene.Plan.RainOn = 1;
    m_scene.RainX.fill(2000);
    m_scene.RainY.fill(-100);
    m_scene.RainSpeed.fill(5);
    // Lower ends on row 500, the banner's top row (542 - 42), over its columns.
    for (int i = 0; i < 10; ++i) {
        m_scene.RainX[i] = 720 + 20 * i;
        m_scene.RainY[i] = 500;
    }
    RunTicks(1, window);
    const Frame& f = m_sink.frames[0];
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(f.At(720 + 20 * i, 500), Black) << "streak " << i;
        EXPECT_TRUE(Near(f.At(721 + 20 * i, 501), LayerColour(24), StandInError)) << "streak " << i;
    }
}

TEST_F(TickTest, ZeroSizedWindowStillTicks)
{
    const FrameSize window{0, 0};
    RunTicks(3, window);
    ASSERT_EQ(m_sink.frames.size(), 3u);
    EXPECT_EQ(m_sink.frames[2].width, 0);
    EXPECT_EQ(m_scene.Plan.CycleCountdown, 297);
    EXPECT_EQ(m_scene.Plan.EyesOpenCountdown, 7);
}

TEST_F(TickTest, FailedDrawStillShowsEarlierLayersThenReportsTheFailure)
{
    // The same whether the eyes failed at the draw or in a decode ahead of the tick.
    for (const bool decodedAhead : {false, true}) {
        SCOPED_TRACE(decodedAhead ? "decoded ahead" : "decoded at the draw");
        Scene scene;
        m_sink.frames.clear();
        const Bytes broken = SyntheticForm(15);   // the eyes of the first plan
        auto catalogue = Catalogue::Load(broken, JpegDepth::TrueColour);
        if (decodedAhead) {
            EXPECT_NO_THROW(DecodeAhead(scene.Plan, *catalogue));
        }
        const FrameSize window{1024, 768};
        try {
            ComposeTick(scene, *catalogue, window, m_sink);
            FAIL() << "the tick should fail at the eyes";
        } catch (const EJPEG& error) {
            EXPECT_EQ(std::string(error.what()), "JPEG error #" + std::to_string(JERR_NO_QUANT_TABLE));
        }
        ASSERT_EQ(m_sink.frames.size(), 1u);
        const Frame& f = m_sink.frames[0];
        EXPECT_TRUE(Near(f.At(1010, 100), LayerColour(1), StandInError));     // sky
        EXPECT_EQ(f.At(300, 0), LayerColour(11));                // tall tree
        EXPECT_EQ(f.At(120, 720), Black);                        // no eyes
        EXPECT_EQ(f.At(800, 740), Black);                        // no banner: it comes after
        EXPECT_EQ(scene.Plan.EyesOpenCountdown, 10);                   // StepEyes did not run
        EXPECT_EQ(scene.Plan.CycleCountdown, 300);                     // nor StepCycle
        // The next tick draws the eyes as far as they decoded, without a report.
        EXPECT_NO_THROW(ComposeTick(scene, *catalogue, window, m_sink));
    }
}

TEST_F(TickTest, BufferThatCannotBeMadeCopiesNothing)
{
    const FrameSize window{1 << 30, 1 << 30};
    EXPECT_THROW(ComposeTick(m_scene, Pictures(), window, m_sink), EOutOfResources);
    EXPECT_TRUE(m_sink.frames.empty());
    EXPECT_EQ(m_scene.Plan.CycleCountdown, 300);
}

TEST_F(TickTest, DecodeAheadDecodesTheJpegPicturesThePlanShowsAndNoOthers)
{
    const Bytes form = SyntheticForm();
    auto catalogue = Catalogue::Load(form, JpegDepth::TrueColour);
    DecodeAhead(m_scene.Plan, *catalogue);
    // The first plan: sky 1, its banner 24 and the eyes of its choice.
    const int eyes = 14 + m_scene.Plan.EyesChoice;
    for (int holder = 1; holder <= PictureCount; ++holder) {
        if (Facts(holder).Kind == PictureKind::Bitmap)
            continue;
        const bool shown = holder == 1 || holder == 24 || holder == eyes;
        EXPECT_EQ(catalogue->Image(holder).DecodeCount(), shown ? 1 : 0) << "Image" << holder;
    }
    // The tick then draws them without decoding again, and the frame is the one a
    // tick without the decode ahead makes.
    const FrameSize window{1024, 768};
    ComposeTick(m_scene, *catalogue, window, m_sink);
    for (int holder = 1; holder <= PictureCount; ++holder)
        EXPECT_LE(catalogue->Image(holder).DecodeCount(), 1) << "Image" << holder;
    Scene fresh;
    m_ticks = 0;
    ComposeTick(fresh, Pictures(), window, m_sink);
    ASSERT_EQ(m_sink.frames.size(), 2u);
    EXPECT_EQ(m_sink.frames[0].pixels, m_sink.frames[1].pixels);
}

// A hash of each frame handed in.
struct HashingSink : IFrameSink {
    void CopyFrame(const Raster& frame, std::span<const Rect>) override
    {
        std::uint64_t hash = 1469598103934665603ull;
        for (int y = 0; y < frame.Height(); ++y)
            for (int x = 0; x < frame.Width(); ++x)
                hash = (hash ^ frame.Scanline(y)[x]) * 1099511628211ull;
        hashes.push_back(hash);
    }
    std::vector<std::uint64_t> hashes;
};

// Two scenes of different sizes ticking in turn, as one process draws on two screens,
// each give the frames they give alone: across a re-draw of the plan, with stars, rain
// and the blink.
TEST(TwoScenes, TickSideBySideAsEachAlone)
{
    const FrameSize sizes[] = {{640, 480}, {333, 517}};
    constexpr int Ticks = 305;
    std::uint32_t round = 0;
    SetClockFunction([&round] { return 43'200'000u + 100u * round; });
    const auto fresh = [] {
        Scene scene;
        scene.Plan.StarsOn = 1;
        scene.Plan.RainOn = 1;
        return scene;
    };
    HashingSink alone[2];
    for (int s = 0; s < 2; ++s) {
        Scene scene = fresh();
        for (round = 0; round < Ticks; ++round)
            ComposeTick(scene, TickTest::Pictures(), sizes[s], alone[s]);
    }
    HashingSink together[2];
    Scene scenes[2] = {fresh(), fresh()};
    for (round = 0; round < Ticks; ++round)
        for (int s = 0; s < 2; ++s)
            ComposeTick(scenes[s], TickTest::Pictures(), sizes[s], together[s]);
    SetClockFunction({});
    for (int s = 0; s < 2; ++s) {
        ASSERT_EQ(together[s].hashes.size(), static_cast<std::size_t>(Ticks));
        for (int i = 0; i < Ticks; ++i)
            ASSERT_EQ(together[s].hashes[i], alone[s].hashes[i]) << "scene " << s << ", tick " << i + 1;
    }
}

} // namespace
