// The cursor display count, shown by a blank override cursor while it is negative,
// and the cursor position.
#include "platform/window/qt/QtCursor.h"

#include "platform/window/qt/WaylandPointer.h"

#include <QCursor>
#include <QGuiApplication>
#include <QScreen>

#if defined(VESKAN_HAVE_XCB)
#include <QtGui/qguiapplication_platform.h>
#include <xcb/xcb.h>
#include <cstdlib>
#endif

namespace {

int g_displayCount = 0;
bool g_overrideSet = false;

// Brings the override cursor in line with the count: blank while it is negative.
void ApplyCount()
{
    if (!qGuiApp)
        return;
    const bool hide = g_displayCount < 0;
    if (hide && !g_overrideSet) {
        QGuiApplication::setOverrideCursor(QCursor(Qt::BlankCursor));
        g_overrideSet = true;
    } else if (!hide && g_overrideSet) {
        QGuiApplication::restoreOverrideCursor();
        g_overrideSet = false;
    }
}

#if defined(VESKAN_HAVE_XCB)
bool NativePointer(TPoint& point)
{
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t* connection = x11 ? x11->connection() : nullptr;
    if (!connection)
        return false;
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    if (!screen)
        return false;
    xcb_query_pointer_reply_t* reply =
        xcb_query_pointer_reply(connection, xcb_query_pointer(connection, screen->root), nullptr);
    if (!reply)
        return false;
    point = TPoint{reply->root_x, reply->root_y};
    std::free(reply);
    return true;
}
#endif

} // namespace

int ShowCursor(bool show)
{
    g_displayCount += show ? 1 : -1;
    ApplyCount();
    return g_displayCount;
}

int CursorDisplayCount()
{
    return g_displayCount;
}

bool CursorHidden()
{
    return g_overrideSet;
}

TPoint DeviceScreenPoint(QPointF global)
{
    const QScreen* screen = QGuiApplication::screenAt(global.toPoint());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return TPoint{qRound(global.x()), qRound(global.y())};
    const QPointF origin = screen->geometry().topLeft();
    const QPointF device = origin + (global - origin) * screen->devicePixelRatio();
    return TPoint{qRound(device.x()), qRound(device.y())};
}

bool GetNativeCursorPos(TPoint& point)
{
#if defined(VESKAN_HAVE_XCB)
    return qGuiApp && NativePointer(point);
#else
    (void)point;
    return false;
#endif
}

bool GetCursorPos(TPoint& point)
{
    if (!qGuiApp)
        return false;
    if (WaylandPointer::Active()) {
        point = WaylandPointer::Instance().Query();
        return true;
    }
    // The X server knows the pointer in device pixels; Qt's position is rounded to
    // whole device-independent pixels, which on a scaled screen loses a pixel.
    if (GetNativeCursorPos(point))
        return true;
    point = DeviceScreenPoint(QCursor::pos());
    return true;
}
