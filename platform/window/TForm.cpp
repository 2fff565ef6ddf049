// A top-level form over QWidget: the show, activate and hide events in their order,
// the main-window rule on close, the maximized state and the colour-keyed frame.
#include "platform/window/TForm.h"

#include "platform/window/ColourKey.h"
#include "platform/window/TApplication.h"

#include <QApplication>
#include <QBackingStore>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QHideEvent>
#include <QPainter>
#include <QPaintEvent>
#include <QRegion>
#include <QScreen>
#include <QShowEvent>

TForm::TForm(QWidget* parent)
    : QWidget(parent, Qt::Window)
{
    if (Application)
        Application->RegisterForm(this);
}

TForm::~TForm()
{
    // A visible form is hidden before it is destroyed, so that OnHide runs.
    if (isVisible())
        Hide();
    if (Application)
        Application->UnregisterForm(this);
}

void TForm::Show()
{
    if (isVisible()) {
        BringToFront();
        return;
    }
    PlaceOnActiveMonitor();
    if (m_windowState == TWindowState::Maximized)
        ApplyMaximized();
    // The show event, and with it OnShow, comes before the window is mapped.
    setVisible(true);
    BringToFront();
}

void TForm::BringToFront()
{
    // The offscreen platform stacks nothing and says so on each raise.
    if (QGuiApplication::platformName() != QLatin1String("offscreen"))
        raise();
    activateWindow();
}

void TForm::Hide()
{
    if (!isVisible())
        return;
    const bool wasActive = isActiveWindow();
    m_hiding = true;
    if (OnHide)
        RunHandler(OnHide);
    setVisible(false);
    m_hiding = false;
    if (wasActive)
        ActivateAnotherForm();
}

void TForm::Close()
{
    if (Application && Application->MainForm() == this)
        Application->Terminate();
    else
        Hide();
}

void TForm::SetWindowState(TWindowState state)
{
    if (state == m_windowState)
        return;
    m_windowState = state;
    if (state == TWindowState::Maximized) {
        m_normalGeometry = geometry();
        // A hidden window takes the geometry now as well; Show applies it again
        // after any move onto another monitor.
        ApplyMaximized();
    } else {
        setWindowState(windowState() & ~Qt::WindowFullScreen);
        setGeometry(m_normalGeometry);
    }
}

void TForm::SetWindowFlagKeepingVisibility(Qt::WindowType flag, bool on)
{
    if (testAttribute(Qt::WA_WState_Created) && bool(windowFlags() & flag) == on)
        return;
    const bool visible = isVisible();
    setWindowFlag(flag, on);
    // Changing a flag hides a shown window; it comes back at once.
    if (visible)
        setVisible(true);
}

void TForm::SetBorderless(bool on)
{
    SetWindowFlagKeepingVisibility(Qt::FramelessWindowHint, on);
}

void TForm::SetStayOnTop(bool on)
{
    SetWindowFlagKeepingVisibility(Qt::WindowStaysOnTopHint, on);
}

void TForm::SetTransparentColor(bool on, Pixel key)
{
    m_keyWanted = on;
    m_key = key | 0xFF000000u;
    m_keyActive = on && PlatformShowsColourKey();
    // An alpha channel for the window only where the key is shown: an ARGB window
    // costs about twice the CPU per frame of an RGB32 one.
    setAttribute(Qt::WA_TranslucentBackground, m_keyActive);
    setAttribute(Qt::WA_OpaquePaintEvent, !m_keyActive);
    m_frame = QImage();
    m_frameFresh = false;
}

int TForm::ClientWidth() const
{
    return DeviceSize().width();
}

int TForm::ClientHeight() const
{
    return DeviceSize().height();
}

QSize TForm::DeviceSize() const
{
    // Qt places windows in device-independent pixels; frames are composed and shown
    // in the screen's own pixels, one raster pixel to one screen pixel.
    const qreal ratio = devicePixelRatioF();
    return QSize(qRound(width() * ratio), qRound(height() * ratio));
}

QImage* TForm::Surface() const
{
    QBackingStore* store = backingStore();
    QPaintDevice* device = store ? store->paintDevice() : nullptr;
    if (!device || device->devType() != QInternal::Image)
        return nullptr;
    auto* image = static_cast<QImage*>(device);
    return TakesFramePixels(*image) ? image : nullptr;
}

void TForm::CopyFrame(const Raster& frame)
{
    if (!m_keyActive) {
        // Without the key the raster's rows are RGB32 as they stand: they are written
        // onto the window's surface at once, with no copy of their own in between.
        m_copying = &frame;
        m_copied = false;
        repaint();
        m_copying = nullptr;
        if (m_copied) {
            m_frame = QImage();
            return;
        }
        // The window could not paint now; the frame waits for its first paint.
    }
    // With the key, the key turns into alpha on the way, and a repaint needs the
    // result again.
    const QImage::Format format = m_keyActive ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
    if (m_frame.size() != DeviceSize() || m_frame.format() != format) {
        m_frame = QImage(DeviceSize(), format);
        m_frame.fill(palette().color(QPalette::Window).rgb());
    }
    CopyFrameInto(m_frame, frame, m_frame.rect(), m_keyActive, m_key);
    m_frameFresh = true;
    if (m_keyActive)
        repaint();
    else
        update();
}

