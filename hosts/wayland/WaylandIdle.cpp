// The Wayland compositor's idle notifications.
#include "hosts/wayland/WaylandIdle.h"

#include "ext-idle-notify-v1-client-protocol.h"
#include "hosts/TalvexError.h"
#include "hosts/wayland/WaylandHost.h"
#include "kde-idle-client-protocol.h"

#include <cerrno>
#include <cstring>
#include <poll.h>
#include <utility>
#include <wayland-client.h>

namespace {

class WaylandIdle : public IdleSource {
public:
    WaylandIdle()
    {
        m_display = ConnectToCompositor();
        m_registry = wl_display_get_registry(m_display);
        wl_registry_add_listener(m_registry, &RegistryListener, this);
        if (wl_display_roundtrip(m_display) < 0)
            Lost();
    }

    ~WaylandIdle() override
    {
        if (m_notification != nullptr)
            ext_idle_notification_v1_destroy(m_notification);
        if (m_timeout != nullptr)
            org_kde_kwin_idle_timeout_release(m_timeout);
        if (m_notifier != nullptr)
            ext_idle_notifier_v1_destroy(m_notifier);
        if (m_kdeIdle != nullptr)
            org_kde_kwin_idle_destroy(m_kdeIdle);
        if (m_seat != nullptr)
            wl_seat_destroy(m_seat);
        wl_registry_destroy(m_registry);
        wl_display_flush(m_display);
        wl_display_disconnect(m_display);
    }

    bool Offered() const { return m_notifier != nullptr || m_kdeIdle != nullptr; }

    void Watch(std::chrono::milliseconds idleTime)
    {
        if (m_seat == nullptr)
            throw ETalvexError(NoDisplayStatus, "the compositor offers no seat, so no idle time");
        const auto ms = static_cast<std::uint32_t>(idleTime.count());
        if (m_notifier != nullptr) {
            m_notification = ext_idle_notifier_v1_get_idle_notification(m_notifier, ms, m_seat);
            ext_idle_notification_v1_add_listener(m_notification, &NotificationListener, this);
        } else {
            m_timeout = org_kde_kwin_idle_get_idle_timeout(m_kdeIdle, m_seat, ms);
            org_kde_kwin_idle_timeout_add_listener(m_timeout, &TimeoutListener, this);
        }
    }

    std::string Name() const override
    {
        return m_notifier != nullptr ? "the compositor's ext-idle-notify-v1" : "the compositor's org_kde_kwin_idle";
    }

    int Fd() const override { return wl_display_get_fd(m_display); }

    int ReadyWait() override
    {
        while (wl_display_prepare_read(m_display) != 0)
            if (wl_display_dispatch_pending(m_display) < 0)
                Lost();
        // A few small requests, once: a full socket is waited out here.
        while (wl_display_flush(m_display) < 0) {
            if (errno != EAGAIN) {
                wl_display_cancel_read(m_display);
                Lost();
            }
            pollfd out{Fd(), POLLOUT, 0};
            poll(&out, 1, -1);
        }
        return -1;
    }

    bool AfterWait(short revents) override
    {
        if ((revents & (POLLIN | POLLERR | POLLHUP)) != 0) {
            if (wl_display_read_events(m_display) < 0)
                Lost();
        } else {
            wl_display_cancel_read(m_display);
        }
        if (wl_display_dispatch_pending(m_display) < 0)
            Lost();
        return std::exchange(m_idled, false);
    }

private:
    [[noreturn]] static void Lost()
    {
        throw ETalvexError(NoDisplayStatus, "the connection to the Wayland compositor was lost");
    }

    static void Global(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
                       std::uint32_t)
    {
        auto& self = *static_cast<WaylandIdle*>(data);
        if (std::strcmp(interface, wl_seat_interface.name) == 0 && self.m_seat == nullptr)
            self.m_seat = static_cast<wl_seat*>(wl_registry_bind(registry, name, &wl_seat_interface, 1));
        else if (std::strcmp(interface, ext_idle_notifier_v1_interface.name) == 0)
            self.m_notifier = static_cast<ext_idle_notifier_v1*>(
                wl_registry_bind(registry, name, &ext_idle_notifier_v1_interface, 1));
        else if (std::strcmp(interface, org_kde_kwin_idle_interface.name) == 0)
            self.m_kdeIdle = static_cast<org_kde_kwin_idle*>(
                wl_registry_bind(registry, name, &org_kde_kwin_idle_interface, 1));
    }

    static void GlobalRemove(void*, wl_registry*, std::uint32_t) {}

    // Input coming again needs nothing: the show ends itself on it.
    static void NotificationIdled(void* data, ext_idle_notification_v1*)
    {
        static_cast<WaylandIdle*>(data)->m_idled = true;
    }
    static void NotificationResumed(void*, ext_idle_notification_v1*) {}
    static void TimeoutIdle(void* data, org_kde_kwin_idle_timeout*) { static_cast<WaylandIdle*>(data)->m_idled = true; }
    static void TimeoutResumed(void*, org_kde_kwin_idle_timeout*) {}

    static constexpr wl_registry_listener RegistryListener = {.global = Global, .global_remove = GlobalRemove};
    static constexpr ext_idle_notification_v1_listener NotificationListener = {.idled = NotificationIdled,
                                                                               .resumed = NotificationResumed};
    static constexpr org_kde_kwin_idle_timeout_listener TimeoutListener = {.idle = TimeoutIdle,
                                                                           .resumed = TimeoutResumed};

    wl_display* m_display = nullptr;
    wl_registry* m_registry = nullptr;
    wl_seat* m_seat = nullptr;
    ext_idle_notifier_v1* m_notifier = nullptr;
    org_kde_kwin_idle* m_kdeIdle = nullptr;
    ext_idle_notification_v1* m_notification = nullptr;
    org_kde_kwin_idle_timeout* m_timeout = nullptr;
    // An idle event has come since the watch last looked.
    bool m_idled = false;
};

} // namespace

std::unique_ptr<IdleSource> WatchWaylandIdle(std::chrono::milliseconds idleTime)
{
    auto idle = std::make_unique<WaylandIdle>();
    if (!idle->Offered())
        return nullptr;
    idle->Watch(idleTime);
    return idle;
}
