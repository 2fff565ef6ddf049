// Turns Qt's input events into the message records of the application message hook:
// one record per input, however many objects Qt hands that input to.
#pragma once

#include "platform/window/Messages.h"

#include <QPointF>
#include <QtGlobal>

class QEvent;
class QObject;

class InputTranslator {
public:
    // True when event is a spontaneous key, button, wheel or pointer-move event that
    // has not been offered yet; msg is then filled. Everything else (show, activation,
    // focus, enter and leave, events sent by code) gives false.
    bool Translate(QObject* watched, QEvent* event, TMsg& msg);

private:
    // What identifies one input across its deliveries: Qt hands a key event object on
    // from the window to the focus widget and its parents, and translates a pointer
    // event into a new object for the widget, keeping type, time and global position.
    struct Signature {
        int type = 0;
        quint64 timestamp = 0;
        int code = 0;              // key, button or wheel delta
        int buttons = 0;
        int modifiers = 0;
        QPointF global;
        const void* keyEvent = nullptr;
        bool operator==(const Signature&) const = default;
    };

    Signature m_last;
    bool m_haveLast = false;
};
