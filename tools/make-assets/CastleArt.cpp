// CastleArt: both castles stand with their bottom edge at frame row 510, so the ground
// they stand on (frame row 499) is 11 rows above their last row: image row 317 for
// Image6 and 489 for Image7. The rock below it is hidden by the black below the sky.
#include "CastleArt.h"

#include "Canvas.h"
#include "Outline.h"
#include "Rng.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

const QColor Key(0, 255, 0);

// Linear interpolation through (x, y) points sorted by x.
double Through(const std::vector<QPointF>& points, double x)
{
    if (x <= points.front().x())
        return points.front().y();
    for (size_t i = 1; i < points.size(); ++i)
        if (x <= points[i].x()) {
            const QPointF a = points[i - 1];
            const QPointF b = points[i];
            return a.y() + (b.y() - a.y()) * (x - a.x()) / (b.x() - a.x());
        }
    return points.back().y();
}

QPolygonF Box(double left, double top, double right, double bottom)
{
    return QPolygonF({QPointF(left, top), QPointF(right, top), QPointF(right, bottom), QPointF(left, bottom)});
}

// Merlons along [left, right] standing on `top`: teeth of `tooth` pixels with gaps of
// `gap` pixels, `height` tall, both ends ending on a tooth.
void Battlement(Canvas& c, double left, double right, double top, double tooth, double gap, double height)
{
    const int teeth = std::max(2, static_cast<int>(std::round((right - left + gap) / (tooth + gap))));
    const double pitch = (right - left - tooth) / (teeth - 1);
    for (int i = 0; i < teeth; ++i) {
        const double x = left + i * pitch;
        c.Fill(Box(x, top - height, x + tooth, top + 1));
    }
}

// A cross-shaped arrow slit centred on (x, y).
void CrossSlit(Canvas& c, double x, double y, double length)
{
    c.Erase(Box(x - 1, y - length / 2, x + 2, y + length / 2));
    c.Erase(Box(x - length / 4, y - length / 6, x + length / 4 + 1, y - length / 6 + 2));
}

// An opening with a round top: `width` wide, its sides from `bottom` up to `springY`.
QPolygonF Arch(double left, double springY, double width, double bottom)
{
    QPolygonF out;
    out << QPointF(left, bottom);
    const double r = width / 2;
    for (int i = 0; i <= 16; ++i) {
        const double a = std::numbers::pi * i / 16;
        out << QPointF(left + r - r * std::cos(a), springY - r * std::sin(a));
    }
    out << QPointF(left + width, bottom);
    return out;
}

} // namespace

