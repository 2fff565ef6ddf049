// talvex's Wayland client: the connection, its globals and outputs, and the event loop
// that waits on the compositor, the ending signals and the tick timer together.
#include "hosts/wayland/WaylandHost.h"

#include "fractional-scale-v1-client-protocol.h"
#include "hosts/EndSignals.h"
#include "hosts/TalvexError.h"
#include "hosts/TickSchedule.h"
#include "hosts/TickTimer.h"
#include "hosts/wayland/SaverInput.h"
#include "hosts/wayland/SceneSurface.h"
#include "scene/Catalogue.h"
#include "scene/Tick.h"
#include "viewporter-client-protocol.h"
#include "hosts/wayland/LayerShell.h"
#include "xdg-shell-client-protocol.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <poll.h>
#include <vector>
#include <wayland-client.h>

namespace {

constexpr auto TickInterval = std::chrono::milliseconds(100);

class WaylandSession;

// One output as the compositor describes it, and the surface talvex shows on it.
struct Output {
    WaylandSession* session = nullptr;
    std::uint32_t name = 0;
    wl_output* output = nullptr;
    int scale = 1;
    bool described = false;
    std::unique_ptr<SceneSurface> surface;
};

class WaylandSession {
public:
    explicit WaylandSession(WaylandRole role) : m_role(role)
    {
        m_display = wl_display_connect(nullptr);
        if (m_display == nullptr)
            throw ETalvexError(NoDisplayStatus, "cannot connect to the Wayland compositor (is WAYLAND_DISPLAY set?)");
        m_registry = wl_display_get_registry(m_display);
        static const wl_registry_listener Listener = {Global, GlobalRemove};
        wl_registry_add_listener(m_registry, &Listener, this);
        // The globals, then what each says of itself (the outputs' scales).
        Roundtrip();
        if (m_globals.compositor == nullptr || m_globals.shm == nullptr)
            throw ETalvexError(NoDisplayStatus, "the compositor offers no wl_compositor or wl_shm");
        if (m_globals.layerShell == nullptr) {
            if (m_globals.wmBase == nullptr)
                throw ETalvexError(NoDisplayStatus, "the compositor offers neither layer-shell nor xdg-shell");
            std::fprintf(stderr, "talvex: the compositor offers no layer-shell (wlr-layer-shell-unstable-v1); "
                                 "showing one full-screen window instead\n");
        }
        Roundtrip();
        if (m_globals.layerShell == nullptr)
            m_window = std::make_unique<SceneSurface>(m_globals);
        if (SurfaceCount() == 0)
            throw ETalvexError(NoDisplayStatus, "the compositor has no output to show the scene on");
        Roundtrip();
    }

    ~WaylandSession()
    {
        m_window.reset();
        m_outputs.clear();
        m_input.reset();
        if (m_globals.fractionalScale != nullptr)
            wp_fractional_scale_manager_v1_destroy(m_globals.fractionalScale);
        if (m_globals.viewporter != nullptr)
            wp_viewporter_destroy(m_globals.viewporter);
        if (m_globals.layerShell != nullptr)
            zwlr_layer_shell_v1_destroy(m_globals.layerShell);
        if (m_globals.wmBase != nullptr)
            xdg_wm_base_destroy(m_globals.wmBase);
        if (m_globals.shm != nullptr)
            wl_shm_destroy(m_globals.shm);
        if (m_globals.compositor != nullptr)
            wl_compositor_destroy(m_globals.compositor);
        wl_registry_destroy(m_registry);
        wl_display_flush(m_display);
        wl_display_disconnect(m_display);
    }

