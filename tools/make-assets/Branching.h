// Branching: recursive, seeded growth of bare limbs and twigs onto a canvas.
#pragma once

#include "Canvas.h"
#include "Rng.h"

#include <QPointF>

struct BranchStyle {
    double LengthRatio = 0.72;  // a child's length against its parent's
    double WidthRatio = 0.66;   // a child's base width against its parent's end width
    double Spread = 0.55;       // radians between a fork's children and the parent's course
    double Jitter = 0.25;       // random turn of a child, radians
    double Bend = 0.18;         // random turn between the pieces of one limb, radians
    double Droop = 0.0;         // turn towards straight down per piece, radians (negative: up)
    double Taper = 0.6;         // a limb's end width against its base width
    int Pieces = 3;             // straight pieces per limb
    double SideChance = 0.5;    // chance of an extra side shoot from the middle of a limb
};

class Branching {
public:
    Branching(Canvas& canvas, Rng& rng, const BranchStyle& style) : m_canvas(canvas), m_rng(rng), m_style(style) {}

    // Angles are radians in picture space: 0 points right, +pi/2 straight down.
    void Grow(QPointF start, double angle, double length, double width, int depth);

private:
    Canvas& m_canvas;
    Rng& m_rng;
    BranchStyle m_style;
};
