// Pointer positions in device pixels, for the layer's Qt sources.
#pragma once

#include "platform/window/Cursor.h"

#include <QPointF>

// The pointer as the window system itself knows it, in device pixels, where it can
// be asked (X11); false elsewhere.
bool GetNativeCursorPos(TPoint& point);

// A point of Qt's device-independent screen coordinates in device pixels, by the
// scale of the screen it lies on: each screen keeps its top-left corner, and its
// extent grows by its device pixel ratio.
TPoint DeviceScreenPoint(QPointF global);
