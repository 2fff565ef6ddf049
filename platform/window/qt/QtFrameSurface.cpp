// Frames onto a form's window over Qt: each copy written straight onto the window's
// surface in device pixels, the colour key turned into alpha on the way where the
// window has an alpha channel (on X11 the key is cut out of the window's shape).
#include "platform/window/qt/QtFrameSurfaceImpl.h"

#include "platform/window/qt/ColourKey.h"

#include <QBackingStore>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <QWindow>

namespace {

// The window's surface as an image that frames may be written into straight; null
// when it is none (another pixel layout, or no surface yet).
QImage* Surface(const QWidget& widget)
{
    QBackingStore* store = widget.backingStore();
    QPaintDevice* device = store ? store->paintDevice() : nullptr;
    if (!device || device->devType() != QInternal::Image)
        return nullptr;
    auto* image = static_cast<QImage*>(device);
    return TakesFramePixels(*image) ? image : nullptr;
}

// A surface of another pixel layout: the painter converts, one frame pixel to one
// device pixel.
void PaintThroughPainter(QWidget& widget, const QImage& frame, const QRect& area, bool keyed)
{
    const QRect part = area & frame.rect();
    if (part.isEmpty())
        return;
    const qreal ratio = widget.devicePixelRatioF();
    QPainter painter(&widget);
    if (keyed)
        painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QRectF(QPointF(part.topLeft()) / ratio, QSizeF(part.size()) / ratio), frame, part);
}

} // namespace

TFrameSurface::TFrameSurface(TForm& form) : m_impl(std::make_unique<Impl>(form))
{
    WindowPlatform::AttachSurface(form, *this);
    if (ImplOf(form).Made())
        ImplOf(form).widget->setAutoFillBackground(false);
}

TFrameSurface::~TFrameSurface()
{
    WindowPlatform::DetachSurface(m_impl->form, *this);
}

void PaintFrameSurface(TFrameSurface& surface, FormWidget& widget, QPaintEvent* event)
{
    ImplOf(surface).Paint(widget, event);
}

void ForgetFrames(TFrameSurface& surface)
{
    ImplOf(surface).Forget();
}

void FramesShowing(TFrameSurface& surface, FormWidget& widget)
{
    ImplOf(surface).Showing(widget);
}

int TFrameSurface::FramesShown() const
{
    return m_impl->framesShown;
}

void TFrameSurface::CopyFrame(const Raster& frame)
{
    m_impl->current = false;
    const Rect whole[] = {frame.Bounds()};
    CopyFrame(frame, whole);
}

void TFrameSurface::CopyFrame(const Raster& frame, std::span<const Rect> changed)
{
    Impl& s = *m_impl;
    TForm::Impl& form = ImplOf(s.form);
    FormWidget& widget = form.Widget();
    const QSize frameSize(frame.Width(), frame.Height());
    bool whole = !s.current || s.shownSize != form.DeviceSize() || s.currentFrameSize != frameSize;
    s.current = false;
    s.CutKey(widget, frame, whole, changed);
    if (s.PutOnWayland(widget, frame, whole, changed) || s.PutStraight(widget, frame, whole, changed)) {
        ++s.framesShown;
        return;
    }
    s.QtPaints(widget, true);
    // The window's Qt surface is behind after straight puts: this copy is whole.
    if (s.straight) {
        whole = true;
        s.straight = false;
    }
    // The changed rectangles, joined into few, in the widget's own coordinates, mapped
    // outwards; they come top-down, left to right, so that the region appends them one
    // by one.
    QRegion region;
    const qreal ratio = widget.devicePixelRatioF();
    s.joined.Reset(frame.Bounds());
    if (!whole) {
        for (const Rect& r : changed)
            s.joined.Add(r);
        s.joined.Coalesce();
        for (const Rect& r : s.joined.Rects())
            region += QRectF(QPointF(r.Left, r.Top) / ratio, QSizeF(r.Width(), r.Height()) / ratio).toAlignedRect();
    }
    if (!form.keyInAlpha) {
        if (!whole && region.isEmpty()) {
            // Nothing changed: the surface holds this frame already.
            s.current = true;
            ++s.framesShown;
            return;
        }
        // Without the key the raster's rows are RGB32 as they stand: they are written
        // onto the window's surface at once, with no copy of their own in between.
        s.copying = &frame;
        s.copied = false;
        if (whole)
            widget.repaint();
        else
            widget.repaint(region);
        s.copying = nullptr;
        if (s.copied) {
            s.frame = QImage();
            s.current = true;
            s.currentFrameSize = frameSize;
            return;
        }
        // The window could not paint now; the frame waits for its first paint, and
        // the next copy is whole.
    }
    // With the key, the key turns into alpha on the way, and a repaint needs the
    // result again.
    const QImage::Format format = form.keyInAlpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
    const bool fresh = s.frame.size() != form.DeviceSize() || s.frame.format() != format;
    if (fresh) {
        s.frame = QImage(form.DeviceSize(), format);
        s.frame.fill(widget.palette().color(QPalette::Window).rgb());
    }
    if (whole || fresh || !form.keyInAlpha) {
        CopyFrameInto(s.frame, frame, s.frame.rect(), form.keyInAlpha, form.key);
    } else {
        for (const Rect& r : s.joined.Rects())
            CopyFrameInto(s.frame, frame, QRect(r.Left, r.Top, r.Width(), r.Height()), form.keyInAlpha, form.key);
    }
    s.frameFresh = true;
    if (!form.keyInAlpha) {
        widget.update();
        return;
    }
    s.current = true;
    s.currentFrameSize = frameSize;
    if (whole || fresh)
        widget.repaint();
    else
        widget.repaint(region);
}

