// The window-level colour key: whether the platform can show what lies beneath a
// window, and the copy of a frame that makes the key colour see-through.
#pragma once

#include "platform/raster/Raster.h"

class QImage;
class QRect;

#if defined(VESKAN_HAVE_XCB)
struct xcb_connection_t;
// Qt's own connection to the X server; null on other platforms.
xcb_connection_t* QtXcbConnection();
#endif

// True on platforms that composite translucent windows: Wayland, the offscreen
// platform (where tests read the alpha), and X11 while a compositing manager owns the
// _NET_WM_CM_S<n> selection of a screen. Elsewhere a window shows without its key.
bool PlatformShowsColourKey();
// True where a shown key is carried by the window's shape instead of an alpha channel:
// X11 with the shape extension. The window stays opaque, which a compositing manager
// copies where it would blend a translucent one.
bool PlatformCutsColourKey();

// Copies the pixels of frame inside area (frame coordinates, within the frame) to dst
// at the same place. RGB32: the rows as they are; ARGB32 (premultiplied): pixels
// equal to key become fully transparent, the others opaque. dst holds the area.
void CopyFrameInto(QImage& dst, const Raster& frame, const QRect& area, bool keyed, Pixel key);

// Copies the pixels of src inside area to dst at the same place, row by row; both
// hold 32-bit pixels of one layout.
void CopyImageInto(QImage& dst, const QImage& src, const QRect& area);
// Fills area of dst (32-bit pixels) with colour, given as the pixel dst holds.
void FillImageArea(QImage& dst, const QRect& area, Pixel colour);
// Whether frames may be written into image straight: an image of 32-bit pixels in
// the raster's layout, with or without alpha.
bool TakesFramePixels(const QImage& image);
