// A form over QWidget: the window made from the description when first needed, the
// density rule, the show, activate and hide events in their order, the main-window
// rule on close, the maximized state, the dialog keys and the colour key.
#include "platform/window/qt/QtImpl.h"

#include "platform/window/TBitBtn.h"
#include "platform/window/TControl.h"
#include "platform/window/TFrameSurface.h"
#include "platform/window/qt/ColourKey.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHideEvent>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QScreen>
#include <QShowEvent>
#include <algorithm>
#include <cstdint>
#include <cstdlib>

namespace {

// number * numerator / denominator, rounded to the nearest integer with halves away
// from zero, computed without overflow for any int arguments; denominator > 0.
int MulDiv(int number, int numerator, int denominator)
{
    const std::int64_t product = static_cast<std::int64_t>(number) * numerator;
    const std::int64_t magnitude = (std::llabs(product) + denominator / 2) / denominator;
    return static_cast<int>(product < 0 ? -magnitude : magnitude);
}

} // namespace

QRect ScaledRect(const QRect& r, int numerator, int denominator)
{
    return QRect(MulDiv(r.x(), numerator, denominator), MulDiv(r.y(), numerator, denominator),
                 MulDiv(r.width(), numerator, denominator), MulDiv(r.height(), numerator, denominator));
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
    if (Application)
        Application->RegisterForm(this);
}

TForm::~TForm()
{
    // A visible form is hidden before it is destroyed, so that OnHide runs.
    if (Visible())
        Hide();
    if (Application)
        Application->UnregisterForm(this);
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
    w.setAutoFillBackground(surface == nullptr);
}

int TForm::Impl::FontPixels(const TFont& font) const
{
    return designDensity > 0 ? MulDiv(font.Height, builtForDensity, designDensity) : font.Height;
}

QRect TForm::Impl::ControlBounds(const TControl& control) const
{
    return ScaledRect(QRect(control.Left(), control.Top(), control.Width(), control.Height()), scaleNumerator,
                  scaleDenominator);
}

FormWidget& TForm::Impl::Widget()
{
    if (widget)
        return *widget;
    widget = std::make_unique<FormWidget>(form);
    ApplyFormProperties();

    // The density rule: fonts by the ratio of the densities, then every position and
    // size by the ratio of the dialog font's text height to the design one.
    int density = designDensity;
    if (designDensity > 0) {
        const QScreen* screen = QGuiApplication::primaryScreen();
        density = screen ? qRound(screen->logicalDotsPerInch()) : designDensity;
        if (density <= 0)
            density = designDensity;
        builtForDensity = density;
    }
    widget->setFont(ToQFont(form.Font(), FontPixels(form.Font())));
    if (designDensity > 0 && density != designDensity) {
        scaleNumerator = QFontMetrics(widget->font()).height();
        scaleDenominator = designTextHeight;
    }

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

    const QRect bounds = ScaledRect(designBounds, scaleNumerator, scaleDenominator);
    widget->setGeometry(boundsSet ? QRect(designBounds.topLeft(), bounds.size()) : bounds);
    if (form.BorderStyle() == TBorderStyle::Dialog)
        widget->setFixedSize(bounds.size());
    if (keyWanted)
        form.SetTransparentColor(true, key);
    return *widget;
}

void TForm::SetClientBounds(const TRect& bounds)
{
    m_impl->designBounds = QRect(bounds.Left, bounds.Top, bounds.Width, bounds.Height);
    m_impl->boundsSet = true;
    if (m_impl->Made()) {
        const QRect scaled = ScaledRect(m_impl->designBounds, m_impl->scaleNumerator, m_impl->scaleDenominator);
        m_impl->widget->setGeometry(QRect(m_impl->designBounds.topLeft(), scaled.size()));
    }
}

TRect TForm::ClientBounds() const
{
    const QRect r = m_impl->Made() ? m_impl->widget->geometry() : m_impl->designBounds;
    return TRect{r.x(), r.y(), r.width(), r.height()};
}

void TForm::SetDesignDensity(int pixelsPerInch, int textHeight)
{
    m_impl->designDensity = pixelsPerInch;
    m_impl->designTextHeight = textHeight;
}

int TForm::BuiltForDensity() const
{
    m_impl->Widget();
    return m_impl->builtForDensity;
}

int TForm::ScaleNumerator() const
{
    m_impl->Widget();
    return m_impl->scaleNumerator;
}

int TForm::ScaleDenominator() const
{
    m_impl->Widget();
    return m_impl->scaleDenominator;
}

