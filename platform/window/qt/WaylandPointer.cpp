// Pointer positions learned from a window's own events, on Qt's Wayland platform.
#include "platform/window/qt/WaylandPointer.h"

#include "platform/window/Cursor.h"

#include <QCursor>
#include <QEnterEvent>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>
#include <QWindow>
#include <QtMath>

#include <cstdlib>

namespace {

// The top-level window of the object an event is addressed to.
const QWindow* WindowOf(QObject* watched)
{
    if (auto* window = qobject_cast<QWindow*>(watched))
        return window;
    if (auto* widget = qobject_cast<QWidget*>(watched))
        return widget->window()->windowHandle();
    return nullptr;
}

} // namespace

bool WaylandPointer::Active()
{
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

WaylandPointer& WaylandPointer::Instance()
{
    static WaylandPointer pointer;
    return pointer;
}

TPoint WaylandPointer::Query()
{
    m_queried = true;
    return m_last;
}

bool WaylandPointer::Learn(QObject* watched, QEvent* event, TPoint& point)
{
    QPointF scene;
    switch (event->type()) {
    case QEvent::Enter:
        scene = static_cast<QEnterEvent*>(event)->scenePosition();
        break;
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
        scene = static_cast<QMouseEvent*>(event)->scenePosition();
        break;
    case QEvent::Wheel:
        scene = static_cast<QWheelEvent*>(event)->scenePosition();
        break;
    default:
        return false;
    }
    const QWindow* window = WindowOf(watched);
    // Qt's Wayland platform gives the pointer the blank override cursor only when the
    // override changes after the pointer has entered: one set before the entry (the
    // saver's, set as its window is shown) would leave the compositor's arrow showing.
    if (event->type() == QEvent::Enter && CursorHidden()) {
        QGuiApplication::changeOverrideCursor(QCursor(Qt::ArrowCursor));
        QGuiApplication::changeOverrideCursor(QCursor(Qt::BlankCursor));
    }
    const qreal ratio = window ? window->devicePixelRatio() : 1.0;
    point = Learn(window, scene * ratio, event->type() == QEvent::Enter);
    return true;
}

TPoint WaylandPointer::Learn(const QWindow* window, QPointF sceneDevice, bool entered)
{
    // How far the event after an enter may lie from it and the enter still count.
    constexpr int EnterTrust = 5;
    const int x = qRound(sceneDevice.x());
    const int y = qRound(sceneDevice.y());
    const QSize size = window ? window->size() * window->devicePixelRatio() : QSize();
    const bool recalibrate = m_queried || window != m_window || size != m_size;
    const bool staleEnter = !recalibrate && m_fromEnter &&
                            (std::abs(x + m_offsetX - m_last.X) > EnterTrust ||
                             std::abs(y + m_offsetY - m_last.Y) > EnterTrust);
    if (recalibrate || staleEnter) {
        m_offsetX = m_last.X - x;
        m_offsetY = m_last.Y - y;
        m_window = window;
        m_size = size;
        m_queried = false;
    }
    m_fromEnter = recalibrate && entered;
    m_last = TPoint{x + m_offsetX, y + m_offsetY};
    return m_last;
}
