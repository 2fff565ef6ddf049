// The busiest scene the benchmarks measure, set over a plan just drawn: every layer
// shown, the stars twinkling, the eyes blinking, rain falling or not, and no re-draw
// for as long as they run.
#pragma once

#include "scene/ScenePlan.h"

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
