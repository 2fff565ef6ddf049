// Where the tick draws each picture, as the frame composition lists the positions,
// and which pictures are keyed bitmaps: the picture table against the written design.
#include "scene/PictureTable.h"
#include "scene/ScenePlan.h"
#include "scene/SceneLayers.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

struct Expected {
    int holder;
    int x;
    int y;
};

// Distinct values for every field, so that a position taken from the wrong field shows.
ScenePlan DistinctPlan()
{
    ScenePlan plan;
    plan.CastleShift = 11;
    plan.BranchShift = 13;
    plan.TallTreeX = 17;
    plan.ShortTreeX = 19;
    plan.ShortTreeOn = 1;
    plan.Hill1X = 23;
    plan.Hill2X = 29;
    plan.Hill2On = 1;
    plan.Hill3X = 31;
    plan.Hill3On = 1;
    plan.EyesX = 37;
    plan.EyesY = 41;
    plan.MoonX = 43;
    plan.MoonY = 47;
    plan.FigureX = 53;
    return plan;
}

std::vector<Expected> Placed(const SceneLayers& layers)
{
    std::vector<Expected> placed{{layers.Sky.Holder, layers.Sky.X, layers.Sky.Y}};
    for (const PictureLayer& layer : layers.Middle) {
        if (layer.Holder != 0)
            placed.push_back({layer.Holder, layer.X, layer.Y});
    }
    placed.push_back({layers.Eyes.Holder, layers.Eyes.X, layers.Eyes.Y});
    placed.push_back({layers.Banner.Holder, layers.Banner.X, layers.Banner.Y});
    return placed;
}

bool operator==(const Expected& a, const Expected& b)
{
    return a.holder == b.holder && a.x == b.x && a.y == b.y;
}

void PrintTo(const Expected& e, std::ostream* out)
{
    *out << "Image" << e.holder << " at (" << e.x << ", " << e.y << ")";
}

TEST(SceneLayers, EachPictureIsDrawnWhereTheCompositionSays)
{
    const FrameSize window{1024, 768};
    struct Case {
        int sky, figure, castle, branches, eyes;
        std::vector<Expected> expected;   // sky, moon, figure, castle, branches, trees, hills, eyes, banner
    };
    const Case cases[] = {
        {1, 1, 1, 1, 1,
         {{1, 0, 0}, {20, 43, 47}, {21, 53, 300}, {6, 1024 - 479 + 11, 182}, {8, -13, 0}, {11, 17, 0}, {10, 19, 135},
          {12, 23, 326}, {13, 29, 326}, {14, 31, 326}, {15, 37, 41 + 510}, {24, 1024 - 329, 768 - 42}}},
        {5, 2, 2, 2, 5,
         {{5, 0, 0}, {20, 43, 47}, {22, 53, 338}, {7, 1024 - 1000 + 11, 10}, {9, -13, 0}, {11, 17, 0}, {10, 19, 135},
          {12, 23, 326}, {13, 29, 326}, {14, 31, 326}, {19, 37, 41 + 510}, {28, 1024 - 329, 768 - 42}}},
        // Choices outside their ranges show nothing.
        {3, 3, 3, 0, 6,
         {{3, 0, 0}, {20, 43, 47}, {23, 53, 186}, {11, 17, 0}, {10, 19, 135}, {12, 23, 326}, {13, 29, 326},
          {14, 31, 326}, {0, 0, 0}, {26, 1024 - 329, 768 - 42}}},
    };
    for (const Case& c : cases) {
        ScenePlan plan = DistinctPlan();
        plan.SkyIndex = c.sky;
        plan.FigureChoice = c.figure;
        plan.CastleChoice = c.castle;
        plan.BranchChoice = c.branches;
        plan.EyesChoice = c.eyes;
        EXPECT_EQ(Placed(LayersOfPlan(plan, window)), c.expected) << "sky " << c.sky;
    }
}

TEST(PictureTable, KeyedBitmapsAreTheSilhouettesTheMoonAndTheFigures)
{
    for (const PictureFacts& facts : PictureTable) {
        const int h = facts.Holder;
        const bool keyed = (h >= 6 && h <= 14) || (h >= 20 && h <= 23);
        const bool oneBit = h == 8 || (h >= 21 && h <= 23);
        EXPECT_EQ(facts.Keyed, keyed) << "Image" << h;
        EXPECT_EQ(facts.Kind, keyed ? PictureKind::Bitmap : PictureKind::Jpeg) << "Image" << h;
        EXPECT_EQ(facts.BitsPerPixel, oneBit ? 1 : 24) << "Image" << h;
        EXPECT_EQ(facts.ColourKey, oneBit ? White : keyed ? Rgb(0, 255, 0) : NoKey) << "Image" << h;
    }
}

} // namespace
