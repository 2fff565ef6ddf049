// The mapping of Qt's input events onto message numbers, and the removal of the
// repeated deliveries of one input.
#include "platform/window/qt/InputTranslator.h"

#include "platform/window/qt/QtCursor.h"
#include "platform/window/qt/WaylandPointer.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>
#include <QWindow>
#include <cstdlib>

namespace {

std::uint32_t ModifierFlags(Qt::KeyboardModifiers modifiers)
{
    std::uint32_t flags = 0;
    if (modifiers & Qt::ShiftModifier)
        flags |= MK_SHIFT;
    if (modifiers & Qt::ControlModifier)
        flags |= MK_CONTROL;
    return flags;
}

std::uint32_t ButtonFlags(Qt::MouseButtons buttons)
{
    std::uint32_t flags = 0;
    if (buttons & Qt::LeftButton)
        flags |= MK_LBUTTON;
    if (buttons & Qt::RightButton)
        flags |= MK_RBUTTON;
    if (buttons & Qt::MiddleButton)
        flags |= MK_MBUTTON;
    if (buttons & Qt::XButton1)
        flags |= MK_XBUTTON1;
    if (buttons & Qt::XButton2)
        flags |= MK_XBUTTON2;
    return flags;
}

// The first message number of a button's down/up/double-click triple.
std::uint32_t ButtonBase(Qt::MouseButton button)
{
    switch (button) {
    case Qt::LeftButton:
        return WM_LBUTTONDOWN;
    case Qt::RightButton:
        return WM_RBUTTONDOWN;
    case Qt::MiddleButton:
        return WM_MBUTTONDOWN;
    default:
        return WM_XBUTTONDOWN;
    }
}

// Alt itself, F10, and keys pressed while Alt (and not Ctrl) is held are system keys.
bool IsSystemKey(const QKeyEvent* key)
{
    const Qt::KeyboardModifiers mods = key->modifiers();
    return key->key() == Qt::Key_Alt || key->key() == Qt::Key_F10 ||
           ((mods & Qt::AltModifier) && !(mods & Qt::ControlModifier));
}

// The widget that stands for a top-level QWindow of a widget, or the window itself.
QObject* TargetOf(QObject* watched)
{
    if (auto* window = qobject_cast<QWindow*>(watched)) {
        if (QWidget* widget = QWidget::find(window->winId()))
            return widget;
    }
    return watched;
}

// The device pixel ratio of the window an event is addressed to.
qreal RatioOf(QObject* watched)
{
    if (auto* widget = qobject_cast<QWidget*>(watched))
        return widget->devicePixelRatioF();
    if (auto* window = qobject_cast<QWindow*>(watched))
        return window->devicePixelRatio();
    return 1.0;
}

} // namespace

