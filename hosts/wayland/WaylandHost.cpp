// talvex's Wayland client: the connection, its globals and outputs, plugged into the
// session loop. The callbacks note what the compositor says; the loop acts on it
// between waits.
#include "hosts/wayland/WaylandHost.h"

#include "fractional-scale-v1-client-protocol.h"
#include "hosts/SessionLoop.h"
#include "hosts/TalvexError.h"
#include "hosts/wayland/LayerShell.h"
#include "hosts/wayland/SaverInput.h"
#include "hosts/wayland/SceneSurface.h"
#include "scene/Catalogue.h"
#include "scene/Tick.h"
#include "viewporter-client-protocol.h"
#include "xdg-output-unstable-v1-client-protocol.h"
#include "xdg-shell-client-protocol.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <poll.h>
#include <vector>
#include <wayland-client.h>

namespace {

// One output as the compositor describes it, and the surface talvex shows on it.
struct Output {
    std::uint32_t global = 0;
    wl_output* output = nullptr;
    zxdg_output_v1* xdgOutput = nullptr;
    int scale = 1;
    std::string name;
    // The compositor has described it anew (wl_output's done, or a name from
    // xdg-output) since the loop last looked.
    bool announced = false;
    // Its global has gone (a monitor unplugged or asleep).
    bool removed = false;
    std::unique_ptr<SceneSurface> surface;
};

void OutputGeometry(void*, wl_output*, std::int32_t, std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                    const char*, const char*, std::int32_t)
{
}

void OutputMode(void*, wl_output*, std::uint32_t, std::int32_t, std::int32_t, std::int32_t) {}

void OutputDone(void* data, wl_output*)
{
    static_cast<Output*>(data)->announced = true;
}

void OutputScale(void* data, wl_output*, std::int32_t factor)
{
    static_cast<Output*>(data)->scale = factor < 1 ? 1 : factor;
}

void OutputName(void* data, wl_output*, const char* name)
{
    static_cast<Output*>(data)->name = name;
}

void OutputDescription(void*, wl_output*, const char*) {}

const wl_output_listener OutputListener = {
    .geometry = OutputGeometry,
    .mode = OutputMode,
    .done = OutputDone,
    .scale = OutputScale,
    .name = OutputName,
    .description = OutputDescription,
};

void XdgOutputPosition(void*, zxdg_output_v1*, std::int32_t, std::int32_t) {}

void XdgOutputSize(void*, zxdg_output_v1*, std::int32_t, std::int32_t) {}

// Older compositors say an output's name only here; it may come after wl_output's done.
void XdgOutputName(void* data, zxdg_output_v1*, const char* name)
{
    auto& output = *static_cast<Output*>(data);
    output.name = name;
    output.announced = true;
}

void XdgOutputDone(void*, zxdg_output_v1*) {}

void XdgOutputDescription(void*, zxdg_output_v1*, const char*) {}

const zxdg_output_v1_listener XdgOutputListener = {
    .logical_position = XdgOutputPosition,
    .logical_size = XdgOutputSize,
    .done = XdgOutputDone,
    .name = XdgOutputName,
    .description = XdgOutputDescription,
};

void WmBasePing(void*, xdg_wm_base* base, std::uint32_t serial)
{
    xdg_wm_base_pong(base, serial);
}

const xdg_wm_base_listener WmBaseListener = {
    .ping = WmBasePing,
};

extern const wl_registry_listener RegistryListener;

class WaylandSession : public SessionDisplay {
public:
    // The registry's events.
    static void Global(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
                       std::uint32_t version);
    static void GlobalRemove(void* data, wl_registry* registry, std::uint32_t name);

    explicit WaylandSession(const WaylandOptions& options) : m_options(options)
    {
        m_display = ConnectToCompositor();
        m_registry = wl_display_get_registry(m_display);
        wl_registry_add_listener(m_registry, &RegistryListener, this);
    }