    int Run(std::future<std::unique_ptr<Catalogue>>& loading)
    {
        try {
            m_pictures = loading.get();
        } catch (const std::exception& error) {
            throw ETalvexError(FailureStatus, std::string("the stored pictures do not load: ") + error.what());
        }
        m_schedule.Start(TickSchedule::Clock::now());
        Tick();
        m_timer.ArmAt(m_schedule.NextAfter(TickSchedule::Clock::now()));
        for (;;) {
            while (wl_display_prepare_read(m_display) != 0)
                Dispatch();
            pollfd waits[] = {{wl_display_get_fd(m_display), POLLIN, 0},
                              {m_signals.Fd(), POLLIN, 0},
                              {m_timer.Fd(), POLLIN, 0}};
            if (wl_display_flush(m_display) < 0 && errno == EAGAIN)
                waits[0].events |= POLLOUT;
            if (poll(waits, 3, -1) < 0 && errno != EINTR) {
                wl_display_cancel_read(m_display);
                throw ETalvexError(FailureStatus, "the event loop's poll failed");
            }
            if ((waits[0].revents & (POLLIN | POLLERR | POLLHUP)) != 0) {
                if (wl_display_read_events(m_display) < 0)
                    Lost();
            } else {
                wl_display_cancel_read(m_display);
            }
            Dispatch();
            if (m_signals.Received())
                return 0;
            if (m_input != nullptr && m_input->Ended())
                return 0;
            LetClosedGo();
            if (SurfaceCount() == 0)
                return 0;
            if (m_timer.Fired()) {
                Tick();
                m_timer.ArmAt(m_schedule.NextAfter(TickSchedule::Clock::now()));
            }
        }
    }

private:
    void Roundtrip()
    {
        if (wl_display_roundtrip(m_display) < 0)
            Lost();
    }

    void Dispatch()
    {
        if (wl_display_dispatch_pending(m_display) < 0)
            Lost();
    }

    [[noreturn]] void Lost() const
    {
        const int code = wl_display_get_error(m_display);
        if (code == EPROTO) {
            const wl_interface* interface = nullptr;
            std::uint32_t id = 0;
            const std::uint32_t protocolCode = wl_display_get_protocol_error(m_display, &interface, &id);
            char text[200];
            std::snprintf(text, sizeof text, "the compositor reported protocol error %u on %s@%u", protocolCode,
                          interface != nullptr ? interface->name : "?", id);
            throw ETalvexError(FailureStatus, text);
        }
        throw ETalvexError(NoDisplayStatus, "the connection to the Wayland compositor was lost");
    }

    std::size_t SurfaceCount() const
    {
        const auto shown = std::count_if(m_outputs.begin(), m_outputs.end(),
                                         [](const std::unique_ptr<Output>& o) { return o->surface != nullptr; });
        return static_cast<std::size_t>(shown) + (m_window != nullptr ? 1 : 0);
    }

    void DropSurface(std::unique_ptr<SceneSurface>& surface)
    {
        if (m_input != nullptr)
            m_input->Forget(surface.get());
        surface.reset();
    }

    void LetClosedGo()
    {
        for (auto& output : m_outputs)
            if (output->surface != nullptr && output->surface->Closed())
                DropSurface(output->surface);
        if (m_window != nullptr && m_window->Closed())
            DropSurface(m_window);
    }

    void Tick()
    {
        if (m_window != nullptr) {
            // The window's pixels are those of the output it is on.
            int scale = 1;
            for (const auto& output : m_outputs)
                if (output->output == m_window->EnteredOutput())
                    scale = output->scale;
            m_window->SetScale(scale);
        }
        try {
            for (auto& output : m_outputs)
                if (output->surface != nullptr)
                    output->surface->Tick(*m_pictures);
            if (m_window != nullptr)
                m_window->Tick(*m_pictures);
        } catch (const ETalvexError&) {
            throw;
        } catch (const std::exception& error) {
            // As on X11: a failed tick showed what it drew, the next goes on; said once.
            if (!m_tickFailureSaid)
                std::fprintf(stderr, "talvex: a tick failed: %s (further failures are not reported)\n", error.what());
            m_tickFailureSaid = true;
        }
        wl_display_flush(m_display);
        // The pictures the plans show next are decoded now, outside the next tick.
        for (const auto& output : m_outputs)
            if (output->surface != nullptr)
                DecodeAhead(output->surface->Plan(), *m_pictures);
        if (m_window != nullptr)
            DecodeAhead(m_window->Plan(), *m_pictures);
    }

public:
    // The output has said all it has to say, at first or after a change.
    void Described(Output& output)
    {
        const bool first = !output.described;
        output.described = true;
        if (output.surface != nullptr)
            output.surface->SetScale(output.scale);
        if (!first || m_globals.layerShell == nullptr)
            return;
        output.surface = std::make_unique<SceneSurface>(
            m_globals, output.output, m_role == WaylandRole::Saver ? SurfaceLayer::Overlay : SurfaceLayer::Background);
        output.surface->SetScale(output.scale);
    }

private:

    static void Global(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
                       std::uint32_t version);
    static void GlobalRemove(void* data, wl_registry* registry, std::uint32_t name);