QImage TForm::FrameImage() const
{
    // With the key, the frame with its see-through pixels as the window is given it
    // (a surface without an alpha channel, as off the screen, would drop them).
    if (m_keyActive && !m_frame.isNull())
        return m_frame;
    const QImage* surface = Surface();
    if (!surface)
        return {};
    return surface->copy(QRect(QPoint(0, 0), DeviceSize()));
}

void TForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous() && OnShow)
        RunHandler(OnShow);
}

void TForm::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    if (event->spontaneous())
        return;
    // The next show starts black: nothing of this show's frames is kept for it.
    m_frame = QImage();
    m_frameFresh = false;
    m_shownSize = QSize();
    m_shownFrame = QRect();
    // A hide that did not come through Hide: OnHide can only follow it.
    if (!m_hiding && OnHide)
        RunHandler(OnHide);
}

void TForm::closeEvent(QCloseEvent* event)
{
    // The window system's close request follows the main-window rule; Qt's own
    // closing (hide, or quit on the last window) never happens.
    event->ignore();
    Close();
}

void TForm::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && OnActivate)
        RunHandler(OnActivate);
}

void TForm::paintEvent(QPaintEvent* event)
{
    // Everything here is in device pixels: the frames, and the area to paint mapped
    // outwards to whole device pixels.
    const qreal ratio = devicePixelRatioF();
    const QRect area = QRectF(QPointF(event->rect().topLeft()) * ratio, QSizeF(event->rect().size()) * ratio)
                           .toAlignedRect();
    QImage* surface = Surface();
    const Pixel background = palette().color(QPalette::Window).rgb() | 0xFF000000u;

    QRect frameRect;
    if (m_copying && !m_copying->IsEmpty()) {
        frameRect = QRect(0, 0, m_copying->Width(), m_copying->Height());
        if (surface) {
            CopyFrameInto(*surface, *m_copying, area, false, 0);
        } else {
            // Rows of the raster as an image, without a copy, for the painter.
            QImage rows(reinterpret_cast<const uchar*>(m_copying->Scanline(0)), m_copying->Width(),
                        m_copying->Height(), static_cast<qsizetype>(m_copying->Pitch()) * sizeof(Pixel),
                        QImage::Format_RGB32);
            PaintThroughPainter(rows, area);
        }
    } else if (!m_frame.isNull()) {
        frameRect = m_frame.rect();
        if (surface)
            CopyImageInto(*surface, m_frame, area);
        else
            PaintThroughPainter(m_frame, area);
    } else if (m_shownSize == DeviceSize()) {
        // An opaque window's surface still holds the last frame: only the part it
        // did not cover needs the background.
        frameRect = m_shownFrame;
    }
    if (m_copying || !m_frame.isNull()) {
        m_shownSize = DeviceSize();
        m_shownFrame = frameRect;
    }
    if (m_copying || m_frameFresh) {
        m_copied = m_copying != nullptr;
        m_frameFresh = false;
        ++m_framesShown;
    }
    // Outside the frame (none yet, or the window grew) the background shows.
    const QRegion rest = QRegion(area) - QRegion(frameRect);
    if (surface) {
        for (const QRect& r : rest)
            FillImageArea(*surface, r, background);
        return;
    }
    QPainter painter(this);
    for (const QRect& r : rest)
        painter.fillRect(QRectF(QPointF(r.topLeft()) / ratio, QSizeF(r.size()) / ratio), QColor::fromRgb(background));
}

void TForm::PaintThroughPainter(const QImage& frame, const QRect& area)
{
    // A surface of another pixel layout: the painter converts, one frame pixel to one
    // device pixel.
    const QRect part = area & frame.rect();
    if (part.isEmpty())
        return;
    const qreal ratio = devicePixelRatioF();
    QPainter painter(this);
    if (m_keyActive)
        painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QRectF(QPointF(part.topLeft()) / ratio, QSizeF(part.size()) / ratio), frame, part);
}

QScreen* TForm::ScreenOf() const
{
    if (QScreen* s = QGuiApplication::screenAt(geometry().center()))
        return s;
    if (QScreen* s = screen())
        return s;
    return QGuiApplication::primaryScreen();
}

void TForm::PlaceOnActiveMonitor()
{
    QWidget* active = QApplication::activeWindow();
    if (!active || active == this)
        return;
    QScreen* target = QGuiApplication::screenAt(active->geometry().center());
    QScreen* current = ScreenOf();
    if (!target || !current || target == current)
        return;
    const QRect from = current->geometry();
    const QRect to = target->geometry();
    QPoint place = to.topLeft() + (pos() - from.topLeft());
    if (place.x() + width() > to.x() + to.width())
        place.setX(to.x() + to.width() - width());
    if (place.y() + height() > to.y() + to.height())
        place.setY(to.y() + to.height() - height());
    move(place);
}

void TForm::ApplyMaximized()
{
    QScreen* s = ScreenOf();
    if (!s)
        return;
    // The whole monitor, panels included. Without a window manager (Xvfb) a
    // full-screen request alone leaves the old size, so the geometry is set first.
    setGeometry(s->geometry());
    setWindowState(windowState() | Qt::WindowFullScreen);
}

void TForm::ActivateAnotherForm()
{
    if (!Application)
        return;
    TForm* next = nullptr;
    TForm* main = Application->MainForm();
    if (main && main != this && main->isVisible())
        next = main;
    for (TForm* form : Application->Forms()) {
        if (!next && form != this && form->isVisible())
            next = form;
    }
    if (next)
        next->activateWindow();
}
