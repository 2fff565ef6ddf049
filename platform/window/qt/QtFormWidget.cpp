// The Qt widget of a form: Qt's show, hide, close, activation, paint and key events
// turned into the form's events up (WindowPlatform.h) and its dialog keys; placement
// on the active monitor and the maximized state.
#include "platform/window/qt/QtImpl.h"

#include "platform/window/TBitBtn.h"
#include "platform/window/TControl.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QHideEvent>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QScreen>
#include <QShowEvent>

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
    if (event->spontaneous())
        return;
    if (TFrameSurface* surface = WindowPlatform::SurfaceOf(m_form))
        FramesShowing(*surface, *this);
    FormShowing(m_form);
}

void FormWidget::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    if (event->spontaneous())
        return;
    // The next show starts in the form's colour: nothing of this show's frames is kept.
    if (TFrameSurface* surface = WindowPlatform::SurfaceOf(m_form))
        ForgetFrames(*surface);
    // A hide that did not come through Hide: OnHide can only follow it.
    if (!ImplOf(m_form).hiding)
        FormHidden(m_form);
}

void FormWidget::closeEvent(QCloseEvent* event)
{
    // The window system's close request follows the main-window rule; Qt's own
    // closing (hide, or quit on the last window) never happens.
    event->ignore();
    FormCloseRequested(m_form);
}

void FormWidget::changeEvent(QEvent* event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        FormActivated(m_form);
}

void FormWidget::paintEvent(QPaintEvent* event)
{
    if (TFrameSurface* surface = WindowPlatform::SurfaceOf(m_form))
        PaintFrameSurface(*surface, *this, event);
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

namespace {

QScreen* ScreenAtCentre(const QWidget& widget)
{
    if (QScreen* s = QGuiApplication::screenAt(widget.geometry().center()))
        return s;
    if (QScreen* s = widget.screen())
        return s;
    return QGuiApplication::primaryScreen();
}

} // namespace

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
