// The Qt frame surface's own state: the frame being copied or kept for repaints, and
// what the window holds now. Only QtFrameSurface.cpp includes it; the form reaches the
// surface through PaintFrameSurface and ForgetFrames (QtImpl.h).
#pragma once

#include "platform/window/qt/QtImpl.h"

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QWindow>
#include <span>

struct TFrameSurface::Impl : QObject {
    explicit Impl(TForm& owner) : form(owner) {}
    // Watches the window that frames go straight to: when the window system exposes
    // it again, Qt puts its own surface back without a paint, and that surface does
    // not hold the straight frames: the next copy is whole.
    bool eventFilter(QObject* watched, QEvent* event) override;

    // Paints the area of the event from the frame being copied or the one kept.
    void Paint(FormWidget& widget, QPaintEvent* event);
    // Puts the frame's rectangles on the window straight from shared memory, where the
    // window system reads it in place (X11); false where it cannot.
    bool PutStraight(FormWidget& widget, const Raster& raster, bool whole, std::span<const Rect> changed);
    // The window was hidden: nothing of its frames is kept for the next show.
    void Forget();
    // What the window's surface holds now, the client area in device pixels; with the
    // colour key, the keyed frame it was given. For tests.
    QImage FrameImage() const;

    TForm& form;
    // The frame being copied, while CopyFrame paints it straight onto the surface.
    const Raster* copying = nullptr;
    bool copied = false;
    // A frame the surface could not take at once (the window not yet on the screen),
    // or, with the colour key, the keyed frame, which a repaint must draw again: the
    // surface of a see-through window is cleared before each paint.
    QImage frame;
    bool frameFresh = false;   // frame holds a frame not yet painted
    QSize shownSize;           // the window's device size when it last took a frame
    QRect shownFrame;          // the device pixels that frame covered
    int framesShown = 0;
    // The surface (with the key, frame) holds the last frame copied, whole, of this
    // size: the next copy may send only what changed.
    bool current = false;
    QSize currentFrameSize;
    // The last frame went straight onto the window: its shared block holds it, and
    // the window's Qt surface does not.
    struct Straight {
        const Pixel* pixels = nullptr;
        int width = 0;
        int height = 0;
        int pitch = 0;
    } straight;
    QPointer<QWindow> watchedWindow;
};
