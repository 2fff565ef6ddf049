// The scene plan: the re-draw's 28 steps in order, the blink and the cycle.
#include "ReferenceRandom.h"
#include "scene/Scene.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

class ScenePlanTest : public ::testing::Test {
protected:
    Scene m_scene;
};

TEST_F(ScenePlanTest, InitialValuesMakeTheFirstScene)
{
    const ScenePlan p;
    EXPECT_EQ(p.CycleCountdown, 300);
    EXPECT_EQ(p.SkyIndex, 1);
    EXPECT_EQ(p.CastleChoice, 1);
    EXPECT_EQ(p.CastleShift, 0);
    EXPECT_EQ(p.BranchChoice, 1);
    EXPECT_EQ(p.BranchShift, 0);
    EXPECT_EQ(p.TallTreeOn, 1);
    EXPECT_EQ(p.TallTreeX, 300);
    EXPECT_EQ(p.ShortTreeOn, 0);
    EXPECT_EQ(p.ShortTreeX, 600);
    EXPECT_EQ(p.Hill1On, 1);
    EXPECT_EQ(p.Hill1X, 200);
    EXPECT_EQ(p.Hill2On, 0);
    EXPECT_EQ(p.Hill2X, 1);
    EXPECT_EQ(p.Hill3On, 0);
    EXPECT_EQ(p.Hill3X, 1);
    EXPECT_EQ(p.EyesChoice, 1);
    EXPECT_EQ(p.EyesX, 100);
    EXPECT_EQ(p.EyesY, 200);
    EXPECT_EQ(p.MoonOn, 1);
    EXPECT_EQ(p.MoonX, 600);
    EXPECT_EQ(p.MoonY, 200);
    EXPECT_EQ(p.FigureChoice, 0);
    EXPECT_EQ(p.FigureX, 100);
    EXPECT_EQ(p.StarsOn, 0);
    EXPECT_EQ(p.RainOn, 0);
    EXPECT_EQ(p.EyesOpenCountdown, 10);
    EXPECT_EQ(p.EyesClosedCountdown, 2);
}