    ~WaylandSession()
    {
        for (auto& output : m_outputs)
            Forget(*output);
        m_outputs.clear();
        DropSurface(m_window);
        m_input.reset();
        if (m_globals.xdgOutputs != nullptr)
            zxdg_output_manager_v1_destroy(m_globals.xdgOutputs);
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
        // The globals, then what each says of itself (the outputs' scales and names).
        if (wl_display_roundtrip(m_display) < 0 || wl_display_roundtrip(m_display) < 0)
            return Ended();
        if (m_globals.compositor == nullptr || m_globals.shm == nullptr)
            throw ETalvexError(NoDisplayStatus, "the compositor offers no wl_compositor or wl_shm");
        if (m_globals.layerShell == nullptr) {
            if (m_globals.wmBase == nullptr)
                throw ETalvexError(NoDisplayStatus, "the compositor offers neither layer-shell nor xdg-shell");
            std::fprintf(stderr, "talvex: the compositor offers no layer-shell (wlr-layer-shell-unstable-v1); "
                                 "showing one full-screen window instead\n");
            m_window = std::make_unique<SceneSurface>(m_globals, SurfaceKind::Window, nullptr);
        }
        m_loop.TakePictures(loading);
        m_loop.StartTicking();
        return m_loop.Run(*this);
    }

    int Fd() const override { return wl_display_get_fd(m_display); }

    std::optional<int> TakeIn() override
    {
        Act();
        if ((m_input != nullptr && m_input->Ended()) || (m_window != nullptr && m_window->Closed()))
            return 0;
        return std::nullopt;
    }

    void Tick(Catalogue& pictures) override
    {
        for (auto& output : m_outputs)
            if (output->surface != nullptr)
                output->surface->Tick(pictures);
        if (m_window != nullptr)
            m_window->Tick(pictures);
    }

    std::optional<int> ReadyWait(bool& wantWrite) override
    {
        while (wl_display_prepare_read(m_display) != 0)
            if (wl_display_dispatch_pending(m_display) < 0)
                return Ended();
        if (wl_display_flush(m_display) < 0) {
            if (errno != EAGAIN) {
                wl_display_cancel_read(m_display);
                return Ended();
            }
            wantWrite = true;
        }
        return std::nullopt;
    }

    std::optional<int> AfterWait(short revents) override
    {
        if ((revents & (POLLIN | POLLERR | POLLHUP)) != 0) {
            if (wl_display_read_events(m_display) < 0)
                return Ended();
        } else {
            wl_display_cancel_read(m_display);
        }
        if (wl_display_dispatch_pending(m_display) < 0)
            return Ended();
        return std::nullopt;
    }

    void ForEachPlan(const std::function<void(const ScenePlan&)>& visit) const override
    {
        for (const auto& output : m_outputs)
            if (output->surface != nullptr)
                visit(output->surface->Plan());
        if (m_window != nullptr)
            visit(m_window->Plan());
    }

private:
    // The status when the connection has ended: the background's quiet end when the
    // compositor closed it (a lock screen's server does at unlock); a failure otherwise.
    int Ended() const
    {
        const int code = wl_display_get_error(m_display);
        if (code == EPROTO) {
            const wl_interface* interface = nullptr;
            std::uint32_t id = 0;
            const std::uint32_t protocolCode = wl_display_get_protocol_error(m_display, &interface, &id);
            char text[200];
            std::snprintf(text, sizeof text, "the compositor reported protocol error %u on %s@%u", protocolCode,
                          interface != nullptr ? interface->name : "?", id);
            throw ETalvexError(NoDisplayStatus, text);
        }
        if (m_options.role == WaylandRole::Background)
            return 0;
        throw ETalvexError(NoDisplayStatus, "the connection to the Wayland compositor was lost");
    }

    bool Wanted(const Output& output) const
    {
        return m_options.outputs.empty() || std::find(m_options.outputs.begin(), m_options.outputs.end(),
                                                      output.name) != m_options.outputs.end();
    }

    // Acts on what the compositor said: surfaces it closed go, outputs it described
    // anew get a surface (or their new scale).
    void Act()
    {
        std::erase_if(m_outputs, [this](std::unique_ptr<Output>& output) {
            if (output->removed)
                Forget(*output);
            return output->removed;
        });
        for (auto& output : m_outputs) {
            if (output->surface != nullptr && output->surface->Closed())
                DropSurface(output->surface);
            if (!output->announced)
                continue;
            output->announced = false;
            if (output->surface != nullptr)
                output->surface->SetScale(output->scale);
            else if (m_globals.layerShell != nullptr && Wanted(*output))
                MakeSurface(*output);
        }
        if (m_window != nullptr) {
            // The window is composed at the integer scale of the output it last entered.
            for (const auto& output : m_outputs)
                if (output->output == m_window->EnteredOutput())
                    m_window->SetScale(output->scale);
        }
    }

