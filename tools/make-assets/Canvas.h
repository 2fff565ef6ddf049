// Canvas: a picture being drawn, with aliased solid shapes in black on a ground colour.
#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPointF>
#include <QPolygonF>
#include <memory>

class Canvas {
public:
    // The whole picture starts as the ground colour; antialiasing stays off, so the
    // picture holds exactly the ground colour and whatever colours are painted.
    Canvas(int width, int height, QColor ground);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    int Width() const { return m_image.width(); }
    int Height() const { return m_image.height(); }
    QColor Ground() const { return m_ground; }

    // Solid black shapes.
    void Fill(const QPolygonF& polygon);
    void Disc(QPointF centre, double radius);
    // A tapered stroke from a to b, round at both ends, so that chains of limbs join
    // without notches. Widths are full widths in pixels.
    void Limb(QPointF a, QPointF b, double widthA, double widthB);
    // A hairline (one pixel wide) from a to b.
    void Hair(QPointF a, QPointF b);

    // The same in the ground colour: openings such as windows and gaps.
    void Erase(const QPolygonF& polygon);
    void EraseDisc(QPointF centre, double radius);

    // Paints in any colour, for the few pictures that are not pure silhouettes.
    QPainter& Painter() { return *m_painter; }

    // Ends drawing and gives the picture (RGB32).
    QImage Finish();

private:
    QImage m_image;
    QColor m_ground;
    std::unique_ptr<QPainter> m_painter;
};
