// KeyShape: a window-level colour key on an X11 window of depth 24, carried by the
// window's shape instead of an alpha channel. The pixels of the key colour are cut out
// of the window's bounding shape, so that what lies beneath shows through them, and
// a compositing manager copies the rest of the window opaque, where it would blend a
// window of depth 32 over the screen at every put. The frames a scene draws seldom
// hold the key at all: a frame whose changes neither hold it nor touch a pixel cut out
// costs a look at its changed rectangles and no request.
#pragma once

#include "platform/raster/Raster.h"
#include "platform/raster/Rect.h"

#include <cstdint>
#include <span>
#include <vector>
#include <xcb/xcb.h>

class KeyShape {
public:
    KeyShape(xcb_connection_t* c, xcb_window_t window);
    KeyShape(const KeyShape&) = delete;
    KeyShape& operator=(const KeyShape&) = delete;

    // Whether the server has the shape extension.
    static bool Offered(xcb_connection_t* c);
    xcb_window_t Window() const { return m_window; }

    // The window shows frame from its top-left corner: cuts its pixels of the key
    // colour out of the window's shape, and puts back what was cut where they have
    // changed. changed: where frame differs from the frame given last (ignored when
    // whole). Sends requests without flushing them; true when it sent any.
    bool Update(const Raster& frame, Pixel key, std::span<const Rect> changed, bool whole);
    // The window's whole shape again, nothing cut (the key turned off).
    void Reset();
    // The pixels cut out now, one rectangle per run of key pixels in a row, top-down.
    std::span<const Rect> Cut() const { return m_cut; }

private:
    bool Touches(const Raster& frame, Pixel key, std::span<const Rect> changed) const;
    void SetShape(const std::vector<Rect>& cut);

    xcb_connection_t* m_c;
    xcb_window_t m_window;
    std::vector<Rect> m_cut;
    Rect m_cutBounds;
};
