// The Qt frame surface's own state: the frame being copied or kept for repaints, and
// what the window holds now. Only the frame surface's sources (QtFrameSurface.cpp,
// QtX11Frames.cpp) include it; the form reaches the surface through PaintFrameSurface
// and ForgetFrames (QtImpl.h).
#pragma once

#include "platform/raster/FrameChanges.h"
#include "platform/window/qt/QtImpl.h"
#if defined(VESKAN_HAVE_XCB_SHM)
#include "platform/x11/FramePresenter.h"
#include "platform/x11/KeyShape.h"
#endif
#if defined(VESKAN_HAVE_WAYLAND_FRAMES)
#include "platform/wayland/WaylandFramePresenter.h"
#endif

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>
#include <QWindow>
#include <memory>
#include <span>

struct TFrameSurface::Impl : QObject {
    explicit Impl(TForm& owner) : form(owner) {}
    ~Impl() override;
    // Watches the window that frames go straight to: when the window system exposes
    // it again, the presenter puts its frame again where Qt does not paint the window;
    // where Qt does, it puts its own surface back without a paint, and that surface
    // does not hold the straight frames. Either way the next copy is whole.
    bool eventFilter(QObject* watched, QEvent* event) override;

    // Paints the area of the event from the frame being copied or the one kept.
    void Paint(FormWidget& widget, QPaintEvent* event);
    // Puts the frame's rectangles on the window through the X11 presenter, from its
    // shared memory; false where it cannot (another platform, a remote server, a window
    // of another pixel layout, a keyed window that shows no transparency).
    bool PutStraight(FormWidget& widget, const Raster& raster, bool whole, std::span<const Rect> changed);
    // The same on Qt's Wayland platform, from buffers of the surface's own attached to
    // the window's Wayland surface; false where it cannot (another platform, a
    // fractional scale, a compositor without shared memory).
    bool PutOnWayland(FormWidget& widget, const Raster& raster, bool whole, std::span<const Rect> changed);
    // A frame of frameSize went straight onto the window, of deviceSize: the window
    // holds it whole, and Qt's surface holds nothing of it.
    void WentStraight(QSize frameSize, QSize deviceSize);
    // The frame the presenter holds, as the window shows it, when it is the window's
    // last frame at deviceSize; empty otherwise.
    struct Held {
        const Pixel* pixels = nullptr;
        int width = 0;
        int height = 0;
    };
    Held HeldStraight(const QSize& deviceSize) const;
    // On X11, where the key is shown by the window's shape: cuts the raster's key pixels
    // out of it. changed: where the frame differs from the one before (all of it when
    // whole).
    void CutKey(FormWidget& widget, const Raster& raster, bool whole, std::span<const Rect> changed);
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
    // The last frame went straight onto the window: the presenter holds it, and the
    // window's Qt surface does not.
    bool straight = false;
    // Qt paints the window (the default). Not while frames go straight to it: Qt's own
    // surface would be a second whole frame in memory, filled and sent whole at each
    // show; the X server fills what is exposed with the window's colour, and the
    // presenter puts the frame it holds again.
    void QtPaints(FormWidget& widget, bool on);
    bool qtPaints = true;
    // The window is about to be mapped: frames will go straight to it on Wayland, and
    // on X11 where it has no key and the X server is local and shares memory.
    void Showing(FormWidget& widget);
    // Frames go straight onto the window's Wayland surface, unless it turns out that
    // the compositor or the scale cannot take them.
    bool WaylandTakesFrames() const;
    // Where Qt does not paint the window: puts the frame the presenter holds again.
    void RepaintStraight();
    QPointer<QWindow> watchedWindow;
    // The changed rectangles joined into few, for the window's surface, which repaints
    // each rectangle of its region on its own.
    FrameChanges joined;
#if defined(VESKAN_HAVE_XCB_SHM)
    // Made for the window it serves, on Qt's connection, its memory ready for frames of
    // frameSize; null where frames do not go straight.
    FramePresenter* PresenterFor(FormWidget& widget, QSize frameSize);
    void DropPresenter();
    std::unique_ptr<FramePresenter> presenter;
    xcb_connection_t* presenterConnection = nullptr;
    std::uint32_t presenterWindow = 0;
    std::uint8_t presenterDepth = 0;
    // The key cut out of the window's shape, made for the window it serves.
    std::unique_ptr<KeyShape> keyShape;
    xcb_connection_t* keyShapeConnection = nullptr;
    void DropKeyShape();
#endif
#if defined(VESKAN_HAVE_WAYLAND_FRAMES)
    // Made for the window's Wayland surface as it is now: Qt makes the window a new
    // one at each show.
    std::unique_ptr<WaylandFramePresenter> wayland;
    // The compositor offers no shared memory: Qt's surface stays.
    bool waylandRefused = false;
#endif
};
