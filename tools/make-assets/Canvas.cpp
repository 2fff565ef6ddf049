// Canvas: aliased QPainter drawing; the shapes are filled without an outline pen so
// that a polygon covers exactly the pixels whose centres it contains.
#include "Canvas.h"

#include <cmath>

Canvas::Canvas(int width, int height, QColor ground)
    : m_image(width, height, QImage::Format_RGB32), m_ground(ground)
{
    m_image.fill(ground);
    m_painter = std::make_unique<QPainter>(&m_image);
    m_painter->setRenderHint(QPainter::Antialiasing, false);
    m_painter->setPen(Qt::NoPen);
    m_painter->setBrush(Qt::black);
}

Canvas::~Canvas() = default;

void Canvas::Fill(const QPolygonF& polygon)
{
    m_painter->setBrush(Qt::black);
    m_painter->drawPolygon(polygon, Qt::WindingFill);
}

void Canvas::Disc(QPointF centre, double radius)
{
    m_painter->setBrush(Qt::black);
    m_painter->drawEllipse(centre, radius, radius);
}

void Canvas::Limb(QPointF a, QPointF b, double widthA, double widthB)
{
    const double dx = b.x() - a.x();
    const double dy = b.y() - a.y();
    const double length = std::hypot(dx, dy);
    if (length < 1e-6) {
        Disc(a, std::max(widthA, widthB) / 2);
        return;
    }
    // The unit normal of the stroke, scaled to each end's half width.
    const double nx = -dy / length;
    const double ny = dx / length;
    QPolygonF quad;
    quad << QPointF(a.x() + nx * widthA / 2, a.y() + ny * widthA / 2)
         << QPointF(b.x() + nx * widthB / 2, b.y() + ny * widthB / 2)
         << QPointF(b.x() - nx * widthB / 2, b.y() - ny * widthB / 2)
         << QPointF(a.x() - nx * widthA / 2, a.y() - ny * widthA / 2);
    Fill(quad);
    if (widthA >= 2.5)
        Disc(a, widthA / 2);
    if (widthB >= 2.5)
        Disc(b, widthB / 2);
    if (widthA < 2.5 || widthB < 2.5)
        Hair(a, b);
}

void Canvas::Hair(QPointF a, QPointF b)
{
    m_painter->setPen(QPen(Qt::black, 0));
    m_painter->drawLine(a, b);
    m_painter->setPen(Qt::NoPen);
}

void Canvas::Erase(const QPolygonF& polygon)
{
    m_painter->setBrush(m_ground);
    m_painter->drawPolygon(polygon, Qt::WindingFill);
    m_painter->setBrush(Qt::black);
}

void Canvas::EraseDisc(QPointF centre, double radius)
{
    m_painter->setBrush(m_ground);
    m_painter->drawEllipse(centre, radius, radius);
    m_painter->setBrush(Qt::black);
}

QImage Canvas::Finish()
{
    if (m_painter)
        m_painter->end();
    m_painter.reset();
    return m_image;
}
