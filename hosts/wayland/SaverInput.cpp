// The saver's input rule on a Wayland seat.
#include "hosts/wayland/SaverInput.h"

#include "hosts/wayland/SceneSurface.h"

#include <cmath>
#include <unistd.h>
#include <wayland-client.h>

namespace {

// A move of more than this many output pixels on either axis ends the show.
constexpr double MoveTolerance = 5;

SaverInput& InputOf(void* data)
{
    return *static_cast<SaverInput*>(data);
}

void KeyboardKeymap(void*, wl_keyboard*, std::uint32_t, std::int32_t fd, std::uint32_t)
{
    // The rule needs no key's meaning.
    close(fd);
}

void KeyboardEnter(void*, wl_keyboard*, std::uint32_t, wl_surface*, wl_array*) {}

void KeyboardLeave(void*, wl_keyboard*, std::uint32_t, wl_surface*) {}

void KeyboardKey(void* data, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t state)
{
    if (state == WL_KEYBOARD_KEY_STATE_PRESSED)
        InputOf(data).KeyPressed();
}

void KeyboardModifiers(void*, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t,
                       std::uint32_t)
{
}

void KeyboardRepeat(void*, wl_keyboard*, std::int32_t, std::int32_t) {}

const wl_keyboard_listener KeyboardListener = {
    .keymap = KeyboardKeymap,
    .enter = KeyboardEnter,
    .leave = KeyboardLeave,
    .key = KeyboardKey,
    .modifiers = KeyboardModifiers,
    .repeat_info = KeyboardRepeat,
};

void PointerEnter(void* data, wl_pointer* pointer, std::uint32_t serial, wl_surface* surface, wl_fixed_t x,
                  wl_fixed_t y)
{
    // No cursor image: the cursor is hidden over the saver's surfaces.
    wl_pointer_set_cursor(pointer, serial, nullptr, 0, 0);
    InputOf(data).PointerEntered(SceneSurface::Of(surface), wl_fixed_to_double(x), wl_fixed_to_double(y));
}

void PointerLeave(void* data, wl_pointer*, std::uint32_t, wl_surface*)
{
    InputOf(data).PointerLeft();
}

void PointerMotion(void* data, wl_pointer*, std::uint32_t, wl_fixed_t x, wl_fixed_t y)
{
    InputOf(data).PointerMoved(wl_fixed_to_double(x), wl_fixed_to_double(y));
}

void PointerButton(void*, wl_pointer*, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t) {}

void PointerAxis(void*, wl_pointer*, std::uint32_t, std::uint32_t, wl_fixed_t) {}

void PointerFrame(void*, wl_pointer*) {}

void PointerAxisSource(void*, wl_pointer*, std::uint32_t) {}

void PointerAxisStop(void*, wl_pointer*, std::uint32_t, std::uint32_t) {}

void PointerAxisDiscrete(void*, wl_pointer*, std::uint32_t, std::int32_t) {}

void PointerAxisValue120(void*, wl_pointer*, std::uint32_t, std::int32_t) {}

const wl_pointer_listener PointerListener = {
    .enter = PointerEnter,
    .leave = PointerLeave,
    .motion = PointerMotion,
    .button = PointerButton,
    .axis = PointerAxis,
    .frame = PointerFrame,
    .axis_source = PointerAxisSource,
    .axis_stop = PointerAxisStop,
    .axis_discrete = PointerAxisDiscrete,
    .axis_value120 = PointerAxisValue120,
};

void SeatCapabilities(void* data, wl_seat*, std::uint32_t capabilities)
{
    InputOf(data).SetCapabilities((capabilities & WL_SEAT_CAPABILITY_KEYBOARD) != 0,
                                  (capabilities & WL_SEAT_CAPABILITY_POINTER) != 0);
}

void SeatName(void*, wl_seat*, const char*) {}

const wl_seat_listener SeatListener = {
    .capabilities = SeatCapabilities,
    .name = SeatName,
};

} // namespace

SaverInput::SaverInput(wl_seat* seat) : m_seat(seat)
{
    wl_seat_add_listener(m_seat, &SeatListener, this);
}

SaverInput::~SaverInput()
{
    if (m_keyboard != nullptr)
        wl_keyboard_destroy(m_keyboard);
    if (m_pointer != nullptr)
        wl_pointer_destroy(m_pointer);
    wl_seat_destroy(m_seat);
}

bool SaverInput::PointerAt(const void* surface, double x, double y, double pixelsPerUnit, bool entered)
{
    const double px = x * pixelsPerUnit;
    const double py = y * pixelsPerUnit;
    const bool far = std::fabs(px - m_originX) > MoveTolerance || std::fabs(py - m_originY) > MoveTolerance;
    if (entered || surface != m_originSurface || (m_originEntered && far)) {
        m_originSurface = surface;
        m_originX = px;
        m_originY = py;
        m_originEntered = entered;
        return m_ended;
    }
    m_originEntered = false;
    if (far)
        m_ended = true;
    return m_ended;
}

void SaverInput::Forget(const void* surface)
{
    if (m_over == surface)
        m_over = nullptr;
    if (m_originSurface == surface)
        m_originSurface = nullptr;
}

void SaverInput::SetCapabilities(bool keyboard, bool pointer)
{
    if (keyboard && m_keyboard == nullptr) {
        m_keyboard = wl_seat_get_keyboard(m_seat);
        wl_keyboard_add_listener(m_keyboard, &KeyboardListener, this);
    } else if (!keyboard && m_keyboard != nullptr) {
        wl_keyboard_destroy(m_keyboard);
        m_keyboard = nullptr;
    }
    if (pointer && m_pointer == nullptr) {
        m_pointer = wl_seat_get_pointer(m_seat);
        wl_pointer_add_listener(m_pointer, &PointerListener, this);
    } else if (!pointer && m_pointer != nullptr) {
        wl_pointer_destroy(m_pointer);
        m_pointer = nullptr;
        m_over = nullptr;
    }
}

void SaverInput::PointerEntered(const SceneSurface* surface, double x, double y)
{
    m_over = surface;
    if (surface != nullptr)
        PointerAt(surface, x, y, surface->PixelsPerUnit(), true);
}

void SaverInput::PointerMoved(double x, double y)
{
    const auto* surface = static_cast<const SceneSurface*>(m_over);
    if (surface != nullptr)
        PointerAt(surface, x, y, surface->PixelsPerUnit());
}
