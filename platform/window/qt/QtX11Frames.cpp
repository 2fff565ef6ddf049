// The frame surface's way straight onto an X11 window: the presenter on Qt's own
// connection, and the shared memory it lends the scene to compose in.
#include "platform/window/qt/QtFrameSurfaceImpl.h"

#include "platform/window/qt/ColourKey.h"

#include <QGuiApplication>
#include <QWindow>

Raster TFrameSurface::LendFrame(int width, int height, bool& fresh)
{
    fresh = false;
#if defined(VESKAN_HAVE_XCB_SHM)
    Impl& s = *m_impl;
    TForm::Impl& form = ImplOf(s.form);
    if (!form.Made() || form.keyInAlpha)
        return Raster(0, 0);
    FormWidget& widget = form.Widget();
    // Once the window exists, exposed yet or not: the memory can be ready before the
    // first frame.
    if (widget.windowHandle() == nullptr || !widget.isVisible())
        return Raster(0, 0);
    FramePresenter* presenter = s.PresenterFor(widget, QSize(width, height));
    return Raster::Over(presenter ? presenter->Lend(width, height, fresh) : nullptr, width, height);
#else
    (void)width;
    (void)height;
    return Raster(0, 0);
#endif
}

#if defined(VESKAN_HAVE_XCB_SHM)
FramePresenter* TFrameSurface::Impl::PresenterFor(FormWidget& widget, QSize frameSize)
{
    xcb_connection_t* c = QtXcbConnection();
    const auto window = static_cast<std::uint32_t>(widget.winId());
    if (c == presenterConnection && window == presenterWindow)
        return presenter.get();
    DropPresenter();
    presenterConnection = c;
    presenterWindow = window;
    presenterDepth = c != nullptr ? X11RasterDepth(c, window) : 0;
    if (presenterDepth == 0)
        return nullptr;
    presenter = std::make_unique<FramePresenter>(c, window, presenterDepth, X11ConnectionIsLocal(c));
    // Qt hears of the window's exposures, and the frame the presenter holds is put again.
    presenter->SetWholeOnceASecond(false);
    // Frames go straight to a window without the key: it shows its colour from here on,
    // before the server has read the new memory.
    if (presenter->SharesMemory() && !ImplOf(form).keyInAlpha)
        QtPaints(widget, false);
    presenter->Prepare(frameSize.width(), frameSize.height());
    // Without shared memory Qt's own surface does as well, and keeps what repaints need.
    if (!presenter->SharesMemory()) {
        QtPaints(widget, true);
        presenter.reset();
        return nullptr;
    }
    // Qt's event thread reads this connection: a completion event would wake the loop
    // a second time each tick to hand it in, where a reply waits unseen for the next.
    presenter->SetCompletionByReply(true);
    return presenter.get();
}

void TFrameSurface::Impl::DropPresenter()
{
    if (!qtPaints && ImplOf(form).Made())
        QtPaints(ImplOf(form).Widget(), true);
    if (presenter) {
        // Its requests go on the connection it was made on; once Qt has closed that
        // connection there is nothing to free on the server, and the presenter is let go.
        if (QtXcbConnection() == presenterConnection)
            presenter.reset();
        else
            (void)presenter.release();
    }
    presenterConnection = nullptr;
    presenterWindow = 0;
    presenterDepth = 0;
    straight = false;
}
#endif