QImage CastleArt::Image6()
{
    Canvas c(479, 328, Key);
    Rng rng(6006);
    // The ground line: a long slope from the left rising to a crag on the right.
    const std::vector<QPointF> ground{{3, 319},   {40, 314},  {90, 306},  {150, 294}, {196, 284},
                                      {208, 272}, {216, 252}, {228, 242}, {238, 222}, {250, 212},
                                      {260, 196}, {274, 186}, {290, 176}, {310, 168}, {330, 162},
                                      {430, 160}, {446, 170}, {456, 196}, {466, 214}, {479, 226}};
    // The crag: the ground line made rocky, with ledges and overhangs on its face.
    std::vector<QPointF> crag{{3, 329}};
    for (const QPointF& p : ground)
        crag.push_back(p);
    crag.push_back({479, 329});
    QPolygonF rock = Outline::Jagged(crag, 3, 5, rng);
    c.Fill(rock);
    // Rock ledges that stick out of the crag's face.
    c.Fill(QPolygonF({QPointF(218, 256), QPointF(204, 262), QPointF(200, 268), QPointF(212, 266)}));
    c.Fill(QPolygonF({QPointF(242, 222), QPointF(230, 228), QPointF(226, 234), QPointF(240, 232)}));
    c.Fill(QPolygonF({QPointF(452, 186), QPointF(466, 192), QPointF(470, 200), QPointF(458, 200)}));
    // Boulders on the slope.
    c.Fill(QPolygonF({QPointF(60, 312), QPointF(64, 304), QPointF(71, 302), QPointF(76, 309), QPointF(74, 314)}));
    c.Fill(QPolygonF({QPointF(112, 303), QPointF(118, 296), QPointF(124, 298), QPointF(126, 304)}));

    auto groundAt = [&](double x) { return Through(ground, x); };

    // The curtain wall climbs in steps from the end tower to the keep, each step a
    // level run of wall with merlons, its foot sunk into the slope.
    struct Step {
        double left, right, top;
    };
    const Step steps[] = {{34, 92, 276},   {92, 150, 262},  {150, 192, 248},
                          {232, 262, 200}, {262, 298, 178}, {298, 338, 156}};
    for (const Step& s : steps) {
        c.Fill(Box(s.left, s.top, s.right, std::max(groundAt(s.left), groundAt(s.right)) + 6));
        Battlement(c, s.left + 1, s.right - 1, s.top, 6, 5, 7);
    }
    // The end tower on the left, with a conical roof.
    c.Fill(Box(18, 250, 40, groundAt(18) + 4));
    c.Fill(QPolygonF({QPointF(15, 252), QPointF(29, 214), QPointF(43, 252)}));
    c.Fill(Box(28, 204, 30, 216)); // finial
    // The gatehouse: two drum towers either side of a gate arch.
    c.Fill(Box(190, 214, 234, std::max(groundAt(190), groundAt(234)) + 6));
    Battlement(c, 188, 236, 214, 7, 5, 9);
    c.Fill(Box(186, 222, 192, 226)); // string course
    c.Fill(Box(232, 222, 238, 226));
    c.Erase(Arch(200, 268, 16, groundAt(200) + 0.5));
    CrossSlit(c, 199, 232, 12);
    CrossSlit(c, 225, 232, 12);

    // The keep on the crag: slightly battered walls, a projecting parapet on corbels,
    // merlons, and a corner turret with a pointed roof and a pennant.
    c.Fill(QPolygonF({QPointF(336, 168), QPointF(342, 58), QPointF(408, 58), QPointF(414, 168)}));
    for (double x = 342; x <= 404; x += 8)
        c.Fill(QPolygonF({QPointF(x, 58), QPointF(x + 4, 66), QPointF(x + 8, 58)}));
    c.Fill(Box(334, 44, 416, 59));
    Battlement(c, 334, 416, 44, 8, 6, 10);
    // The turret on the keep's left corner.
    c.Fill(Box(326, 20, 346, 60));
    c.Fill(QPolygonF({QPointF(324, 60), QPointF(336, 74), QPointF(348, 60)}));
    c.Fill(QPolygonF({QPointF(322, 22), QPointF(336, -2), QPointF(350, 22)}));
    c.Hair(QPointF(336, 0), QPointF(336, -2));
    // The keep's openings: slits, a pair of arched windows, a cross slit.
    c.Erase(Arch(366, 96, 8, 110));
    c.Erase(Arch(380, 96, 8, 110));
    c.Erase(Box(372, 130, 375, 146));
    CrossSlit(c, 394, 80, 14);
    c.Erase(Box(334, 34, 337, 44)); // turret slit
    c.Erase(Box(354, 70, 357, 80));
    // A pennant on the keep's right merlon.
    c.Fill(Box(408, 6, 410, 35));
    c.Fill(QPolygonF({QPointF(410, 7), QPointF(430, 11), QPointF(424, 14), QPointF(432, 18), QPointF(410, 17)}));

    // Slits along the curtain wall, a few pixels below each step's merlons.
    for (const Step& s : steps)
        c.Erase(Box((s.left + s.right) / 2, s.top + 7, (s.left + s.right) / 2 + 2, s.top + 16));
    return c.Finish();
}

