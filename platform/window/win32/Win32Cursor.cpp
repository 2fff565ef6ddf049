// The cursor over Win32: ShowCursor's display count, GetCursorPos's screen position.
#include "platform/window/win32/Win32Impl.h"

namespace {

// The display count as the last ShowCursor call left it; the system's starts at 0
// where a mouse is installed.
int g_displayCount = 0;

} // namespace

int ShowCursor(bool show)
{
    g_displayCount = ::ShowCursor(show ? TRUE : FALSE);
    return g_displayCount;
}

int CursorDisplayCount()
{
    return g_displayCount;
}

bool CursorHidden()
{
    return g_displayCount < 0;
}

bool GetCursorPos(TPoint& point)
{
    POINT position{};
    if (!::GetCursorPos(&position))
        return false;
    point = TPoint{position.x, position.y};
    return true;
}