void TForm::SetTransparentColor(bool on, TColor key)
{
    m_impl->keyWanted = on;
    m_impl->key = key | 0xFF000000u;
    m_impl->keyActive = on && PlatformShowsColourKey();
    if (!m_impl->Made())
        return;
    // An alpha channel for the window only where the key is shown: an ARGB window
    // costs about twice the CPU per frame of an RGB32 one.
    m_impl->widget->setAttribute(Qt::WA_TranslucentBackground, m_impl->keyActive);
    m_impl->widget->setAttribute(Qt::WA_OpaquePaintEvent, !m_impl->keyActive);
    if (m_impl->surface)
        m_impl->surface->Forget();
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
    if (OnHide)
        RunHandler(OnHide);
    w.setVisible(false);
    m_impl->hiding = false;
    if (wasActive)
        w.ActivateAnotherForm();
}

void TForm::Close()
{
    if (Application && Application->MainForm() == this)
        Application->Terminate();
    else
        Hide();
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
    const QRect bounds = widget ? widget->geometry() : ScaledRect(designBounds, scaleNumerator, scaleDenominator);
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
    return TMonitor{TRect{r.x(), r.y(), r.width(), r.height()}, screen == QGuiApplication::primaryScreen(),
                    qRound(screen->logicalDotsPerInch()),
                         qRound(r.width() * screen->devicePixelRatio()), qRound(r.height() * screen->devicePixelRatio())};
}

TWindowHandle TForm::Handle() const
{
    return &m_impl->Widget();
}

QWidget* QtWidget(const TForm& form)
{
    return &form.GetImpl().Widget();
}

// --- Its widget ---------------------------------------------------------------------

FormWidget::FormWidget(TForm& form) : QWidget(nullptr, Qt::Window), m_form(form) {}

void FormWidget::BringToFront()
{
    // The offscreen platform stacks nothing and says so on each raise.
    if (QGuiApplication::platformName() != QLatin1String("offscreen"))
        raise();
    activateWindow();
}

void FormWidget::SetWindowFlagKeepingVisibility(Qt::WindowType flag, bool on)
{
    if (testAttribute(Qt::WA_WState_Created) && bool(windowFlags() & flag) == on)
        return;
    const bool visible = isVisible();
    setWindowFlag(flag, on);
    // Changing a flag hides a shown window; it comes back at once.
    if (visible)
        setVisible(true);
}

void FormWidget::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous() && m_form.OnShow)
        RunHandler(m_form.OnShow);
}

void FormWidget::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    if (event->spontaneous())
        return;
    // The next show starts in the form's colour: nothing of this show's frames is kept.
    if (TFrameSurface::Impl* surface = m_form.GetImpl().surface)
        surface->Forget();
    // A hide that did not come through Hide: OnHide can only follow it.
    if (!m_form.GetImpl().hiding && m_form.OnHide)
        RunHandler(m_form.OnHide);
}

void FormWidget::closeEvent(QCloseEvent* event)
{
    // The window system's close request follows the main-window rule; Qt's own
    // closing (hide, or quit on the last window) never happens.
    event->ignore();
    m_form.Close();
}

void FormWidget::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow() && m_form.OnActivate)
        RunHandler(m_form.OnActivate);
}

void FormWidget::paintEvent(QPaintEvent* event)
{
    if (TFrameSurface::Impl* surface = m_form.GetImpl().surface)
        surface->Paint(*this, event);
    else
        QWidget::paintEvent(event);
}

void FormWidget::keyPressEvent(QKeyEvent* event)
{
    // A focused button takes Enter and Space itself; what it leaves comes here:
    // Escape presses the cancel button, Enter the default one.
    const bool escape = event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier;
    const bool enter = (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
                       (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (escape || enter) {
        for (TControl* control : m_form.Controls()) {
            auto* button = dynamic_cast<TBitBtn*>(control);
            if (button && (escape ? button->Cancel() : button->Default())) {
                button->Click();
                return;
            }
        }
    }
    QWidget::keyPressEvent(event);
}

static QScreen* ScreenAtCentre(const QWidget& widget)
{
    if (QScreen* s = QGuiApplication::screenAt(widget.geometry().center()))
        return s;
    if (QScreen* s = widget.screen())
        return s;
    return QGuiApplication::primaryScreen();
}

void FormWidget::PlaceOnActiveMonitor()
{
    QWidget* active = QApplication::activeWindow();
    if (!active || active == this)
        return;
    QScreen* target = QGuiApplication::screenAt(active->geometry().center());
    QScreen* current = ScreenAtCentre(*this);
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

void FormWidget::ApplyMaximized()
{
    QScreen* s = ScreenAtCentre(*this);
    if (!s)
        return;
    // The whole monitor, panels included. Without a window manager (Xvfb) a
    // full-screen request alone leaves the old size, so the geometry is set first.
    setGeometry(s->geometry());
    setWindowState(windowState() | Qt::WindowFullScreen);
}

void FormWidget::ActivateAnotherForm()
{
    if (!Application)
        return;
    TForm* next = nullptr;
    TForm* main = Application->MainForm();
    if (main && main != &m_form && main->Visible())
        next = main;
    for (TForm* form : Application->Forms()) {
        if (!next && form != &m_form && form->Visible())
            next = form;
    }
    if (next)
        next->Activate();
}
