// The window-level colour key: whether the platform can show what lies beneath a
// window, and the copy of a frame that makes the key colour see-through.
#pragma once

#include "platform/raster/Raster.h"

class QImage;

// True on platforms that composite translucent windows: Wayland, the offscreen
// platform (where tests read the alpha), and X11 while a compositing manager owns the
// _NET_WM_CM_S<n> selection of a screen. Elsewhere a window shows without its key.
bool PlatformShowsColourKey();

// Copies frame into the top-left corner of dst, clipped to dst. RGB32: the rows as
// they are; ARGB32 (premultiplied): pixels equal to key become fully transparent.
void CopyFrameInto(QImage& dst, const Raster& frame, bool keyed, Pixel key);