QImage CastleArt::Image7()
{
    Canvas c(1000, 500, Key);
    Rng rng(7007);
    // A broad rocky hill: a large-scale profile made rough with fractal noise, its
    // summit under the tower.
    const std::vector<QPointF> profile{{4, 0}, {80, 16}, {180, 40}, {300, 78}, {400, 118}, {480, 152},
                                       {560, 180}, {600, 188}, {720, 190}, {780, 176}, {860, 146},
                                       {930, 120}, {1000, 108}};
    const auto noise = Outline::Noise(1001, 60, 5, 0.5, rng);
    const double base = 489;
    auto height = [&](double x) {
        const double h = Through(profile, x);
        const double rough = noise[static_cast<size_t>(std::clamp(x, 0.0, 1000.0))] * std::min(h, 18.0);
        return std::max(0.0, h + rough);
    };
    c.Fill(Outline::Ridge(4, 1000, base, height, 3));
    c.Fill(Box(0, base, 1000, 500));
    c.Erase(Box(0, base - 1, 4, 500)); // the left end of the ground stays open
    // Rock outcrops breaking the hill's outline.
    auto outcrop = [&](std::vector<QPointF> pts) { c.Fill(Outline::Jagged(pts, 2.5, 6, rng)); };
    outcrop({{360, 400}, {372, 370}, {380, 352}, {388, 348}, {396, 362}, {404, 360}, {414, 384}, {420, 400}});
    outcrop({{800, 330}, {812, 300}, {822, 290}, {832, 296}, {842, 288}, {850, 304}, {862, 336}});
    outcrop({{186, 458}, {196, 440}, {206, 438}, {214, 450}, {220, 460}});
    outcrop({{520, 330}, {528, 314}, {540, 308}, {552, 320}, {556, 332}});

    // The ruined tower: the left side still stands to its parapet with two merlons, the
    // right side has fallen away in a jagged, stepped break.
    QPolygonF tower;
    tower << QPointF(590, 312) << QPointF(596, 84);
    // Two surviving merlons on the left.
    tower << QPointF(596, 62) << QPointF(610, 62) << QPointF(610, 76) << QPointF(620, 76) << QPointF(620, 62)
          << QPointF(634, 62) << QPointF(634, 80);
    const std::vector<QPointF> breakLine{{634, 80},  {642, 96},  {652, 94},  {658, 118}, {668, 122},
                                         {674, 148}, {686, 150}, {692, 176}, {700, 182}, {704, 206},
                                         {710, 212}};
    const QPolygonF broken = Outline::Jagged(breakLine, 3, 5, rng);
    for (int i = 1; i < broken.size(); ++i)
        tower << broken[i];
    tower << QPointF(716, 312);
    c.Fill(tower);
    // A string course and the stump of a corbel on the standing side.
    c.Fill(Box(590, 140, 600, 146));
    c.Fill(QPolygonF({QPointF(596, 96), QPointF(588, 96), QPointF(594, 104)}));
    // Openings: an arched window high up, a large breach, slits, an arched door.
    c.Erase(Arch(612, 112, 14, 140));
    c.Erase(Arch(612, 178, 14, 200));
    c.Erase(Outline::Jagged({{652, 230}, {664, 214}, {684, 218}, {690, 244}, {680, 266}, {660, 262}, {652, 230}},
                            2, 5, rng));
    c.Erase(Box(650, 150, 653, 168));
    c.Erase(Box(606, 250, 609, 268));
    c.Erase(Arch(626, 286, 18, 313));

    // The stump of the curtain wall running down the slope to the left, with a broken
    // arch through it.
    QPolygonF wall;
    wall << QPointF(452, 362) << QPointF(458, 328);
    const QPolygonF wallTop = Outline::Jagged({{458, 328}, {490, 300}, {520, 262}, {548, 250}, {570, 226},
                                               {592, 214}},
                                              3, 5, rng);
    for (int i = 1; i < wallTop.size(); ++i)
        wall << wallTop[i];
    wall << QPointF(592, 320) << QPointF(560, 336);
    c.Fill(wall);
    c.Erase(Arch(520, 300, 26, 344));
    // A single merlon left on the wall, and rubble at its foot.
    c.Fill(Box(548, 236, 558, 252));
    for (int i = 0; i < 14; ++i) {
        const double x = rng.Uniform(430, 760);
        const double y = base - height(x) + 2;
        const double s = rng.Uniform(4, 9);
        c.Fill(QPolygonF({QPointF(x - s, y + 2), QPointF(x - s * 0.7, y - s * 0.8), QPointF(x + s * 0.5, y - s),
                          QPointF(x + s, y + 2)}));
    }
    // A second, lower broken tower on the hill's right shoulder.
    QPolygonF stub;
    stub << QPointF(800, 300) << QPointF(804, 236);
    const QPolygonF stubTop =
        Outline::Jagged({{804, 236}, {816, 226}, {824, 240}, {834, 236}, {846, 262}}, 2.5, 4, rng);
    for (int i = 1; i < stubTop.size(); ++i)
        stub << stubTop[i];
    stub << QPointF(850, 320);
    c.Fill(stub);
    c.Erase(Box(818, 256, 821, 272));
    return c.Finish();
}
