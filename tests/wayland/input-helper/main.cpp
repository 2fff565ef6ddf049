// wayland-test-input: one virtual keyboard and one virtual pointer on the compositor's
// first seat, made at start and kept until standard input ends, driven by commands on
// standard input, one a line. Each command is answered "ok" on standard output once the
// compositor has taken its requests (a round trip), "error" when it is not understood:
//
//   move DX DY            pointer moved by DX, DY (output pixels)
//   moveto X Y W H        pointer put at X, Y of a layout W x H
//   button CODE           button pressed and released (evdev code: 272 left, 273 right)
//   wheel STEPS           vertical wheel turned by STEPS notches
//   key CODE              key pressed and released (evdev code: 1 Escape, 57 space)
//   keydown CODE / keyup CODE
//
// The first line it writes is "ready", once both devices exist. Made for the tests,
// which keep one instance for a whole test so that the client has taken up the keyboard
// long before its first key.
//
// Where the compositor offers no virtual devices but KDE's fake input (KWin, with its
// permission checks off), the same commands go through that.
#include "fake-input-client-protocol.h"
#include "virtual-keyboard-unstable-v1-client-protocol.h"
#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

#include <wayland-client.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace {

// A keymap of the standard US layout with evdev key codes; the compositor compiles it
// from its own xkb data.
constexpr char Keymap[] = "xkb_keymap {\n"
                          "  xkb_keycodes { include \"evdev+aliases(qwerty)\" };\n"
                          "  xkb_types { include \"complete\" };\n"
                          "  xkb_compat { include \"complete\" };\n"
                          "  xkb_symbols { include \"pc+us+inet(evdev)\" };\n"
                          "};\n";

struct Globals {
    wl_seat* seat = nullptr;
    zwlr_virtual_pointer_manager_v1* pointers = nullptr;
    zwp_virtual_keyboard_manager_v1* keyboards = nullptr;
    org_kde_kwin_fake_input* fake = nullptr;
};

void Global(void* data, wl_registry* registry, std::uint32_t name, const char* interface, std::uint32_t version)
{
    auto& g = *static_cast<Globals*>(data);
    if (std::strcmp(interface, wl_seat_interface.name) == 0 && g.seat == nullptr)
        g.seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
    else if (std::strcmp(interface, zwlr_virtual_pointer_manager_v1_interface.name) == 0)
        g.pointers = static_cast<zwlr_virtual_pointer_manager_v1*>(
            wl_registry_bind(registry, name, &zwlr_virtual_pointer_manager_v1_interface, 1));
    else if (std::strcmp(interface, zwp_virtual_keyboard_manager_v1_interface.name) == 0)
        g.keyboards = static_cast<zwp_virtual_keyboard_manager_v1*>(
            wl_registry_bind(registry, name, &zwp_virtual_keyboard_manager_v1_interface, 1));
    else if (std::strcmp(interface, org_kde_kwin_fake_input_interface.name) == 0 && version >= 4)
        g.fake = static_cast<org_kde_kwin_fake_input*>(
            wl_registry_bind(registry, name, &org_kde_kwin_fake_input_interface, 4));
}

void GlobalRemove(void*, wl_registry*, std::uint32_t) {}

const wl_registry_listener RegistryListener = {Global, GlobalRemove};

std::uint32_t NowMs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<std::uint32_t>(now.tv_sec * 1000 + now.tv_nsec / 1'000'000);
}

// The keymap in a sealed memory file, as the protocol hands it over.
int KeymapFile()
{
    const int fd = memfd_create("wayland-test-input-keymap", MFD_CLOEXEC);
    if (fd < 0 || write(fd, Keymap, sizeof Keymap) != static_cast<ssize_t>(sizeof Keymap))
        return -1;
    return fd;
}

// The devices the commands drive: the virtual pointer and keyboard, or KDE's fake input.
class Devices {
public:
    virtual ~Devices() = default;
    virtual void Move(int dx, int dy) = 0;
    // To x, y of a layout width x height.
    virtual void MoveTo(int x, int y, int width, int height) = 0;
    virtual void Button(std::uint32_t code, wl_pointer_button_state state) = 0;
    virtual void Wheel(int steps) = 0;
    virtual void Key(std::uint32_t code, wl_keyboard_key_state state) = 0;
};

class VirtualDevices : public Devices {
public:
    VirtualDevices(zwlr_virtual_pointer_v1* pointer, zwp_virtual_keyboard_v1* keyboard)
        : m_pointer(pointer), m_keyboard(keyboard)
    {
    }
    ~VirtualDevices() override
    {
        zwlr_virtual_pointer_v1_destroy(m_pointer);
        zwp_virtual_keyboard_v1_destroy(m_keyboard);
    }
    void Move(int dx, int dy) override
    {
        zwlr_virtual_pointer_v1_motion(m_pointer, NowMs(), wl_fixed_from_int(dx), wl_fixed_from_int(dy));
        zwlr_virtual_pointer_v1_frame(m_pointer);
    }
    void MoveTo(int x, int y, int width, int height) override
    {
        zwlr_virtual_pointer_v1_motion_absolute(m_pointer, NowMs(), static_cast<std::uint32_t>(x),
                                                static_cast<std::uint32_t>(y), static_cast<std::uint32_t>(width),
                                                static_cast<std::uint32_t>(height));
        zwlr_virtual_pointer_v1_frame(m_pointer);
    }
    void Button(std::uint32_t code, wl_pointer_button_state state) override
    {
        zwlr_virtual_pointer_v1_button(m_pointer, NowMs(), code, state);
        zwlr_virtual_pointer_v1_frame(m_pointer);
    }
    void Wheel(int steps) override
    {
        zwlr_virtual_pointer_v1_axis_source(m_pointer, WL_POINTER_AXIS_SOURCE_WHEEL);
        zwlr_virtual_pointer_v1_axis_discrete(m_pointer, NowMs(), WL_POINTER_AXIS_VERTICAL_SCROLL,
                                              wl_fixed_from_int(steps * 15), steps);
        zwlr_virtual_pointer_v1_frame(m_pointer);
    }
    void Key(std::uint32_t code, wl_keyboard_key_state state) override
    {
        zwp_virtual_keyboard_v1_key(m_keyboard, NowMs(), code, state);
    }

private:
    zwlr_virtual_pointer_v1* m_pointer;
    zwp_virtual_keyboard_v1* m_keyboard;
};

