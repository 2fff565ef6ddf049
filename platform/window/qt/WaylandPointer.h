// The pointer on Qt's Wayland platform. A Wayland client never learns where the
// pointer is on the screen: only where it is in one of its own windows, from that
// window's enter and motion events, and only while the pointer is over it. Positions
// are therefore compared within one window at one size: the first position a window
// learns after the cursor query (or after the pointer came from another window, or
// after the window changed size, as when the compositor makes it full-screen) stands
// for the position that query reported, and the later ones are reported by how far
// they lie from it. When that first position was an enter's, it holds only as far as
// the next event: one more than 5 pixels from it stands for the queried position
// instead (mutter has reported stale positions on enter after the pointer moved while
// no window of the program was under it; a hand's move goes on past its first event).
#pragma once

#include "platform/window/Messages.h"

#include <QPointF>
#include <QPointer>
#include <QSize>
#include <QWindow>

class QEvent;
class QObject;

class WaylandPointer {
public:
    // True when the application runs on Qt's Wayland platform.
    static bool Active();
    static WaylandPointer& Instance();

    // The cursor query: returns the position last reported; the next position a
    // window learns stands for it.
    TPoint Query();
    // The position last reported (a key's message carries it), without a new query.
    TPoint Last() const { return m_last; }
    // Takes the position of a pointer event (enter, motion, button, wheel) addressed to
    // watched (a top-level window or a widget in one); returns it as the screen
    // position it stands for, in device pixels. False for other events.
    bool Learn(QObject* watched, QEvent* event, TPoint& point);

private:
    TPoint Learn(const QWindow* window, QPointF sceneDevice, bool entered);

    TPoint m_last;
    bool m_queried = true;
    QPointer<const QWindow> m_window;
    QSize m_size;
    // Added to a window's own device coordinates.
    int m_offsetX = 0;
    int m_offsetY = 0;
    // The offsets came from an enter's position, not yet borne out by a later event.
    bool m_fromEnter = false;
};