// The re-draw against the generator written out independently, in the order the
// design lists the draws.
void ExpectRedrawFrom(std::uint32_t seed, int w, int h)
{
    Scene scene;
    scene.Plan.EyesOpenCountdown = 17;
    scene.Plan.EyesClosedCountdown = 1;
    scene.Plan.CycleCountdown = 0;
    scene.Random.State = seed;
    const FrameSize window{w, h};
    RedrawPlan(scene, window);

    ReferenceRandom r{seed};
    EXPECT_EQ(scene.Plan.CycleCountdown, 300);
    EXPECT_EQ(scene.Plan.SkyIndex, r.Below(5) + 1);
    EXPECT_EQ(scene.Plan.CastleChoice, r.Below(6));
    EXPECT_EQ(scene.Plan.BranchChoice, r.Below(6));
    EXPECT_EQ(scene.Plan.TallTreeX, r.Below(w) - 250);
    EXPECT_EQ(scene.Plan.ShortTreeX, r.Below(w) - 250);
    EXPECT_EQ(scene.Plan.TallTreeOn, r.Below(5));
    EXPECT_EQ(scene.Plan.ShortTreeOn, r.Below(5));
    EXPECT_EQ(scene.Plan.Hill1X, r.Below(w) - 500);
    EXPECT_EQ(scene.Plan.Hill2X, r.Below(w) - 500);
    EXPECT_EQ(scene.Plan.Hill1On, r.Below(5));
    EXPECT_EQ(scene.Plan.Hill2On, r.Below(5));
    EXPECT_EQ(scene.Plan.Hill3On, r.Below(5));
    EXPECT_EQ(scene.Plan.Hill3X, r.Below(w) - 500);
    EXPECT_EQ(scene.Plan.EyesChoice, r.Below(10));
    EXPECT_EQ(scene.Plan.EyesX, r.Below(h) / 2);
    EXPECT_EQ(scene.Plan.EyesY, r.Below(200));
    EXPECT_EQ(scene.Plan.MoonOn, r.Below(3));
    EXPECT_EQ(scene.Plan.MoonX, r.Below(w));
    EXPECT_EQ(scene.Plan.MoonY, r.Below(300));
    EXPECT_EQ(scene.Plan.FigureChoice, r.Below(10));
    EXPECT_EQ(scene.Plan.FigureX, r.Below(w));
    EXPECT_EQ(scene.Plan.CastleShift, r.Below(300));
    EXPECT_EQ(scene.Plan.BranchShift, r.Below(300));
    for (int i = 0; i < StarCount; ++i) {
        EXPECT_EQ(scene.StarX[i], r.Below(w)) << "star " << i;
        EXPECT_EQ(scene.StarY[i], r.Below(400)) << "star " << i;
        EXPECT_EQ(scene.StarLevel[i], r.Below(7) + 1) << "star " << i;
    }
    EXPECT_EQ(scene.Plan.StarsOn, 1);
    EXPECT_EQ(scene.Plan.RainOn, r.Below(3));
    for (int i = 0; i < RainCount; ++i) {
        EXPECT_EQ(scene.RainX[i], r.Below(w)) << "streak " << i;
        EXPECT_EQ(scene.RainY[i], r.Below(500)) << "streak " << i;
        EXPECT_EQ(scene.RainSpeed[i], r.Below(3) + 5) << "streak " << i;
    }
    // 24 plan draws, 300 star draws, 1 rain flag, 750 rain draws: the state has moved
    // exactly that far, and the blink was left alone.
    EXPECT_EQ(scene.Random.State, r.state);
    EXPECT_EQ(scene.Plan.EyesOpenCountdown, 17);
    EXPECT_EQ(scene.Plan.EyesClosedCountdown, 1);
}

TEST_F(ScenePlanTest, RedrawFollowsTheGeneratorInOrder)
{
    ExpectRedrawFrom(45296789u, 1024, 768);
    ExpectRedrawFrom(0u, 1920, 1080);
    ExpectRedrawFrom(86399999u, 640, 480);
}

TEST_F(ScenePlanTest, RedrawStartsWithTheWorkedSky)
{
    // At 12:34:56.789 the first three draws are 2, 1, 2: sky 3, castle 1, branches 2.
    m_scene.Random.State = 45296789u;
    const FrameSize window{1024, 768};
    RedrawPlan(m_scene, window);
    EXPECT_EQ(m_scene.Plan.SkyIndex, 3);
    EXPECT_EQ(m_scene.Plan.CastleChoice, 1);
    EXPECT_EQ(m_scene.Plan.BranchChoice, 2);
}

TEST_F(ScenePlanTest, RedrawOnAZeroWidthWindow)
{
    const FrameSize window{0, 0};
    m_scene.Random.State = 12345u;
    RedrawPlan(m_scene, window);
    EXPECT_EQ(m_scene.Plan.TallTreeX, -250);
    EXPECT_EQ(m_scene.Plan.ShortTreeX, -250);
    EXPECT_EQ(m_scene.Plan.Hill1X, -500);
    EXPECT_EQ(m_scene.Plan.Hill2X, -500);
    EXPECT_EQ(m_scene.Plan.Hill3X, -500);
    EXPECT_EQ(m_scene.Plan.MoonX, 0);
    EXPECT_EQ(m_scene.Plan.FigureX, 0);
    EXPECT_EQ(m_scene.Plan.EyesX, 0);
    for (int i = 0; i < StarCount; ++i)
        EXPECT_EQ(m_scene.StarX[i], 0);
    for (int i = 0; i < RainCount; ++i)
        EXPECT_EQ(m_scene.RainX[i], 0);
}

