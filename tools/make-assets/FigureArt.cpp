// FigureArt: hand-placed polygons and tapered limbs, in picture coordinates; each
// figure's ground touches the bottom row (frame row 499). The gallows and the
// warrior stand on mounds that leave the bottom-left pixel white; the soldier
// stands on a strip of ground that fills the bottom-left corner.
#include "FigureArt.h"

#include "Canvas.h"
#include "Outline.h"
#include "Rng.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

QPolygonF Poly(std::initializer_list<QPointF> points)
{
    return QPolygonF(QList<QPointF>(points));
}

// An elliptical disc: the canvas draws only round ones.
QPolygonF Oval(QPointF centre, double rx, double ry, double rotation = 0)
{
    QPolygonF out;
    for (int i = 0; i < 32; ++i) {
        const double a = 2 * std::numbers::pi * i / 32;
        const double x = rx * std::cos(a);
        const double y = ry * std::sin(a);
        out << QPointF(centre.x() + x * std::cos(rotation) - y * std::sin(rotation),
                       centre.y() + x * std::sin(rotation) + y * std::cos(rotation));
    }
    return out;
}

// A grassy mound from `left` to `right` whose top rises `height` above the bottom row.
void Mound(Canvas& c, Rng& rng, double left, double right, double height)
{
    const double bottom = c.Height();
    auto h = [&](double x) {
        const double t = (x - left) / (right - left);
        return height * std::pow(std::max(0.0, std::sin(t * std::numbers::pi)), 0.6);
    };
    c.Fill(Outline::Ridge(left, right, bottom, h, 2));
    for (double x = left + 8; x < right - 8; x += rng.Uniform(3, 7)) {
        const double y = bottom - h(x);
        const double lean = rng.Uniform(-2.5, 2.5);
        c.Hair(QPointF(x, y + 1), QPointF(x + lean, y - rng.Uniform(2, 5)));
    }
}

} // namespace

QImage FigureArt::Image21()
{
    Canvas c(110, 200, Qt::white);
    Rng rng(21021);
    Mound(c, rng, 5, 109, 14);
    // Upright, beam, brace and the post's foot struts.
    c.Fill(Poly({{22, 12}, {30, 12}, {31, 192}, {21, 192}}));
    c.Fill(Poly({{16, 10}, {101, 10}, {101, 18}, {16, 18}}));
    c.Limb(QPointF(29, 62), QPointF(64, 17), 6, 6);
    c.Limb(QPointF(12, 192), QPointF(24, 170), 4, 4);
    c.Limb(QPointF(40, 192), QPointF(28, 170), 4, 4);
    // The rope and the noose knot.
    c.Limb(QPointF(87, 18), QPointF(87, 50), 2.6, 2.6);
    c.Fill(Oval(QPointF(87, 53), 3, 4));
    // The hanged man, head lolling to one side, arms bound behind, legs limp.
    c.Fill(Oval(QPointF(90, 61), 6.5, 7.5, 0.35));
    c.Limb(QPointF(88, 64), QPointF(87, 72), 5, 6);
    c.Fill(Poly({{77, 72}, {97, 71}, {96, 90}, {94, 110}, {80, 110}, {78, 90}}));
    c.Limb(QPointF(79, 74), QPointF(77, 98), 6, 5);
    c.Limb(QPointF(95, 74), QPointF(97, 98), 6, 5);
    c.Fill(Oval(QPointF(87, 104), 9, 5));
    c.Limb(QPointF(83, 108), QPointF(82, 130), 8, 6);
    c.Limb(QPointF(82, 130), QPointF(81, 150), 6, 4.5);
    c.Limb(QPointF(91, 108), QPointF(93, 131), 8, 6);
    c.Limb(QPointF(93, 131), QPointF(94, 151), 6, 4.5);
    // Feet hanging toes down.
    c.Fill(Poly({{78, 148}, {84, 148}, {83, 160}, {79, 158}}));
    c.Fill(Poly({{91, 149}, {97, 149}, {98, 161}, {93, 159}}));
    // The stool kicked over beneath him.
    c.Limb(QPointF(74, 187), QPointF(100, 180), 4, 4);
    c.Limb(QPointF(78, 186), QPointF(76, 176), 3, 3);
    c.Limb(QPointF(96, 181), QPointF(94, 171), 3, 3);
    return c.Finish();
}

