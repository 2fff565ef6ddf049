// The saver's input rule on a Wayland seat: a key press, or a pointer move of more than
// 5 pixels on either axis from where the pointer was first seen, ends the show. Buttons,
// the wheel and key releases do not. A Wayland client learns the pointer only over its
// own surfaces, in that surface's coordinates: the first position is the one of the
// first enter or motion, and a move is counted in the output's pixels of the surface it
// happens on; the pointer entering anew, or onto another surface, starts counting there
// afresh. An enter's position is taken on trust only as far as the first motion after
// it: one more than 5 pixels away starts the count there instead, without ending the
// show (mutter has reported stale positions on enter after the pointer moved while no
// surface of the client was under it; a hand's move goes on past its first event).
// Over the saver's surfaces the cursor is hidden.
#pragma once

#include <cstdint>

struct wl_keyboard;
struct wl_pointer;
struct wl_seat;
struct wl_surface;
struct wl_array;
class SceneSurface;

class SaverInput {
public:
    // Takes the keyboard and the pointer of seat as they come and go.
    explicit SaverInput(wl_seat* seat);
    ~SaverInput();
    SaverInput(const SaverInput&) = delete;
    SaverInput& operator=(const SaverInput&) = delete;

    // True once the rule has ended the show.
    bool Ended() const { return m_ended; }

    // The rule alone, for a position in a surface's own units: pixelsPerUnit converts
    // them to the output's pixels; entered when the position is an enter's. Returns
    // Ended().
    bool PointerAt(const void* surface, double x, double y, double pixelsPerUnit, bool entered = false);
    void KeyPressed() { m_ended = true; }
    // The surface is going: nothing is over it any more.
    void Forget(const void* surface);

    // What the seat's callbacks say: the devices there are; the pointer coming over a
    // surface (null: not one of the saver's), leaving it, and moving over it, in the
    // surface's own units.
    void SetCapabilities(bool keyboard, bool pointer);
    void PointerEntered(const SceneSurface* surface, double x, double y);
    void PointerLeft() { m_over = nullptr; }
    void PointerMoved(double x, double y);

private:
    wl_seat* m_seat;
    wl_keyboard* m_keyboard = nullptr;
    wl_pointer* m_pointer = nullptr;
    // The saver's surface the pointer is over (a SceneSurface), if any.
    const void* m_over = nullptr;
    // Where the pointer was first seen, in output pixels of m_originSurface.
    const void* m_originSurface = nullptr;
    double m_originX = 0;
    double m_originY = 0;
    // The origin is an enter's, not yet borne out by a motion.
    bool m_originEntered = false;
    bool m_ended = false;
};