TEST_F(ScenePlanTest, EachHillGetsItsOwnColumn)
{
    const FrameSize window{1920, 1080};
    m_scene.Random.State = 777u;
    RedrawPlan(m_scene, window);
    EXPECT_NE(m_scene.Plan.Hill1X, m_scene.Plan.Hill2X);
    EXPECT_NE(m_scene.Plan.Hill2X, m_scene.Plan.Hill3X);
}

// Which of the first frames show the eyes: frame n shows them when the open count,
// before that tick's step, is above 0.
std::vector<bool> EyesTimeline(Scene& scene, int frames, std::uint32_t seed)
{
    std::vector<bool> open;
    for (int frame = 1; frame <= frames; ++frame) {
        scene.Random.State = seed + static_cast<std::uint32_t>(frame);
        open.push_back(scene.Plan.EyesOpenCountdown > 0);
        StepEyes(scene);
    }
    return open;
}

TEST_F(ScenePlanTest, EyesOpenTenFramesThenBlinkOnce)
{
    const std::vector<bool> open = EyesTimeline(m_scene, 200, 1000);
    for (int frame = 1; frame <= 10; ++frame)
        EXPECT_TRUE(open[frame - 1]) << "frame " << frame;
    EXPECT_FALSE(open[10]) << "frame 11";
    // From frame 12 on: runs of 20 to 39 open frames, each followed by one closed frame.
    int run = 0;
    int runsSeen = 0;
    for (int frame = 12; frame <= 200; ++frame) {
        if (open[frame - 1]) {
            ++run;
        } else {
            EXPECT_GE(run, 20) << "run ending at frame " << frame;
            EXPECT_LE(run, 39) << "run ending at frame " << frame;
            EXPECT_TRUE(open[frame]) << "a second closed frame at " << frame + 1;
            run = 0;
            ++runsSeen;
        }
    }
    EXPECT_GE(runsSeen, 4);
}

TEST_F(ScenePlanTest, NewOpenRunLengthComesFromTheClosingTick)
{
    for (int frame = 1; frame <= 10; ++frame)
        StepEyes(m_scene);
    EXPECT_EQ(m_scene.Plan.EyesOpenCountdown, 0);
    EXPECT_EQ(m_scene.Plan.EyesClosedCountdown, 1);
    m_scene.Random.State = 45296789u;
    StepEyes(m_scene);   // frame 11: the closed frame ends, a new run is drawn
    ReferenceRandom r{45296789u};
    EXPECT_EQ(m_scene.Plan.EyesOpenCountdown, r.Below(20) + 20);
    EXPECT_EQ(m_scene.Plan.EyesClosedCountdown, 2);
}

TEST_F(ScenePlanTest, CycleRedrawsAtTheEndOfEveryThreeHundredthTick)
{
    const FrameSize window{800, 600};
    std::vector<int> redraws;
    for (int tick = 1; tick <= 1200; ++tick) {
        m_scene.Random.State = static_cast<std::uint32_t>(tick * 7919);
        const int before = m_scene.Plan.CycleCountdown;
        StepCycle(m_scene, window);
        if (m_scene.Plan.CycleCountdown > before)
            redraws.push_back(tick);
    }
    EXPECT_EQ(redraws, (std::vector<int>{300, 600, 900, 1200}));
    EXPECT_EQ(m_scene.Plan.StarsOn, 1);
}

TEST_F(ScenePlanTest, NoRedrawBeforeTheCycleRunsOut)
{
    const FrameSize window{800, 600};
    for (int tick = 1; tick <= 299; ++tick)
        StepCycle(m_scene, window);
    EXPECT_EQ(m_scene.Plan.CycleCountdown, 1);
    EXPECT_EQ(m_scene.Plan.StarsOn, 0);
    EXPECT_EQ(m_scene.Plan.SkyIndex, 1);
    EXPECT_EQ(m_scene.Random.State, 0u);
}

} // namespace