    void MakeSurface(Output& output)
    {
        output.surface = std::make_unique<SceneSurface>(
            m_globals, m_options.role == WaylandRole::Saver ? SurfaceKind::Overlay : SurfaceKind::Background,
            output.output);
        output.surface->SetScale(output.scale);
    }

    void DropSurface(std::unique_ptr<SceneSurface>& surface)
    {
        if (surface != nullptr && m_input != nullptr)
            m_input->Forget(surface.get());
        surface.reset();
    }

    // The output's objects go, with its surface.
    void Forget(Output& output)
    {
        DropSurface(output.surface);
        if (m_window != nullptr)
            m_window->OutputGone(output.output);
        if (output.xdgOutput != nullptr)
            zxdg_output_v1_destroy(output.xdgOutput);
        if (wl_output_get_version(output.output) >= WL_OUTPUT_RELEASE_SINCE_VERSION)
            wl_output_release(output.output);
        else
            wl_output_destroy(output.output);
    }

    // Names the output's xdg-output, where names come only from there.
    void AskName(Output& output)
    {
        if (m_globals.xdgOutputs == nullptr || output.xdgOutput != nullptr ||
            wl_output_get_version(output.output) >= WL_OUTPUT_NAME_SINCE_VERSION)
            return;
        output.xdgOutput = zxdg_output_manager_v1_get_xdg_output(m_globals.xdgOutputs, output.output);
        zxdg_output_v1_add_listener(output.xdgOutput, &XdgOutputListener, &output);
    }

    WaylandOptions m_options;
    wl_display* m_display = nullptr;
    wl_registry* m_registry = nullptr;
    WaylandGlobals m_globals;
    std::unique_ptr<SaverInput> m_input;
    std::vector<std::unique_ptr<Output>> m_outputs;
    std::unique_ptr<SceneSurface> m_window;
    SessionLoop m_loop;
};

const wl_registry_listener RegistryListener = {
    .global = WaylandSession::Global,
    .global_remove = WaylandSession::GlobalRemove,
};

template <typename T>
T* Bind(wl_registry* registry, std::uint32_t name, const wl_interface& interface, std::uint32_t offered,
        std::uint32_t wanted)
{
    return static_cast<T*>(wl_registry_bind(registry, name, &interface, std::min(offered, wanted)));
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
        xdg_wm_base_add_listener(g.wmBase, &WmBaseListener, &self);
    } else if (is(wp_viewporter_interface)) {
        g.viewporter = Bind<wp_viewporter>(registry, name, wp_viewporter_interface, version, 1);
    } else if (is(wp_fractional_scale_manager_v1_interface)) {
        g.fractionalScale = Bind<wp_fractional_scale_manager_v1>(registry, name,
                                                                 wp_fractional_scale_manager_v1_interface, version, 1);
    } else if (is(zxdg_output_manager_v1_interface) && version >= 2) {
        // Names came with version 2.
        g.xdgOutputs = Bind<zxdg_output_manager_v1>(registry, name, zxdg_output_manager_v1_interface, version, 3);
        for (auto& output : self.m_outputs)
            self.AskName(*output);
    } else if (is(wl_seat_interface) && self.m_options.role == WaylandRole::Saver && self.m_input == nullptr) {
        self.m_input = std::make_unique<SaverInput>(Bind<wl_seat>(registry, name, wl_seat_interface, version, 7));
    } else if (is(wl_output_interface) && version >= 2) {
        auto output = std::make_unique<Output>();
        output->global = name;
        output->output = Bind<wl_output>(registry, name, wl_output_interface, version, 4);
        wl_output_add_listener(output->output, &OutputListener, output.get());
        self.AskName(*output);
        self.m_outputs.push_back(std::move(output));
    }
}

void WaylandSession::GlobalRemove(void* data, wl_registry*, std::uint32_t name)
{
    auto& self = *static_cast<WaylandSession*>(data);
    for (auto& output : self.m_outputs)
        if (output->global == name)
            output->removed = true;
}

} // namespace

int RunWayland(const WaylandOptions& options, std::future<std::unique_ptr<Catalogue>>& loading)
{
    WaylandSession session(options);
    return session.Run(loading);
}
