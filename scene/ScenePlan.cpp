// The process-wide scene plan, its blink and cycle, and the re-draw.
#include "scene/ScenePlan.h"

#include "scene/RandomSource.h"

ScenePlan Plan;

std::array<std::int32_t, StarCount> StarX{};
std::array<std::int32_t, StarCount> StarY{};
std::array<std::int32_t, StarCount> StarLevel{};
std::array<std::int32_t, RainCount> RainX{};
std::array<std::int32_t, RainCount> RainY{};
std::array<std::int32_t, RainCount> RainSpeed{};

void StepEyes()
{
    --Plan.EyesOpenCountdown;
    if (Plan.EyesOpenCountdown < 1) {
        --Plan.EyesClosedCountdown;
        if (Plan.EyesClosedCountdown == 0) {
            Plan.EyesClosedCountdown = 2;
            Plan.EyesOpenCountdown = RandomBelow(20) + 20;
        }
    }
}

void StepCycle(const IClientSize& window)
{
    --Plan.CycleCountdown;
    if (Plan.CycleCountdown == 0)
        RedrawPlan(window);
}

void RedrawPlan(const IClientSize& window)
{
    // The order of the draws is part of the design: every field takes the next number
    // of the sequence that the tick's seed starts.
    Plan.CycleCountdown = CycleLength;
    Plan.SkyIndex = RandomBelow(5) + 1;
    Plan.CastleChoice = RandomBelow(6);
    Plan.BranchChoice = RandomBelow(6);
    Plan.TallTreeX = RandomBelow(window.ClientWidth()) - 250;
    Plan.ShortTreeX = RandomBelow(window.ClientWidth()) - 250;
    Plan.TallTreeOn = RandomBelow(5);
    Plan.ShortTreeOn = RandomBelow(5);
    Plan.Hill1X = RandomBelow(window.ClientWidth()) - 500;
    Plan.Hill2X = RandomBelow(window.ClientWidth()) - 500;
    Plan.Hill1On = RandomBelow(5);
    Plan.Hill2On = RandomBelow(5);
    Plan.Hill3On = RandomBelow(5);
    Plan.Hill3X = RandomBelow(window.ClientWidth()) - 500;
    Plan.EyesChoice = RandomBelow(10);
    // The eyes' column comes from the client height, not the width.
    Plan.EyesX = RandomBelow(window.ClientHeight()) / 2;
    Plan.EyesY = RandomBelow(200);
    Plan.MoonOn = RandomBelow(3);
    Plan.MoonX = RandomBelow(window.ClientWidth());
    Plan.MoonY = RandomBelow(300);
    Plan.FigureChoice = RandomBelow(10);
    Plan.FigureX = RandomBelow(window.ClientWidth());
    Plan.CastleShift = RandomBelow(300);
    Plan.BranchShift = RandomBelow(300);
    for (int i = 0; i < StarCount; ++i) {
        StarX[i] = RandomBelow(window.ClientWidth());
        StarY[i] = RandomBelow(400);
        StarLevel[i] = RandomBelow(7) + 1;
    }
    Plan.StarsOn = 1;
    Plan.RainOn = RandomBelow(3);
    for (int i = 0; i < RainCount; ++i) {
        RainX[i] = RandomBelow(window.ClientWidth());
        RainY[i] = RandomBelow(500);
        RainSpeed[i] = RandomBelow(3) + 5;
    }
}
