// mutter-test-input: keys and pointer moves injected into GNOME's compositor through its
// remote desktop service on the session bus (org.gnome.Mutter.RemoteDesktop), in one
// session kept until standard input ends (the compositor ends the session with the
// connection). The commands and answers are those of wayland-test-input:
//
//   move DX DY            pointer moved by DX, DY
//   button CODE           button pressed and released (evdev code: 272 left)
//   wheel STEPS           vertical wheel turned by STEPS notches
//   key CODE              key pressed and released (evdev code: 57 space)
//   keydown CODE / keyup CODE
//
// "ok" once the compositor has answered each request, "error" otherwise. The first line
// it writes is "ready". The seat gets its keyboard at the first key injected, and that
// key reaches no window: a Shift is pressed and released before "ready".
//
// mutter-test-input --shoot FILE: one frame of the primary monitor, through the screen
// cast service (org.gnome.Mutter.ScreenCast) and PipeWire, into the PNG file FILE by
// GStreamer's pipewiresrc; status 0 when it is written.
#include <dbus/dbus.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <sstream>
#include <string>

namespace {

const char* Service = "org.gnome.Mutter.RemoteDesktop";
constexpr int TimeoutMs = 5000;
constexpr unsigned LeftShift = 42;

DBusConnection* bus = nullptr;
std::string session;

// Calls a method and waits for its answer; the arguments as dbus_message_append_args
// takes them, ending with DBUS_TYPE_INVALID.
template <typename... Args>
DBusMessage* Call(const char* path, const char* interface, const char* method, Args... args)
{
    DBusMessage* call = dbus_message_new_method_call(Service, path, interface, method);
    dbus_message_append_args(call, args...);
    DBusError error;
    dbus_error_init(&error);
    DBusMessage* reply = dbus_connection_send_with_reply_and_block(bus, call, TimeoutMs, &error);
    dbus_message_unref(call);
    if (reply == nullptr) {
        std::fprintf(stderr, "mutter-test-input: %s: %s\n", method, error.message);
        dbus_error_free(&error);
    }
    return reply;
}

template <typename... Args>
bool Session(const char* method, Args... args)
{
    DBusMessage* reply = Call(session.c_str(), "org.gnome.Mutter.RemoteDesktop.Session", method, args...);
    if (reply == nullptr)
        return false;
    dbus_message_unref(reply);
    return true;
}

bool Key(unsigned code, bool down)
{
    dbus_uint32_t keycode = code;
    dbus_bool_t state = down;
    return Session("NotifyKeyboardKeycode", DBUS_TYPE_UINT32, &keycode, DBUS_TYPE_BOOLEAN, &state, DBUS_TYPE_INVALID);
}

// Appends an empty a{sv}: the screen cast's options, all left as they are.
void AppendNoOptions(DBusMessage* message)
{
    DBusMessageIter args, options;
    dbus_message_iter_init_append(message, &args);
    dbus_message_iter_open_container(&args, DBUS_TYPE_ARRAY, "{sv}", &options);
    dbus_message_iter_close_container(&args, &options);
}

// Calls a screen cast method with its string argument, if any, and the empty options;
// the object path it answers, or "" on failure.
std::string CastCall(const std::string& path, const char* interface, const char* method, const char* text)
{
    DBusMessage* call = dbus_message_new_method_call("org.gnome.Mutter.ScreenCast", path.c_str(), interface, method);
    if (text != nullptr)
        dbus_message_append_args(call, DBUS_TYPE_STRING, &text, DBUS_TYPE_INVALID);
    AppendNoOptions(call);
    DBusError error;
    dbus_error_init(&error);
    DBusMessage* reply = dbus_connection_send_with_reply_and_block(bus, call, TimeoutMs, &error);
    dbus_message_unref(call);
    const char* answer = nullptr;
    std::string result;
    if (reply != nullptr && dbus_message_get_args(reply, &error, DBUS_TYPE_OBJECT_PATH, &answer, DBUS_TYPE_INVALID))
        result = answer;
    else
        std::fprintf(stderr, "mutter-test-input: %s: %s\n", method, error.message);
    if (reply != nullptr)
        dbus_message_unref(reply);
    dbus_error_free(&error);
    return result;
}

int Shoot(const std::string& file)
{
    const std::string cast = CastCall("/org/gnome/Mutter/ScreenCast", "org.gnome.Mutter.ScreenCast", "CreateSession",
                                      nullptr);
    if (cast.empty())
        return 1;
    // An empty connector records the primary monitor.
    const std::string stream = CastCall(cast, "org.gnome.Mutter.ScreenCast.Session", "RecordMonitor", "");
    if (stream.empty())
        return 1;
    const std::string rule = "type='signal',interface='org.gnome.Mutter.ScreenCast.Stream',"
                             "member='PipeWireStreamAdded',path='" + stream + "'";
    dbus_bus_add_match(bus, rule.c_str(), nullptr);
    Service = "org.gnome.Mutter.ScreenCast";
    session = cast;
    DBusMessage* started = Call(cast.c_str(), "org.gnome.Mutter.ScreenCast.Session", "Start", DBUS_TYPE_INVALID);
    if (started == nullptr)
        return 1;
    dbus_message_unref(started);
    dbus_uint32_t node = 0;
    for (int turns = 0; node == 0 && turns < 100 && dbus_connection_read_write(bus, 100);) {
        while (DBusMessage* message = dbus_connection_pop_message(bus)) {
            if (dbus_message_is_signal(message, "org.gnome.Mutter.ScreenCast.Stream", "PipeWireStreamAdded"))
                dbus_message_get_args(message, nullptr, DBUS_TYPE_UINT32, &node, DBUS_TYPE_INVALID);
            dbus_message_unref(message);
        }
        ++turns;
    }
    if (node == 0) {
        std::fprintf(stderr, "mutter-test-input: the screen cast's stream did not come\n");
        return 1;
    }
    // A stream that never delivers a frame would keep GStreamer waiting.
    const std::string command = "timeout 10 gst-launch-1.0 -q pipewiresrc path=" + std::to_string(node) +
                                " num-buffers=1 ! videoconvert ! pngenc ! filesink location='" + file + "'";
    const int status = std::system(command.c_str());
    DBusMessage* stopped = Call(cast.c_str(), "org.gnome.Mutter.ScreenCast.Session", "Stop", DBUS_TYPE_INVALID);
    if (stopped != nullptr)
        dbus_message_unref(stopped);
    return status == 0 ? 0 : 1;
}

} // namespace