// KDE's fake input: moves in the layout's units, absolute ones too; the layout's size is
// not needed.
class FakeInput : public Devices {
public:
    explicit FakeInput(org_kde_kwin_fake_input* fake) : m_fake(fake)
    {
        org_kde_kwin_fake_input_authenticate(m_fake, "wayland-test-input", "the tests' keys and pointer");
    }
    ~FakeInput() override { org_kde_kwin_fake_input_destroy(m_fake); }
    void Move(int dx, int dy) override
    {
        org_kde_kwin_fake_input_pointer_motion(m_fake, wl_fixed_from_int(dx), wl_fixed_from_int(dy));
    }
    void MoveTo(int x, int y, int, int) override
    {
        org_kde_kwin_fake_input_pointer_motion_absolute(m_fake, wl_fixed_from_int(x), wl_fixed_from_int(y));
    }
    void Button(std::uint32_t code, wl_pointer_button_state state) override
    {
        org_kde_kwin_fake_input_button(m_fake, code, state);
    }
    void Wheel(int steps) override
    {
        org_kde_kwin_fake_input_axis(m_fake, WL_POINTER_AXIS_VERTICAL_SCROLL, wl_fixed_from_int(steps * 15));
    }
    void Key(std::uint32_t code, wl_keyboard_key_state state) override
    {
        org_kde_kwin_fake_input_keyboard_key(m_fake, code, state);
    }

private:
    org_kde_kwin_fake_input* m_fake;
};

// The virtual pointer and keyboard on the seat, with the keymap; nullptr on failure.
std::unique_ptr<Devices> MakeVirtualDevices(const Globals& g)
{
    const int keymap = KeymapFile();
    if (keymap < 0) {
        std::fprintf(stderr, "wayland-test-input: cannot make the keymap file\n");
        return nullptr;
    }
    zwp_virtual_keyboard_v1* keyboard = zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(g.keyboards, g.seat);
    zwp_virtual_keyboard_v1_keymap(keyboard, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, keymap, sizeof Keymap);
    close(keymap);
    return std::make_unique<VirtualDevices>(zwlr_virtual_pointer_manager_v1_create_virtual_pointer(g.pointers, g.seat),
                                            keyboard);
}

// One command line: false when it is not understood.
bool Perform(Devices& devices, const std::string& line)
{
    std::istringstream words(line);
    std::string command;
    words >> command;
    int a = 0, b = 0, c = 0, d = 0;
    if (command == "move" && words >> a >> b) {
        devices.Move(a, b);
    } else if (command == "moveto" && words >> a >> b >> c >> d && a >= 0 && b >= 0 && c > 0 && d > 0) {
        devices.MoveTo(a, b, c, d);
    } else if (command == "button" && words >> a && a > 0) {
        for (const auto state : {WL_POINTER_BUTTON_STATE_PRESSED, WL_POINTER_BUTTON_STATE_RELEASED})
            devices.Button(static_cast<std::uint32_t>(a), state);
    } else if (command == "wheel" && words >> a) {
        devices.Wheel(a);
    } else if ((command == "key" || command == "keydown" || command == "keyup") && words >> a && a > 0) {
        const auto code = static_cast<std::uint32_t>(a);
        if (command != "keyup")
            devices.Key(code, WL_KEYBOARD_KEY_STATE_PRESSED);
        if (command != "keydown")
            devices.Key(code, WL_KEYBOARD_KEY_STATE_RELEASED);
    } else {
        return false;
    }
    return true;
}

} // namespace

int main()
{
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "wayland-test-input: no compositor\n");
        return 1;
    }
    Globals g;
    wl_registry* registry = wl_display_get_registry(display);
    wl_registry_add_listener(registry, &RegistryListener, &g);
    wl_display_roundtrip(display);
    std::unique_ptr<Devices> devices;
    if (g.seat != nullptr && g.pointers != nullptr && g.keyboards != nullptr)
        devices = MakeVirtualDevices(g);
    else if (g.fake != nullptr)
        devices = std::make_unique<FakeInput>(g.fake);
    else
        std::fprintf(stderr, "wayland-test-input: the compositor offers no seat with a virtual pointer and "
                             "keyboard, nor fake input\n");
    if (devices == nullptr)
        return 1;
    if (wl_display_roundtrip(display) < 0) {
        std::fprintf(stderr, "wayland-test-input: the compositor refused the devices\n");
        return 1;
    }
    std::cout << "ready" << std::endl;

    std::string line;
    while (std::getline(std::cin, line)) {
        const bool understood = Perform(*devices, line);
        if (understood && wl_display_roundtrip(display) < 0) {
            std::fprintf(stderr, "wayland-test-input: the compositor is gone\n");
            return 1;
        }
        std::cout << (understood ? "ok" : "error") << std::endl;
    }
    devices.reset();
    wl_display_roundtrip(display);
    wl_display_disconnect(display);
    return 0;
}
