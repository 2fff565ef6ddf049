// The saver's input rule on a Wayland seat.
#include "hosts/wayland/SaverInput.h"

#include "hosts/wayland/SceneSurface.h"

#include <cmath>
#include <unistd.h>
#include <wayland-client.h>

namespace {

// A move of more than this many output pixels on either axis ends the show.
constexpr double MoveTolerance = 5;

void Ignore() {}

} // namespace

SaverInput::SaverInput(wl_seat* seat) : m_seat(seat)
{
    static const wl_seat_listener Listener = {Capabilities, Name};
    wl_seat_add_listener(m_seat, &Listener, this);
}

SaverInput::~SaverInput()
{
    if (m_keyboard != nullptr)
        wl_keyboard_destroy(m_keyboard);
    if (m_pointer != nullptr)
        wl_pointer_destroy(m_pointer);
    wl_seat_destroy(m_seat);
}

bool SaverInput::PointerAt(const void* surface, double x, double y, double pixelsPerUnit)
{
    const double px = x * pixelsPerUnit;
    const double py = y * pixelsPerUnit;
    if (surface != m_originSurface) {
        m_originSurface = surface;
        m_originX = px;
        m_originY = py;
    } else if (std::fabs(px - m_originX) > MoveTolerance || std::fabs(py - m_originY) > MoveTolerance) {
        m_ended = true;
    }
    return m_ended;
}

void SaverInput::Forget(const void* surface)
{
    if (m_over == surface)
        m_over = nullptr;
    if (m_originSurface == surface)
        m_originSurface = nullptr;
}

void SaverInput::Capabilities(void* data, wl_seat* seat, std::uint32_t capabilities)
{
    auto& self = *static_cast<SaverInput*>(data);
    const bool keyboard = (capabilities & WL_SEAT_CAPABILITY_KEYBOARD) != 0;
    const bool pointer = (capabilities & WL_SEAT_CAPABILITY_POINTER) != 0;
    if (keyboard && self.m_keyboard == nullptr) {
        self.m_keyboard = wl_seat_get_keyboard(seat);
        static const wl_keyboard_listener Listener = {
            KeyboardKeymap,
            [](void*, wl_keyboard*, std::uint32_t, wl_surface*, wl_array*) { Ignore(); },
            [](void*, wl_keyboard*, std::uint32_t, wl_surface*) { Ignore(); },
            KeyboardKey,
            [](void*, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t) {
                Ignore();
            },
            [](void*, wl_keyboard*, std::int32_t, std::int32_t) { Ignore(); },
        };
        wl_keyboard_add_listener(self.m_keyboard, &Listener, &self);
    } else if (!keyboard && self.m_keyboard != nullptr) {
        wl_keyboard_destroy(self.m_keyboard);
        self.m_keyboard = nullptr;
    }
    if (pointer && self.m_pointer == nullptr) {
        self.m_pointer = wl_seat_get_pointer(seat);
        static const wl_pointer_listener Listener = {
            PointerEnter,
            [](void* input, wl_pointer*, std::uint32_t, wl_surface*) { static_cast<SaverInput*>(input)->m_over = nullptr; },
            PointerMotion,
            [](void*, wl_pointer*, std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t) { Ignore(); },
            [](void*, wl_pointer*, std::uint32_t, std::uint32_t, wl_fixed_t) { Ignore(); },
            [](void*, wl_pointer*) { Ignore(); },
            [](void*, wl_pointer*, std::uint32_t) { Ignore(); },
            [](void*, wl_pointer*, std::uint32_t, std::uint32_t) { Ignore(); },
            [](void*, wl_pointer*, std::uint32_t, std::int32_t) { Ignore(); },
            [](void*, wl_pointer*, std::uint32_t, std::int32_t) { Ignore(); },
        };
        wl_pointer_add_listener(self.m_pointer, &Listener, &self);
    } else if (!pointer && self.m_pointer != nullptr) {
        wl_pointer_destroy(self.m_pointer);
        self.m_pointer = nullptr;
        self.m_over = nullptr;
    }
}

void SaverInput::Name(void*, wl_seat*, const char*) {}

void SaverInput::PointerEnter(void* data, wl_pointer* pointer, std::uint32_t serial, wl_surface* surface,
                              std::int32_t x, std::int32_t y)
{
    auto& self = *static_cast<SaverInput*>(data);
    // No cursor image: the cursor is hidden over the saver's surfaces.
    wl_pointer_set_cursor(pointer, serial, nullptr, 0, 0);
    const SceneSurface* scene = SceneSurface::Of(surface);
    self.m_over = scene;
    if (scene != nullptr)
        self.PointerAt(scene, wl_fixed_to_double(x), wl_fixed_to_double(y), scene->PixelsPerUnit());
}

void SaverInput::PointerMotion(void* data, wl_pointer*, std::uint32_t, std::int32_t x, std::int32_t y)
{
    auto& self = *static_cast<SaverInput*>(data);
    const auto* scene = static_cast<const SceneSurface*>(self.m_over);
    if (scene != nullptr)
        self.PointerAt(scene, wl_fixed_to_double(x), wl_fixed_to_double(y), scene->PixelsPerUnit());
}

void SaverInput::KeyboardKeymap(void*, wl_keyboard*, std::uint32_t, std::int32_t fd, std::uint32_t)
{
    // The rule needs no key's meaning.
    close(fd);
}

void SaverInput::KeyboardKey(void* data, wl_keyboard*, std::uint32_t, std::uint32_t, std::uint32_t,
                             std::uint32_t state)
{
    if (state == WL_KEYBOARD_KEY_STATE_PRESSED)
        static_cast<SaverInput*>(data)->KeyPressed();
}
