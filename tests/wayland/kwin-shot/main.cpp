// kwin-test-shot FILE: the active screen of KDE's compositor, through its screenshot
// service on the session bus (org.kde.KWin.ScreenShot2, allowed to any caller with
// KWIN_SCREENSHOT_NO_PERMISSION_CHECKS=1), written to FILE as a binary PPM; status 0
// when it is written. KWin answers with the image's size and format, then writes its
// raw 32-bit pixels into the pipe it was given.
#include <dbus/dbus.h>

#include <cstdint>
#include <cstdio>
#include <fcntl.h>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int TimeoutMs = 10000;
// QImage's formats of 32-bit pixels, 0xAARRGGBB in the machine's order.
constexpr std::uint32_t FormatRgb32 = 4;
constexpr std::uint32_t FormatArgb32 = 5;
constexpr std::uint32_t FormatArgb32Premultiplied = 6;

// The unsigned value of a key of the answer's a{sv}.
bool Value(DBusMessage* reply, const std::string& key, std::uint32_t& value)
{
    DBusMessageIter args, entries;
    if (!dbus_message_iter_init(reply, &args) || dbus_message_iter_get_arg_type(&args) != DBUS_TYPE_ARRAY)
        return false;
    for (dbus_message_iter_recurse(&args, &entries); dbus_message_iter_get_arg_type(&entries) == DBUS_TYPE_DICT_ENTRY;
         dbus_message_iter_next(&entries)) {
        DBusMessageIter entry, variant;
        dbus_message_iter_recurse(&entries, &entry);
        const char* name = nullptr;
        dbus_message_iter_get_basic(&entry, &name);
        dbus_message_iter_next(&entry);
        dbus_message_iter_recurse(&entry, &variant);
        if (key == name && dbus_message_iter_get_arg_type(&variant) == DBUS_TYPE_UINT32) {
            dbus_uint32_t number = 0;
            dbus_message_iter_get_basic(&variant, &number);
            value = number;
            return true;
        }
    }
    return false;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: kwin-test-shot FILE\n");
        return 2;
    }
    DBusError error;
    dbus_error_init(&error);
    DBusConnection* bus = dbus_bus_get_private(DBUS_BUS_SESSION, &error);
    if (bus == nullptr) {
        std::fprintf(stderr, "kwin-test-shot: no session bus: %s\n", error.message);
        return 1;
    }
    int pipe[2];
    if (pipe2(pipe, O_CLOEXEC) != 0)
        return 1;
    DBusMessage* call = dbus_message_new_method_call("org.kde.KWin.ScreenShot2", "/org/kde/KWin/ScreenShot2",
                                                     "org.kde.KWin.ScreenShot2", "CaptureActiveScreen");
    DBusMessageIter args, options;
    dbus_message_iter_init_append(call, &args);
    dbus_message_iter_open_container(&args, DBUS_TYPE_ARRAY, "{sv}", &options);
    dbus_message_iter_close_container(&args, &options);
    dbus_message_iter_append_basic(&args, DBUS_TYPE_UNIX_FD, &pipe[1]);
    DBusMessage* reply = dbus_connection_send_with_reply_and_block(bus, call, TimeoutMs, &error);
    dbus_message_unref(call);
    close(pipe[1]);
    std::uint32_t width = 0, height = 0, stride = 0, format = 0;
    if (reply == nullptr || !Value(reply, "width", width) || !Value(reply, "height", height) ||
        !Value(reply, "stride", stride) || !Value(reply, "format", format)) {
        std::fprintf(stderr, "kwin-test-shot: no screenshot: %s\n", reply == nullptr ? error.message : "no size");
        return 1;
    }
    dbus_message_unref(reply);
    if (format != FormatRgb32 && format != FormatArgb32 && format != FormatArgb32Premultiplied) {
        std::fprintf(stderr, "kwin-test-shot: image format %u is not one of 32-bit pixels\n", format);
        return 1;
    }
    std::vector<unsigned char> raw(static_cast<std::size_t>(stride) * height);
    std::size_t got = 0;
    for (ssize_t n = 0; got < raw.size() && (n = read(pipe[0], raw.data() + got, raw.size() - got)) > 0;)
        got += static_cast<std::size_t>(n);
    close(pipe[0]);
    if (got != raw.size()) {
        std::fprintf(stderr, "kwin-test-shot: %zu of %zu bytes came\n", got, raw.size());
        return 1;
    }
    FILE* out = std::fopen(argv[1], "wb");
    if (out == nullptr)
        return 1;
    std::fprintf(out, "P6\n%u %u\n255\n", width, height);
    for (std::uint32_t y = 0; y < height; ++y)
        for (std::uint32_t x = 0; x < width; ++x) {
            const unsigned char* p = raw.data() + static_cast<std::size_t>(y) * stride + x * 4;
            // Blue, green, red, alpha in memory; the scene is opaque.
            const unsigned char rgb[3] = {p[2], p[1], p[0]};
            std::fwrite(rgb, 1, 3, out);
        }
    return std::fclose(out) == 0 ? 0 : 1;
}
