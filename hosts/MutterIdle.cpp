// GNOME's idle time on the session bus.
#include "hosts/MutterIdle.h"

#include "hosts/TalvexError.h"

#include <cstdint>
#include <cstdlib>
#include <dbus/dbus.h>
#include <string>
#include <unistd.h>
#include <utility>

namespace {

constexpr char Service[] = "org.gnome.Mutter.IdleMonitor";
constexpr char Path[] = "/org/gnome/Mutter/IdleMonitor/Core";
constexpr char Interface[] = "org.gnome.Mutter.IdleMonitor";
// How long the monitor may take to answer the watch's request.
constexpr int CallTimeoutMs = 5000;

struct Error {
    Error() { dbus_error_init(&error); }
    ~Error() { dbus_error_free(&error); }
    Error(const Error&) = delete;
    Error& operator=(const Error&) = delete;
    bool Set() const { return dbus_error_is_set(&error); }
    DBusError error;
};

struct UnrefMessage {
    void operator()(DBusMessage* message) const { dbus_message_unref(message); }
};
using MessagePtr = std::unique_ptr<DBusMessage, UnrefMessage>;

class MutterIdle : public IdleSource {
public:
    // Takes a connection of its own.
    explicit MutterIdle(DBusConnection* connection) : m_connection(connection)
    {
        // A lost bus is said as talvex's own error, not by ending the process.
        dbus_connection_set_exit_on_disconnect(m_connection, FALSE);
    }

    ~MutterIdle() override
    {
        if (m_watch != 0 && dbus_connection_get_is_connected(m_connection)) {
            MessagePtr remove(dbus_message_new_method_call(Service, Path, Interface, "RemoveWatch"));
            dbus_message_append_args(remove.get(), DBUS_TYPE_UINT32, &m_watch, DBUS_TYPE_INVALID);
            dbus_message_set_no_reply(remove.get(), TRUE);
            dbus_connection_send(m_connection, remove.get(), nullptr);
            dbus_connection_flush(m_connection);
        }
        dbus_connection_close(m_connection);
        dbus_connection_unref(m_connection);
    }

    // False when no idle monitor answers on the bus.
    bool Watch(std::chrono::milliseconds idleTime)
    {
        Error error;
        // The signal goes to the watch's owner; the rule lets it through.
        dbus_bus_add_match(m_connection,
                           "type='signal',interface='org.gnome.Mutter.IdleMonitor',member='WatchFired',"
                           "path='/org/gnome/Mutter/IdleMonitor/Core'",
                           &error.error);
        if (error.Set())
            return false;
        MessagePtr call(dbus_message_new_method_call(Service, Path, Interface, "AddIdleWatch"));
        const dbus_uint64_t interval = static_cast<dbus_uint64_t>(idleTime.count());
        dbus_message_append_args(call.get(), DBUS_TYPE_UINT64, &interval, DBUS_TYPE_INVALID);
        MessagePtr reply(
            dbus_connection_send_with_reply_and_block(m_connection, call.get(), CallTimeoutMs, &error.error));
        if (reply == nullptr) {
            if (dbus_error_has_name(&error.error, DBUS_ERROR_SERVICE_UNKNOWN) ||
                dbus_error_has_name(&error.error, DBUS_ERROR_NAME_HAS_NO_OWNER))
                return false;
            throw ETalvexError(FailureStatus, std::string("GNOME's idle monitor refused the watch: ") +
                                                  (error.error.message != nullptr ? error.error.message : "?"));
        }
        dbus_uint32_t id = 0;
        if (!dbus_message_get_args(reply.get(), &error.error, DBUS_TYPE_UINT32, &id, DBUS_TYPE_INVALID))
            throw ETalvexError(FailureStatus, "GNOME's idle monitor answered the watch with no watch");
        m_watch = id;
        return true;
    }

    std::string Name() const override { return "GNOME's org.gnome.Mutter.IdleMonitor"; }

    int Fd() const override
    {
        int fd = -1;
        dbus_connection_get_unix_fd(m_connection, &fd);
        return fd;
    }

    int ReadyWait() override
    {
        dbus_connection_flush(m_connection);
        // Messages read already are taken before waiting for more.
        return dbus_connection_get_dispatch_status(m_connection) == DBUS_DISPATCH_DATA_REMAINS ? 0 : -1;
    }

    bool AfterWait(short) override
    {
        dbus_connection_read_write(m_connection, 0);
        bool idled = false;
        while (MessagePtr message{dbus_connection_pop_message(m_connection)}) {
            dbus_uint32_t id = 0;
            if (dbus_message_is_signal(message.get(), Interface, "WatchFired") &&
                dbus_message_get_args(message.get(), nullptr, DBUS_TYPE_UINT32, &id, DBUS_TYPE_INVALID) &&
                id == m_watch)
                idled = true;
        }
        if (!dbus_connection_get_is_connected(m_connection))
            throw ETalvexError(NoDisplayStatus, "the connection to the session bus was lost");
        return idled;
    }

private:
    DBusConnection* m_connection;
    dbus_uint32_t m_watch = 0;
};

} // namespace

std::unique_ptr<IdleSource> WatchMutterIdle(std::chrono::milliseconds idleTime)
{
    // Without either, libdbus would try to start a bus of its own.
    const char* address = std::getenv("DBUS_SESSION_BUS_ADDRESS");
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    const bool userBus = runtime != nullptr && *runtime != '\0' &&
                         access((std::string(runtime) + "/bus").c_str(), F_OK) == 0;
    if ((address == nullptr || *address == '\0') && !userBus)
        return nullptr;
    Error error;
    DBusConnection* connection = dbus_bus_get_private(DBUS_BUS_SESSION, &error.error);
    if (connection == nullptr)
        return nullptr;
    auto idle = std::make_unique<MutterIdle>(connection);
    if (!idle->Watch(idleTime))
        return nullptr;
    return idle;
}
