// The cursor: its position in screen coordinates and its display count.
#pragma once

#include "platform/window/Messages.h"

// Lowers (false) or raises (true) the display count by one and returns the new count;
// the cursor is hidden over the application's windows while the count is negative.
int ShowCursor(bool show);
int CursorDisplayCount();
// True while the window layer has the cursor hidden.
bool CursorHidden();
// Screen coordinates in device pixels; false when the position cannot be read.
bool GetCursorPos(TPoint& point);
