// The scene plan's blink and cycle, and the re-draw.
#include "scene/ScenePlan.h"

#include "scene/Scene.h"

#include <utility>

namespace {

PlanHook& CurrentPlanHook()
{
    static PlanHook hook;
    return hook;
}

} // namespace

void StepEyes(Scene& scene)
{
    ScenePlan& plan = scene.Plan;
    --plan.EyesOpenCountdown;
    if (plan.EyesOpenCountdown < 1) {
        --plan.EyesClosedCountdown;
        if (plan.EyesClosedCountdown == 0) {
            plan.EyesClosedCountdown = 2;
            plan.EyesOpenCountdown = scene.Random.RandomBelow(20) + 20;
        }
    }
}

void StepCycle(Scene& scene, FrameSize size)
{
    --scene.Plan.CycleCountdown;
    if (scene.Plan.CycleCountdown == 0)
        RedrawPlan(scene, size);
    if (const PlanHook& hook = CurrentPlanHook())
        hook(scene, size);
}

PlanHook SetPlanHook(PlanHook hook)
{
    return std::exchange(CurrentPlanHook(), std::move(hook));
}

void RedrawPlan(Scene& scene, FrameSize size)
{
    ScenePlan& plan = scene.Plan;
    RandomSource& random = scene.Random;
    // The order of the draws is part of the design: every field takes the next number
    // of the sequence that the tick's seed starts.
    plan.CycleCountdown = CycleLength;
    plan.SkyIndex = random.RandomBelow(5) + 1;
    plan.CastleChoice = random.RandomBelow(6);
    plan.BranchChoice = random.RandomBelow(6);
    plan.TallTreeX = random.RandomBelow(size.Width) - 250;
    plan.ShortTreeX = random.RandomBelow(size.Width) - 250;
    plan.TallTreeOn = random.RandomBelow(5);
    plan.ShortTreeOn = random.RandomBelow(5);
    plan.Hill1X = random.RandomBelow(size.Width) - 500;
    plan.Hill2X = random.RandomBelow(size.Width) - 500;
    plan.Hill1On = random.RandomBelow(5);
    plan.Hill2On = random.RandomBelow(5);
    plan.Hill3On = random.RandomBelow(5);
    plan.Hill3X = random.RandomBelow(size.Width) - 500;
    plan.EyesChoice = random.RandomBelow(10);
    // The eyes' column comes from the client height, not the width.
    plan.EyesX = random.RandomBelow(size.Height) / 2;
    plan.EyesY = random.RandomBelow(200);
    plan.MoonOn = random.RandomBelow(3);
    plan.MoonX = random.RandomBelow(size.Width);
    plan.MoonY = random.RandomBelow(300);
    plan.FigureChoice = random.RandomBelow(10);
    plan.FigureX = random.RandomBelow(size.Width);
    plan.CastleShift = random.RandomBelow(300);
    plan.BranchShift = random.RandomBelow(300);
    for (int i = 0; i < StarCount; ++i) {
        scene.StarX[i] = random.RandomBelow(size.Width);
        scene.StarY[i] = random.RandomBelow(400);
        scene.StarLevel[i] = random.RandomBelow(7) + 1;
    }
    plan.StarsOn = 1;
    plan.RainOn = random.RandomBelow(3);
    for (int i = 0; i < RainCount; ++i) {
        scene.RainX[i] = random.RandomBelow(size.Width);
        scene.RainY[i] = random.RandomBelow(500);
        scene.RainSpeed[i] = random.RandomBelow(3) + 5;
    }
}
