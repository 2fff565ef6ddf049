// The cursor: its position in screen coordinates and its display count.
#pragma once

#include "platform/window/Messages.h"

#include <QPointF>

// Lowers (false) or raises (true) the display count by one and returns the new count;
// the cursor is hidden over the application's windows while the count is negative.
int ShowCursor(bool show);
int CursorDisplayCount();
// True while the window layer has put up the blank override cursor.
bool CursorHidden();
// Screen coordinates in device pixels; false when the position cannot be read.
bool GetCursorPos(TPoint& point);
// The pointer as the window system itself knows it, in device pixels, where it can
// be asked (X11); false elsewhere.
bool GetNativeCursorPos(TPoint& point);

// A point of Qt's device-independent screen coordinates in device pixels, by the
// scale of the screen it lies on: each screen keeps its top-left corner, and its
// extent grows by its device pixel ratio.
TPoint DeviceScreenPoint(QPointF global);