bool TFrameSurface::Impl::PutStraight(FormWidget& widget, const Raster& raster, bool whole,
                                      std::span<const Rect> changed)
{
#if defined(VESKAN_HAVE_XCB_SHM)
    QWindow* window = widget.windowHandle();
    const QSize deviceSize = ImplOf(form).DeviceSize();
    const QSize frameSize(raster.Width(), raster.Height());
    // The frame covers the window exactly: no background to fill beside it. Where Qt
    // does not paint the window, a frame may go before Qt has seen it exposed: the
    // presenter puts it again when it is.
    if (window == nullptr || (!window->isExposed() && qtPaints) || frameSize != deviceSize)
        return false;
    const TForm::Impl& owner = ImplOf(form);
    FramePresenter* target = PresenterFor(widget, frameSize);
    // A keyed window shows its transparency only where it has an alpha channel.
    if (target == nullptr || (owner.keyInAlpha && presenterDepth != 32))
        return false;
    if (watchedWindow != window) {
        if (watchedWindow)
            watchedWindow->removeEventFilter(this);
        watchedWindow = window;
        watchedWindow->installEventFilter(this);
    }
    target->SetColourKey(owner.keyInAlpha, owner.key);
    QtPaints(widget, false);
    const Rect all[] = {raster.Bounds()};
    target->CopyFrame(raster, whole ? std::span<const Rect>(all) : changed);
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

TFrameSurface::Impl::Held TFrameSurface::Impl::HeldStraight(const QSize& deviceSize) const
{
#if defined(VESKAN_HAVE_XCB_SHM)
    if (!straight || !presenter)
        return {};
    const FramePresenter::Shown shown = presenter->Held();
    if (shown.pixels == nullptr || QSize(shown.width, shown.height) != deviceSize)
        return {};
    return {shown.pixels, shown.width, shown.height};
#else
    (void)deviceSize;
    return {};
#endif
}

void TFrameSurface::Impl::CutKey(FormWidget& widget, const Raster& raster, bool whole, std::span<const Rect> changed)
{
#if defined(VESKAN_HAVE_XCB_SHM)
    const TForm::Impl& owner = ImplOf(form);
    // Every frame comes here: a window without the shaped key asks Qt for nothing.
    if (!owner.keyActive || owner.keyInAlpha) {
        if (keyShape)
            DropKeyShape();
        return;
    }
    xcb_connection_t* c = QtXcbConnection();
    if (c == nullptr || widget.windowHandle() == nullptr) {
        DropKeyShape();
        return;
    }
    const auto window = static_cast<std::uint32_t>(widget.winId());
    if (!keyShape || keyShape->Window() != window || keyShapeConnection != c) {
        keyShape = std::make_unique<KeyShape>(c, window);
        keyShapeConnection = c;
        whole = true;
    }
    if (keyShape->Update(raster, owner.key, changed, whole))
        xcb_flush(c);
#else
    (void)widget;
    (void)raster;
    (void)whole;
    (void)changed;
#endif
}

#if defined(VESKAN_HAVE_XCB_SHM)
void TFrameSurface::Impl::DropKeyShape()
{
    // The window's shape goes back to whole while the window and its connection are
    // there to take the request.
    if (keyShape && keyShapeConnection == QtXcbConnection() && ImplOf(form).Made() &&
        ImplOf(form).widget->windowHandle() != nullptr &&
        static_cast<std::uint32_t>(ImplOf(form).widget->winId()) == keyShape->Window()) {
        keyShape->Reset();
        xcb_flush(keyShapeConnection);
    }
    keyShape.reset();
    keyShapeConnection = nullptr;
}
#endif

void TFrameSurface::Impl::QtPaints(FormWidget& widget, bool on)
{
    if (on == qtPaints)
        return;
    qtPaints = on;
#if defined(VESKAN_HAVE_XCB_SHM)
    xcb_connection_t* c = QtXcbConnection();
    if (!on && c != nullptr) {
        // Qt makes its windows with no background of their own.
        const auto window = static_cast<std::uint32_t>(widget.winId());
        const std::uint32_t rgb = widget.palette().color(QPalette::Window).rgb() & 0xFFFFFFu;
        const std::uint32_t pixel = X11RasterDepth(c, window) == 32 ? rgb | 0xFF000000u : rgb;
        xcb_change_window_attributes(c, window, XCB_CW_BACK_PIXEL, &pixel);
        xcb_clear_area(c, 0, window, 0, 0, 0, 0);
        xcb_flush(c);
    }
#endif
    // Enabled again, Qt repaints the whole window.
    widget.setUpdatesEnabled(on);
}

void TFrameSurface::Impl::Showing(FormWidget& widget)
{
    // Qt would fill buffers of its own before the first frame, and keep them: the
    // window shows from its first frame on instead.
    if (WaylandTakesFrames()) {
        QtPaints(widget, false);
        return;
    }
#if defined(VESKAN_HAVE_XCB_SHM)
    xcb_connection_t* c = QtXcbConnection();
    if (c != nullptr && !ImplOf(form).keyInAlpha && X11ConnectionIsLocal(c) && X11SharedMemoryExtension(c) != nullptr)
        QtPaints(widget, false);
#else
    (void)widget;
#endif
}

void TFrameSurface::Impl::RepaintStraight()
{
#if defined(VESKAN_HAVE_XCB_SHM)
    if (!qtPaints && presenter)
        presenter->Repaint();
#endif
}
