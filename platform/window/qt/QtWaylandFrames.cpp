// The frame surface's way straight onto a window on Qt's Wayland platform: buffers of
// its own attached to the window's own Wayland surface, on Qt's connection. Qt's
// shared-memory surface would take a second whole frame, copy the frame into it, and
// copy all of it again into its other buffer at each frame while the compositor holds
// the one it drew last.
#include "platform/window/qt/QtFrameSurfaceImpl.h"

#include <QGuiApplication>
#include <QWindow>
#include <cmath>
#if defined(VESKAN_HAVE_WAYLAND_FRAMES)
#include <qpa/qplatformnativeinterface.h>
#endif

namespace {

#if defined(VESKAN_HAVE_WAYLAND_FRAMES)
// Qt's connection to the compositor and the window's surface; null on other platforms
// and before the window has a surface.
struct QtWayland {
    wl_display* display = nullptr;
    wl_surface* surface = nullptr;
};

bool OnQtWayland()
{
    static const bool onWayland = QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
    return onWayland;
}

QtWayland QtWaylandOf(QWindow* window)
{
    QPlatformNativeInterface* native = OnQtWayland() ? QGuiApplication::platformNativeInterface() : nullptr;
    if (native == nullptr || window == nullptr)
        return {};
    return {static_cast<wl_display*>(native->nativeResourceForIntegration(QByteArrayLiteral("wl_display"))),
            static_cast<wl_surface*>(native->nativeResourceForWindow(QByteArrayLiteral("surface"), window))};
}
#endif

} // namespace

bool TFrameSurface::Impl::WaylandTakesFrames() const
{
#if defined(VESKAN_HAVE_WAYLAND_FRAMES)
    return OnQtWayland() && !waylandRefused;
#else
    return false;
#endif
}

bool TFrameSurface::Impl::PutOnWayland(FormWidget& widget, const Raster& raster, bool whole,
                                       std::span<const Rect> changed)
{
#if defined(VESKAN_HAVE_WAYLAND_FRAMES)
    if (waylandRefused)
        return false;
    QWindow* window = widget.windowHandle();
    const TForm::Impl& owner = ImplOf(form);
    const QSize deviceSize = owner.DeviceSize();
    const QSize frameSize(raster.Width(), raster.Height());
    // The buffer covers the window exactly, at a whole number of pixels a unit.
    const qreal ratio = widget.devicePixelRatioF();
    const int scale = static_cast<int>(std::lround(ratio));
    if (window == nullptr || !window->isExposed() || frameSize != deviceSize || scale < 1 || ratio != scale)
        return false;
    const QtWayland qt = QtWaylandOf(window);
    if (qt.display == nullptr || qt.surface == nullptr) {
        wayland.reset();
        return false;
    }
    if (!wayland || wayland->Surface() != qt.surface) {
        wayland = std::make_unique<WaylandFramePresenter>(qt.display, qt.surface);
        whole = true;
        if (!wayland->Usable()) {
            wayland.reset();
            waylandRefused = true;
            return false;
        }
    }
    wayland->SetColourKey(owner.keyInAlpha, owner.key);
    // Qt no longer paints the window, nor commits a surface of its own over the frames.
    QtPaints(widget, false);
    const Rect all[] = {raster.Bounds()};
    wayland->CopyFrame(raster, whole ? std::span<const Rect>(all) : changed, scale);
    WentStraight(frameSize, deviceSize);
    return true;
#else
    (void)widget;
    (void)raster;
    (void)whole;
    (void)changed;
    return false;
#endif
}