    WaylandRole m_role;
    wl_display* m_display = nullptr;
    wl_registry* m_registry = nullptr;
    WaylandGlobals m_globals;
    std::unique_ptr<SaverInput> m_input;
    std::vector<std::unique_ptr<Output>> m_outputs;
    std::unique_ptr<SceneSurface> m_window;
    EndSignals m_signals;
    TickTimer m_timer;
    TickSchedule m_schedule{TickInterval};
    std::unique_ptr<Catalogue> m_pictures;
    bool m_tickFailureSaid = false;
};

template <typename T>
T* Bind(wl_registry* registry, std::uint32_t name, const wl_interface& interface, std::uint32_t offered,
        std::uint32_t wanted)
{
    return static_cast<T*>(wl_registry_bind(registry, name, &interface, std::min(offered, wanted)));
}

void OutputScale(void* data, wl_output*, std::int32_t factor)
{
    static_cast<Output*>(data)->scale = factor < 1 ? 1 : factor;
}

void WaylandSession::Global(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
                            std::uint32_t version)
{
    auto& self = *static_cast<WaylandSession*>(data);
    const auto is = [interface](const wl_interface& known) { return std::strcmp(interface, known.name) == 0; };
    WaylandGlobals& g = self.m_globals;
    if (is(wl_compositor_interface) && version >= 4) {
        g.compositor = Bind<wl_compositor>(registry, name, wl_compositor_interface, version, 4);
    } else if (is(wl_shm_interface)) {
        g.shm = Bind<wl_shm>(registry, name, wl_shm_interface, version, 1);
    } else if (is(zwlr_layer_shell_v1_interface)) {
        g.layerShell = Bind<zwlr_layer_shell_v1>(registry, name, zwlr_layer_shell_v1_interface, version, 4);
    } else if (is(xdg_wm_base_interface)) {
        g.wmBase = Bind<xdg_wm_base>(registry, name, xdg_wm_base_interface, version, 1);
        static const xdg_wm_base_listener Listener = {
            [](void*, xdg_wm_base* base, std::uint32_t serial) { xdg_wm_base_pong(base, serial); }};
        xdg_wm_base_add_listener(g.wmBase, &Listener, &self);
    } else if (is(wp_viewporter_interface)) {
        g.viewporter = Bind<wp_viewporter>(registry, name, wp_viewporter_interface, version, 1);
    } else if (is(wp_fractional_scale_manager_v1_interface)) {
        g.fractionalScale = Bind<wp_fractional_scale_manager_v1>(registry, name,
                                                                 wp_fractional_scale_manager_v1_interface, version, 1);
    } else if (is(wl_seat_interface) && self.m_role == WaylandRole::Saver && self.m_input == nullptr) {
        self.m_input = std::make_unique<SaverInput>(Bind<wl_seat>(registry, name, wl_seat_interface, version, 7));
    } else if (is(wl_output_interface) && version >= 2) {
        auto output = std::make_unique<Output>();
        output->session = &self;
        output->name = name;
        output->output = Bind<wl_output>(registry, name, wl_output_interface, version, 4);
        static const wl_output_listener Listener = {
            [](void*, wl_output*, std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t, const char*,
               const char*, std::int32_t) {},
            [](void*, wl_output*, std::uint32_t, std::int32_t, std::int32_t, std::int32_t) {},
            // Described in full: a surface of its own, or its new scale.
            [](void* described, wl_output*) {
                auto& it = *static_cast<Output*>(described);
                it.session->Described(it);
            },
            OutputScale,
            [](void*, wl_output*, const char*) {},
            [](void*, wl_output*, const char*) {},
        };
        wl_output_add_listener(output->output, &Listener, output.get());
        self.m_outputs.push_back(std::move(output));
    }
}

void WaylandSession::GlobalRemove(void* data, wl_registry*, std::uint32_t name)
{
    auto& self = *static_cast<WaylandSession*>(data);
    const auto found = std::find_if(self.m_outputs.begin(), self.m_outputs.end(),
                                    [name](const std::unique_ptr<Output>& o) { return o->name == name; });
    if (found == self.m_outputs.end())
        return;
    Output& output = **found;
    if (output.surface != nullptr)
        self.DropSurface(output.surface);
    if (self.m_window != nullptr)
        self.m_window->OutputGone(output.output);
    if (wl_output_get_version(output.output) >= 3)
        wl_output_release(output.output);
    else
        wl_output_destroy(output.output);
    self.m_outputs.erase(found);
}

} // namespace

int RunWayland(WaylandRole role, std::future<std::unique_ptr<Catalogue>>& loading)
{
    WaylandSession session(role);
    return session.Run(loading);
}