QImage FigureArt::Image22()
{
    Canvas c(185, 162, Qt::white);
    Rng rng(22022);
    Mound(c, rng, 6, 184, 30);
    // The cloak, hanging from the shoulders and blown back to the left.
    c.Fill(Outline::Jagged({{72, 40}, {58, 60}, {46, 92}, {34, 128}, {44, 126}, {52, 134}, {62, 126}, {72, 130},
                            {78, 60}},
                           1.2, 5, rng));
    // Legs apart, braced, in boots.
    c.Limb(QPointF(78, 92), QPointF(70, 114), 12, 9);
    c.Limb(QPointF(70, 114), QPointF(64, 134), 9, 8);
    c.Limb(QPointF(90, 92), QPointF(96, 114), 12, 9);
    c.Limb(QPointF(96, 114), QPointF(100, 134), 9, 8);
    c.Fill(Poly({{58, 130}, {70, 130}, {74, 138}, {56, 138}}));
    c.Fill(Poly({{95, 130}, {106, 130}, {112, 138}, {94, 138}}));
    // A mail shirt, its skirt flared, leaning forward onto the sword.
    c.Fill(Poly({{72, 40}, {92, 38}, {100, 50}, {98, 70}, {102, 98}, {68, 100}, {72, 70}, {70, 52}}));
    c.Fill(Poly({{69, 74}, {100, 72}, {100, 77}, {69, 79}})); // belt
    // Head and a pointed helmet with a nasal guard.
    c.Fill(Oval(QPointF(88, 28), 7.5, 9));
    c.Limb(QPointF(86, 36), QPointF(86, 41), 8, 8);
    c.Fill(Poly({{78, 25}, {80, 17}, {85, 10}, {89, 3}, {93, 10}, {97, 17}, {99, 25}}));
    c.Fill(Poly({{95, 24}, {98, 24}, {98, 34}, {96, 34}}));
    // Both arms reach forward and down to the pommel.
    c.Limb(QPointF(94, 44), QPointF(104, 58), 9, 7);
    c.Limb(QPointF(104, 58), QPointF(118, 64), 7, 6);
    c.Limb(QPointF(82, 46), QPointF(96, 60), 8, 6);
    c.Limb(QPointF(96, 60), QPointF(116, 67), 6, 6);
    c.Disc(QPointF(119, 65), 4.5);
    // The sword, its point driven into the mound.
    c.Disc(QPointF(121, 58), 3);
    c.Limb(QPointF(121, 59), QPointF(121, 72), 4, 4);
    c.Fill(Poly({{110, 72}, {132, 72}, {132, 76}, {110, 76}}));
    c.Fill(Poly({{118, 76}, {124, 76}, {123.5, 128}, {121, 140}, {118.5, 128}}));
    return c.Finish();
}

QImage FigureArt::Image23()
{
    Canvas c(141, 314, Qt::white);
    Rng rng(23023);
    // The ground: a strip across the whole width with tufts, down to the bottom row.
    std::vector<QPointF> top;
    for (double x = -1; x <= 142; x += 6)
        top.emplace_back(x, 302 + rng.Uniform(-3, 1));
    QPolygonF ground = Outline::Jagged(top, 1.5, 3, rng);
    ground << QPointF(142, 315) << QPointF(-1, 315);
    c.Fill(ground);
    // The pike, its butt on the ground, its leaf-shaped head high above the helmet.
    c.Limb(QPointF(104, 300), QPointF(104, 38), 3.6, 3);
    c.Fill(Poly({{104, 6}, {109, 22}, {107.5, 34}, {104, 40}, {100.5, 34}, {99, 22}}));
    c.Fill(Poly({{99, 40}, {109, 40}, {108, 45}, {100, 45}}));
    // Legs in hose and shoes, feet a little apart.
    c.Limb(QPointF(56, 214), QPointF(53, 258), 13, 10);
    c.Limb(QPointF(53, 258), QPointF(52, 294), 10, 8);
    c.Limb(QPointF(72, 214), QPointF(75, 258), 13, 10);
    c.Limb(QPointF(75, 258), QPointF(77, 294), 10, 8);
    c.Fill(Poly({{44, 292}, {57, 291}, {58, 302}, {40, 302}}));
    c.Fill(Poly({{72, 291}, {84, 292}, {88, 302}, {71, 302}}));
    // Puffed breeches, the breastplate with its belt, and a short cape.
    c.Fill(Poly({{46, 176}, {82, 176}, {88, 196}, {84, 222}, {66, 220}, {64, 206}, {62, 220}, {44, 222}, {40, 196}}));
    c.Fill(Poly({{44, 122}, {84, 122}, {86, 146}, {80, 172}, {64, 182}, {48, 172}, {42, 146}}));
    c.Fill(Poly({{44, 170}, {84, 170}, {84, 176}, {44, 176}}));
    c.Fill(Poly({{40, 118}, {86, 118}, {90, 130}, {38, 130}}));
    // Head, ruff and the morion helmet: a crested dome with a brim curving up to points.
    c.Fill(Oval(QPointF(64, 104), 9, 11));
    c.Fill(Oval(QPointF(64, 117), 14, 4));
    c.Fill(Poly({{40, 84}, {46, 90}, {56, 92}, {72, 92}, {82, 90}, {88, 84}, {84, 94}, {72, 97}, {56, 97}, {44, 94}}));
    c.Fill(Oval(QPointF(64, 86), 14, 11));
    c.Fill(Poly({{54, 78}, {58, 68}, {66, 64}, {74, 68}, {76, 78}}));
    // The right arm bent up to grip the pike; the left hand on the sword hilt at the hip.
    c.Limb(QPointF(84, 126), QPointF(93, 156), 11, 9);
    c.Limb(QPointF(93, 156), QPointF(102, 142), 9, 8);
    c.Disc(QPointF(104, 142), 5);
    c.Limb(QPointF(44, 126), QPointF(32, 154), 11, 9);
    c.Limb(QPointF(32, 154), QPointF(42, 172), 9, 8);
    c.Disc(QPointF(44, 173), 4.5);
    // The sword hanging at the left hip, its scabbard slanting back behind the leg.
    c.Limb(QPointF(44, 176), QPointF(18, 242), 5, 4);
    c.Limb(QPointF(40, 168), QPointF(50, 180), 3, 3);
    return c.Finish();
}
