// The cursor display count, shown by a blank override cursor while it is negative,
// and the cursor position.
#include "platform/window/Cursor.h"

#include <QCursor>
#include <QGuiApplication>

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

bool GetCursorPos(TPoint& point)
{
    if (!qGuiApp)
        return false;
    const QPoint pos = QCursor::pos();
    point = TPoint{pos.x(), pos.y()};
    return true;
}
