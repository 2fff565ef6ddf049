// A form over QWidget: the window made from the description when first needed, the
// density rule, show and hide, the maximized state and the colour key. Its widget,
// which turns Qt's events into the form's, is in QtFormWidget.cpp.
#include "platform/window/qt/QtImpl.h"

#include "platform/window/TControl.h"
#include "platform/window/qt/ColourKey.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

QRect ScaledRect(const QRect& r, const FormScale& scale)
{
    return QRect(scale.Scaled(r.x()), scale.Scaled(r.y()), scale.Scaled(r.width()), scale.Scaled(r.height()));
}

QColor ToQColor(TColor colour)
{
    if (colour == clWindowText)
        return QApplication::palette().color(QPalette::WindowText);
    return QColor::fromRgb(colour | 0xFF000000u);
}

QFont ToQFont(const TFont& font, int pixels)
{
    QFont qfont;
    qfont.setFamilies({QString::fromStdString(font.Name)});
    qfont.setPixelSize(pixels);
    return qfont;
}

// --- The form ---------------------------------------------------------------------

TForm::TForm() : m_impl(std::make_unique<Impl>(*this))
{
    FormMade(*this);
}

TForm::~TForm()
{
    FormDestroying(*this);
}

TForm::Impl::~Impl()
{
    // The controls' windows go with the form's.
    controls.clear();
}

void TForm::ApplyProperties()
{
    if (m_impl->Made())
        m_impl->ApplyFormProperties();
}

void TForm::Impl::ApplyFormProperties()
{
    FormWidget& w = *widget;
    w.setObjectName(QString::fromStdString(form.Name()));
    w.setWindowTitle(QString::fromStdString(form.Caption()));
    switch (form.BorderStyle()) {
    case TBorderStyle::Dialog:
        // A fixed dialog frame whose title bar holds only the system menu and the close
        // box.
        w.setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowCloseButtonHint | (form.StayOnTop() ? Qt::WindowStaysOnTopHint : Qt::Widget));
        break;
    case TBorderStyle::None:
        w.SetWindowFlagKeepingVisibility(Qt::FramelessWindowHint, true);
        break;
    case TBorderStyle::Sizeable:
        w.SetWindowFlagKeepingVisibility(Qt::FramelessWindowHint, false);
        break;
    }
    if (form.BorderStyle() != TBorderStyle::Dialog)
        w.SetWindowFlagKeepingVisibility(Qt::WindowStaysOnTopHint, form.StayOnTop());
    QPalette palette = w.palette();
    palette.setColor(QPalette::Window, ToQColor(form.Color()));
    w.setPalette(palette);
    w.setAutoFillBackground(WindowPlatform::SurfaceOf(form) == nullptr);
}

QRect TForm::Impl::ControlBounds(const TControl& control) const
{
    return ScaledRect(QRect(control.Left(), control.Top(), control.Width(), control.Height()),
                      WindowPlatform::ScaleOf(form));
}

FormWidget& TForm::Impl::Widget()
{
    if (widget)
        return *widget;
    widget = std::make_unique<FormWidget>(form);
    ApplyFormProperties();

    // The density rule: fonts by the ratio of the densities, then every position and
    // size by the ratio of the dialog font's text height to the design one.
    FormScale& scale = WindowPlatform::ScaleOf(form);
    const QScreen* screen = QGuiApplication::primaryScreen();
    const bool scales = scale.TakeScreenDensity(screen ? qRound(screen->logicalDotsPerInch()) : 0);
    widget->setFont(ToQFont(form.Font(), scale.FontPixels(form.Font())));
    if (scales)
        scale.TakeTextHeight(QFontMetrics(widget->font()).height());

    for (TControl* control : form.Controls())
        ApplyControl(*control);
    // Tab order: the controls' order, the window system's focus chain following it.
    std::vector<TControl*> byTab = form.Controls();
    std::stable_sort(byTab.begin(), byTab.end(),
                     [](const TControl* a, const TControl* b) { return a->TabOrder() < b->TabOrder(); });
    QWidget* previous = nullptr;
    for (TControl* control : byTab) {
        QWidget* current = ControlWidget(*control);
        if (previous && current && current->focusPolicy() != Qt::NoFocus)
            QWidget::setTabOrder(previous, current);
        if (current && current->focusPolicy() != Qt::NoFocus)
            previous = current;
    }
    // The first control in tab order takes the focus when the form is first active.
    for (TControl* control : byTab) {
        QWidget* current = ControlWidget(*control);
        if (current && control->Visible() && current->focusPolicy() != Qt::NoFocus) {
            current->setFocus();
            break;
        }
    }

    const QRect bounds = ScaledRect(designBounds, scale);
    widget->setGeometry(boundsSet ? QRect(designBounds.topLeft(), bounds.size()) : bounds);
    if (form.BorderStyle() == TBorderStyle::Dialog)
        widget->setFixedSize(bounds.size());
    if (keyWanted)
        form.SetTransparentColor(true, key);
    return *widget;
}

void TForm::SetClientBounds(const Rect& bounds)
{
    m_impl->designBounds = QRect(bounds.Left, bounds.Top, bounds.Width(), bounds.Height());
    m_impl->boundsSet = true;
    if (m_impl->Made()) {
        const QRect scaled = ScaledRect(m_impl->designBounds, m_scale);
        m_impl->widget->setGeometry(QRect(m_impl->designBounds.topLeft(), scaled.size()));
    }
}