bool InputTranslator::Translate(QObject* watched, QEvent* event, TMsg& msg)
{
    if (!event->spontaneous())
        return false;
    const QEvent::Type type = event->type();
    const bool wayland = WaylandPointer::Active();
    if (type == QEvent::Enter) {
        // On Wayland the pointer's entry is where a window first learns it.
        if (wayland)
            WaylandPointer::Instance().Learn(watched, event, msg.pt);
        return false;
    }
    Signature signature;
    signature.type = static_cast<int>(type);

    switch (type) {
    case QEvent::KeyPress:
    case QEvent::KeyRelease: {
        auto* key = static_cast<QKeyEvent*>(event);
        signature.timestamp = key->timestamp();
        signature.code = key->key();
        signature.modifiers = static_cast<int>(key->modifiers());
        signature.keyEvent = key;
        if (m_haveLast && signature == m_last)
            return false;
        const bool release = type == QEvent::KeyRelease;
        const bool system = IsSystemKey(key);
        msg.message = release ? (system ? WM_SYSKEYUP : WM_KEYUP) : (system ? WM_SYSKEYDOWN : WM_KEYDOWN);
        msg.wParam = static_cast<std::uint32_t>(key->key());
        // Repeat count 1; bit 29 the Alt context, bit 30 the key's previous state,
        // bit 31 the transition (set on release).
        std::uint32_t flags = 1;
        if (key->modifiers() & Qt::AltModifier)
            flags |= 1u << 29;
        if (release || key->isAutoRepeat())
            flags |= 1u << 30;
        if (release)
            flags |= 1u << 31;
        msg.lParam = static_cast<std::int32_t>(flags);
        if (wayland)
            msg.pt = WaylandPointer::Instance().Last();
        else
            GetCursorPos(msg.pt);
        break;
    }
    case QEvent::MouseMove:
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick: {
        auto* mouse = static_cast<QMouseEvent*>(event);
        signature.timestamp = mouse->timestamp();
        signature.code = static_cast<int>(mouse->button());
        signature.buttons = static_cast<int>(mouse->buttons());
        signature.modifiers = static_cast<int>(mouse->modifiers());
        signature.global = mouse->globalPosition();
        if (m_haveLast && signature == m_last)
            return false;
        if (type == QEvent::MouseMove) {
            msg.message = WM_MOUSEMOVE;
        } else {
            const std::uint32_t base = ButtonBase(mouse->button());
            msg.message = base + (type == QEvent::MouseButtonPress ? 0 : type == QEvent::MouseButtonRelease ? 1 : 2);
        }
        msg.wParam = ButtonFlags(mouse->buttons()) | ModifierFlags(mouse->modifiers());
        // The position in the client area of the object the event is addressed to;
        // both positions in device pixels.
        const QPointF local = mouse->position() * RatioOf(watched);
        msg.lParam = MakeLParam(qRound(local.x()), qRound(local.y()));
        // Where the window system can say, the pointer as it knows it: on a scaled
        // screen Qt also makes moves of its own from its rounded cursor position
        // (when a window appears under the pointer), a device pixel or so away.
        if (wayland)
            WaylandPointer::Instance().Learn(watched, event, msg.pt);
        else if (!GetNativeCursorPos(msg.pt))
            msg.pt = DeviceScreenPoint(mouse->globalPosition());
        break;
    }
    case QEvent::Wheel: {
        auto* wheel = static_cast<QWheelEvent*>(event);
        signature.timestamp = wheel->timestamp();
        signature.code = wheel->angleDelta().y() * 65536 + wheel->angleDelta().x();
        signature.buttons = static_cast<int>(wheel->buttons());
        signature.modifiers = static_cast<int>(wheel->modifiers());
        signature.global = wheel->globalPosition();
        if (m_haveLast && signature == m_last)
            return false;
        const bool horizontal = wheel->angleDelta().y() == 0 && wheel->angleDelta().x() != 0;
        msg.message = horizontal ? WM_MOUSEHWHEEL : WM_MOUSEWHEEL;
        const int delta = horizontal ? wheel->angleDelta().x() : wheel->angleDelta().y();
        msg.wParam = (static_cast<std::uint32_t>(delta) << 16) |
                     ButtonFlags(wheel->buttons()) | ModifierFlags(wheel->modifiers());
        // A wheel message carries the pointer in screen coordinates.
        TPoint global = DeviceScreenPoint(wheel->globalPosition());
        if (wayland)
            WaylandPointer::Instance().Learn(watched, event, global);
        msg.lParam = MakeLParam(global.X, global.Y);
        msg.pt = global;
        break;
    }
    default:
        return false;
    }

    m_last = signature;
    m_haveLast = true;
    QObject* target = TargetOf(watched);
    // Keys go to the window's focus widget, as Qt delivers them next.
    if (type == QEvent::KeyPress || type == QEvent::KeyRelease) {
        if (auto* widget = qobject_cast<QWidget*>(target); widget && widget->isWindow() && widget->focusWidget())
            target = widget->focusWidget();
    }
    msg.hwnd = target;
    msg.time = static_cast<std::uint32_t>(signature.timestamp);
    return true;
}