int main(int argc, char** argv)
{
    DBusError error;
    dbus_error_init(&error);
    bus = dbus_bus_get_private(DBUS_BUS_SESSION, &error);
    if (bus == nullptr) {
        std::fprintf(stderr, "mutter-test-input: no session bus: %s\n", error.message);
        return 1;
    }
    if (argc == 3 && std::strcmp(argv[1], "--shoot") == 0)
        return Shoot(argv[2]);
    DBusMessage* created = Call("/org/gnome/Mutter/RemoteDesktop", "org.gnome.Mutter.RemoteDesktop",
                                "CreateSession", DBUS_TYPE_INVALID);
    const char* path = nullptr;
    if (created == nullptr ||
        !dbus_message_get_args(created, &error, DBUS_TYPE_OBJECT_PATH, &path, DBUS_TYPE_INVALID))
        return 1;
    session = path;
    dbus_message_unref(created);
    if (!Session("Start", DBUS_TYPE_INVALID) || !Key(LeftShift, true) || !Key(LeftShift, false))
        return 1;
    std::cout << "ready" << std::endl;

    std::string line;
    while (std::getline(std::cin, line)) {
        std::istringstream words(line);
        std::string command;
        words >> command;
        int a = 0, b = 0;
        bool done = false;
        if (command == "move" && words >> a >> b) {
            double dx = a, dy = b;
            done = Session("NotifyPointerMotionRelative", DBUS_TYPE_DOUBLE, &dx, DBUS_TYPE_DOUBLE, &dy,
                           DBUS_TYPE_INVALID);
        } else if (command == "button" && words >> a && a > 0) {
            dbus_int32_t button = a;
            dbus_bool_t pressed = TRUE, released = FALSE;
            done = Session("NotifyPointerButton", DBUS_TYPE_INT32, &button, DBUS_TYPE_BOOLEAN, &pressed,
                           DBUS_TYPE_INVALID) &&
                   Session("NotifyPointerButton", DBUS_TYPE_INT32, &button, DBUS_TYPE_BOOLEAN, &released,
                           DBUS_TYPE_INVALID);
        } else if (command == "wheel" && words >> a) {
            dbus_uint32_t vertical = 0;
            dbus_int32_t steps = a;
            done = Session("NotifyPointerAxisDiscrete", DBUS_TYPE_UINT32, &vertical, DBUS_TYPE_INT32, &steps,
                           DBUS_TYPE_INVALID);
        } else if ((command == "key" || command == "keydown" || command == "keyup") && words >> a && a > 0) {
            const auto code = static_cast<unsigned>(a);
            done = (command == "keyup" || Key(code, true)) && (command == "keydown" || Key(code, false));
        }
        std::cout << (done ? "ok" : "error") << std::endl;
    }
    Session("Stop", DBUS_TYPE_INVALID);
    dbus_connection_close(bus);
    return 0;
}
