// The busiest scene the benchmarks measure, set over a plan just drawn: every layer
// shown, the stars twinkling, the eyes blinking, rain falling or not, and no re-draw
// for as long as they run.
#pragma once

#include "scene/ScenePlan.h"

inline void MakePlanBusy(bool rain)
{
    Plan.CastleChoice = 2;
    Plan.BranchChoice = 1;
    Plan.TallTreeOn = Plan.ShortTreeOn = 1;
    Plan.Hill1On = Plan.Hill2On = Plan.Hill3On = 1;
    Plan.MoonOn = 1;
    Plan.FigureChoice = 3;
    Plan.EyesChoice = 2;
    Plan.RainOn = rain ? 1 : 0;
    Plan.StarsOn = 1;
    Plan.CycleCountdown = 1'000'000'000;
}