Rect TForm::ClientBounds() const
{
    const QRect r = m_impl->Made() ? m_impl->widget->geometry() : m_impl->designBounds;
    return Rect::Sized(r.x(), r.y(), r.width(), r.height());
}

void TForm::MakeWindow() const
{
    m_impl->Widget();
}

void TForm::SetTransparentColor(bool on, TColor key)
{
    m_impl->keyWanted = on;
    m_impl->key = key | 0xFF000000u;
    m_impl->keyActive = on && PlatformShowsColourKey();
    m_impl->keyInAlpha = m_impl->keyActive && !PlatformCutsColourKey();
    if (!m_impl->Made())
        return;
    // An alpha channel for the window only where the key needs one: an ARGB window
    // costs about twice the CPU per frame of an RGB32 one, and a compositing manager
    // blends it over the screen at every frame.
    m_impl->widget->setAttribute(Qt::WA_TranslucentBackground, m_impl->keyInAlpha);
    m_impl->widget->setAttribute(Qt::WA_OpaquePaintEvent, !m_impl->keyInAlpha);
    if (TFrameSurface* surface = WindowPlatform::SurfaceOf(*this))
        ForgetFrames(*surface);
}

bool TForm::TransparencyActive() const
{
    return m_impl->keyActive;
}

void TForm::Show()
{
    FormWidget& w = m_impl->Widget();
    if (w.isVisible()) {
        w.BringToFront();
        return;
    }
    if (!m_impl->shownBefore && m_position == TFormPosition::ScreenCenter) {
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            // Centre the whole window, frame included where the frame is known yet.
            const QRect area = screen->geometry();
            const QSize outer = w.frameGeometry().size();
            w.move(area.x() + (area.width() - outer.width()) / 2, area.y() + (area.height() - outer.height()) / 2);
        }
    }
    m_impl->shownBefore = true;
    w.PlaceOnActiveMonitor();
    if (m_windowState == TWindowState::Maximized)
        w.ApplyMaximized();
    // The show event, and with it OnShow, comes before the window is mapped.
    w.setVisible(true);
    w.BringToFront();
}

void TForm::Hide()
{
    if (!Visible())
        return;
    FormWidget& w = *m_impl->widget;
    const bool wasActive = w.isActiveWindow();
    m_impl->hiding = true;
    FormHidden(*this);
    w.setVisible(false);
    m_impl->hiding = false;
    if (wasActive)
        ActivateAnotherForm(*this);
}

bool TForm::Visible() const
{
    return m_impl->Made() && m_impl->widget->isVisible();
}

bool TForm::Active() const
{
    return m_impl->Made() && m_impl->widget->isActiveWindow();
}

void TForm::Activate()
{
    if (Visible())
        m_impl->widget->activateWindow();
}

void TForm::SetWindowState(TWindowState state)
{
    if (state == m_windowState)
        return;
    m_windowState = state;
    FormWidget& w = m_impl->Widget();
    if (state == TWindowState::Maximized) {
        m_impl->normalGeometry = w.geometry();
        // A hidden window takes the geometry now as well; Show applies it again
        // after any move onto another monitor.
        w.ApplyMaximized();
    } else {
        w.setWindowState(w.windowState() & ~Qt::WindowFullScreen);
        w.setGeometry(m_impl->normalGeometry);
    }
}

QSize TForm::Impl::DeviceSize() const
{
    // Qt places windows in device-independent pixels; frames are composed and shown
    // in the screen's own pixels, one raster pixel to one screen pixel.
    const QRect bounds = widget ? widget->geometry() : ScaledRect(designBounds, WindowPlatform::ScaleOf(form));
    const qreal ratio = widget ? widget->devicePixelRatioF() : qApp->devicePixelRatio();
    return QSize(qRound(bounds.width() * ratio), qRound(bounds.height() * ratio));
}

int TForm::ClientWidth() const
{
    // The size by the density rule is known once the window is made.
    m_impl->Widget();
    return m_impl->DeviceSize().width();
}

int TForm::ClientHeight() const
{
    m_impl->Widget();
    return m_impl->DeviceSize().height();
}

QScreen* TForm::Impl::ScreenOf() const
{
    const QRect bounds = widget ? widget->geometry() : designBounds;
    if (QScreen* s = QGuiApplication::screenAt(bounds.center()))
        return s;
    if (widget) {
        if (QScreen* s = widget->screen())
            return s;
    }
    return QGuiApplication::primaryScreen();
}

TMonitor TForm::Monitor() const
{
    const QScreen* screen = m_impl->ScreenOf();
    if (!screen)
        return TMonitor{};
    const QRect r = screen->geometry();
    return TMonitor{Rect::Sized(r.x(), r.y(), r.width(), r.height()), screen == QGuiApplication::primaryScreen(),
                    qRound(screen->logicalDotsPerInch()),
                         qRound(r.width() * screen->devicePixelRatio()), qRound(r.height() * screen->devicePixelRatio())};
}

TWindowHandle TForm::Handle() const
{
    return &m_impl->Widget();
}

QWidget* QtWidget(const TForm& form)
{
    return &ImplOf(form).Widget();
}
