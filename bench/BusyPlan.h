// The busiest scene the benchmarks measure, set over a plan just drawn: every layer
// shown, the stars twinkling, the eyes blinking, rain falling or not, and no re-draw
// for as long as they run.
#pragma once

#include "scene/Scene.h"
#include "scene/ScenePlan.h"

#include <cstdio>

inline void MakePlanBusy(ScenePlan& plan, bool rain)
{
    plan.CastleChoice = 2;
    plan.BranchChoice = 1;
    plan.TallTreeOn = plan.ShortTreeOn = 1;
    plan.Hill1On = plan.Hill2On = plan.Hill3On = 1;
    plan.MoonOn = 1;
    plan.FigureChoice = 3;
    plan.EyesChoice = 2;
    plan.RainOn = rain ? 1 : 0;
    plan.StarsOn = 1;
    plan.CycleCountdown = 1'000'000'000;
}

// Every scene of the process shows the busiest plan from its first cycle step on, drawn
// for the frame's size. "PROGRAM: busy plan drawn" on stderr says when, for the scripts
// to wait for.
inline void HoldBusyPlan(bool rain, const char* program)
{
    SetPlanHook([rain, program](Scene& scene, FrameSize size) {
        if (scene.Plan.CycleCountdown <= CycleLength) {   // not yet busy
            RedrawPlan(scene, size);
            MakePlanBusy(scene.Plan, rain);
            std::fprintf(stderr, "%s: busy plan drawn\n", program);
        }
    });
}