TFrameSurface::Impl::~Impl()
{
#if defined(VESKAN_HAVE_XCB_SHM)
    qtPaints = true;   // nothing to hand back: the window goes with its form
    DropPresenter();
#endif
}

bool TFrameSurface::Impl::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Expose && straight) {
        current = false;
        RepaintStraight();
    }
    return QObject::eventFilter(watched, event);
}

void TFrameSurface::Impl::WentStraight(QSize frameSize, QSize deviceSize)
{
    straight = true;
    frame = QImage();
    frameFresh = false;
    current = true;
    currentFrameSize = frameSize;
    shownSize = deviceSize;
    shownFrame = QRect(QPoint(0, 0), frameSize);
}

void TFrameSurface::Impl::Forget()
{
    current = false;
#if defined(VESKAN_HAVE_XCB_SHM)
    DropPresenter();
    DropKeyShape();
#endif
#if defined(VESKAN_HAVE_WAYLAND_FRAMES)
    // Qt's surface goes with the hidden window, and the buffers with it.
    if (wayland) {
        wayland.reset();
        QtPaints(ImplOf(form).Widget(), true);
    }
#endif
    straight = false;
    frame = QImage();
    frameFresh = false;
    shownSize = QSize();
    shownFrame = QRect();
}

void TFrameSurface::Impl::Paint(FormWidget& widget, QPaintEvent* event)
{
    // Everything here is in device pixels: the frames, and each rectangle of the area
    // to paint mapped outwards to whole device pixels.
    const qreal ratio = widget.devicePixelRatioF();
    QRegion areas;
    for (const QRect& r : event->region())
        areas += QRectF(QPointF(r.topLeft()) * ratio, QSizeF(r.size()) * ratio).toAlignedRect();
    // A paint the window system asked for: the next copy is whole.
    if (!copying && !frameFresh)
        current = false;
    QImage* surface = Surface(widget);
    const Pixel background = widget.palette().color(QPalette::Window).rgb() | 0xFF000000u;
    const TForm::Impl& owner = ImplOf(form);
    const QSize deviceSize = owner.DeviceSize();

    QRect frameRect;
    if (copying && !copying->IsEmpty()) {
        frameRect = QRect(0, 0, copying->Width(), copying->Height());
        // Rows of the raster as an image, without a copy, for the painter.
        const QImage rows = surface ? QImage()
                                    : QImage(reinterpret_cast<const uchar*>(copying->Scanline(0)), copying->Width(),
                                             copying->Height(),
                                             static_cast<qsizetype>(copying->Pitch()) * sizeof(Pixel),
                                             QImage::Format_RGB32);
        for (const QRect& area : areas) {
            if (surface)
                CopyFrameInto(*surface, *copying, area, false, 0);
            else
                PaintThroughPainter(widget, rows, area, false);
        }
    } else if (!frame.isNull()) {
        frameRect = frame.rect();
        for (const QRect& area : areas) {
            if (surface)
                CopyImageInto(*surface, frame, area);
            else
                PaintThroughPainter(widget, frame, area, owner.keyInAlpha);
        }
    } else if (const Held held = HeldStraight(deviceSize); held.pixels != nullptr) {
        // The last frame went straight to the window; the presenter still holds it, as
        // the window was given it.
        frameRect = QRect(0, 0, held.width, held.height);
        const QImage rows(reinterpret_cast<const uchar*>(held.pixels), held.width, held.height,
                          static_cast<qsizetype>(held.width) * sizeof(Pixel),
                          owner.keyInAlpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
        for (const QRect& area : areas) {
            if (surface)
                CopyImageInto(*surface, rows, area);
            else
                PaintThroughPainter(widget, rows, area, owner.keyInAlpha);
        }
    } else if (shownSize == deviceSize && !straight) {
        // An opaque window's surface still holds the last frame: only the part it
        // did not cover needs the background.
        frameRect = shownFrame;
    }
    if (copying || !frame.isNull()) {
        shownSize = deviceSize;
        shownFrame = frameRect;
    }
    if (copying || frameFresh) {
        copied = copying != nullptr;
        frameFresh = false;
        ++framesShown;
    }
    // Outside the frame (none yet, or the window grew) the background shows.
    const QRegion rest = areas - QRegion(frameRect);
    if (surface) {
        for (const QRect& r : rest)
            FillImageArea(*surface, r, background);
        return;
    }
    QPainter painter(&widget);
    for (const QRect& r : rest)
        painter.fillRect(QRectF(QPointF(r.topLeft()) / ratio, QSizeF(r.size()) / ratio), QColor::fromRgb(background));
}

QImage TFrameSurface::Impl::FrameImage() const
{
    const TForm::Impl& owner = ImplOf(form);
    // With the key, the frame with its see-through pixels as the window is given it
    // (a surface without an alpha channel, as off the screen, would drop them).
    if (owner.keyInAlpha && !frame.isNull())
        return frame;
    if (!owner.Made())
        return {};
    const QImage* surface = Surface(*owner.widget);
    if (!surface)
        return {};
    return surface->copy(QRect(QPoint(0, 0), owner.DeviceSize()));
}

QImage FrameImage(const TFrameSurface& surface)
{
    return ImplOf(surface).FrameImage();
}
