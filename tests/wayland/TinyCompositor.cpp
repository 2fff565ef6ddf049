// The tests' own compositor: just what a layer-shell client needs to show frames.
#include "TinyCompositor.h"

#include "fractional-scale-v1-server-protocol.h"
#include "viewporter-server-protocol.h"

#include <algorithm>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <wayland-server.h>

// The generated header names a parameter `namespace`, a word C++ keeps for itself.
#define namespace layerNamespace
#include "wlr-layer-shell-unstable-v1-server-protocol.h"
#undef namespace

namespace {

using Surface = TinyCompositor::Surface;

Surface& SurfaceOf(wl_resource* resource)
{
    return *static_cast<Surface*>(wl_resource_get_user_data(resource));
}

TinyCompositor& CompositorOf(wl_resource* resource)
{
    return *static_cast<TinyCompositor*>(wl_resource_get_user_data(resource));
}

void DestroyResource(wl_client*, wl_resource* resource)
{
    wl_resource_destroy(resource);
}

void Ignore4(wl_client*, wl_resource*, std::int32_t, std::int32_t, std::int32_t, std::int32_t) {}

void IgnoreInt(wl_client*, wl_resource*, std::int32_t) {}

void IgnoreUint(wl_client*, wl_resource*, std::uint32_t) {}

void IgnoreResource(wl_client*, wl_resource*, wl_resource*) {}

// The buffer's pixels (XRGB8888) as a screenshot's RGB.
Screenshot Copy(wl_resource* buffer)
{
    Screenshot shot;
    wl_shm_buffer* shm = wl_shm_buffer_get(buffer);
    if (shm == nullptr)
        return shot;
    shot.width = wl_shm_buffer_get_width(shm);
    shot.height = wl_shm_buffer_get_height(shm);
    const int stride = wl_shm_buffer_get_stride(shm);
    shot.bytes.reserve(static_cast<std::size_t>(shot.width) * shot.height * 3);
    wl_shm_buffer_begin_access(shm);
    const auto* data = static_cast<const std::uint8_t*>(wl_shm_buffer_get_data(shm));
    for (int y = 0; y < shot.height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(data + static_cast<std::ptrdiff_t>(y) * stride);
        for (int x = 0; x < shot.width; ++x)
            shot.bytes.insert(shot.bytes.end(), {static_cast<std::uint8_t>(row[x] >> 16),
                                                 static_cast<std::uint8_t>(row[x] >> 8),
                                                 static_cast<std::uint8_t>(row[x])});
    }
    wl_shm_buffer_end_access(shm);
    return shot;
}

void Attach(wl_client*, wl_resource* resource, wl_resource* buffer, std::int32_t, std::int32_t)
{
    SurfaceOf(resource).buffer = buffer;
}

void Frame(wl_client* client, wl_resource* resource, std::uint32_t id)
{
    SurfaceOf(resource).frames.push_back(wl_resource_create(client, &wl_callback_interface, 1, id));
}

void Commit(wl_client* client, wl_resource* resource)
{
    Surface& surface = SurfaceOf(resource);
    if (surface.layer != nullptr && !surface.configured && surface.output != nullptr) {
        zwlr_layer_surface_v1_send_configure(surface.layer, wl_display_next_serial(wl_client_get_display(client)),
                                             static_cast<std::uint32_t>(surface.output->width),
                                             static_cast<std::uint32_t>(surface.output->height));
        surface.configured = true;
    }
    surface.bufferScale = surface.pendingScale;
    surface.viewportWidth = surface.pendingViewportWidth;
    surface.viewportHeight = surface.pendingViewportHeight;
    // The contents are taken at once, as a renderer that copies them does.
    if (surface.buffer != nullptr) {
        surface.shown = Copy(surface.buffer);
        wl_buffer_send_release(surface.buffer);
        surface.buffer = nullptr;
        ++surface.buffersCommitted;
    }
    for (wl_resource* frame : surface.frames) {
        wl_callback_send_done(frame, 0);
        wl_resource_destroy(frame);
    }
    surface.frames.clear();
}

void SetBufferScale(wl_client*, wl_resource* resource, std::int32_t scale)
{
    SurfaceOf(resource).pendingScale = scale;
}

const struct wl_surface_interface SurfaceImplementation = {
    .destroy = DestroyResource,
    .attach = Attach,
    .damage = Ignore4,
    .frame = Frame,
    .set_opaque_region = IgnoreResource,
    .set_input_region = IgnoreResource,
    .commit = Commit,
    .set_buffer_transform = IgnoreInt,
    .set_buffer_scale = SetBufferScale,
    .damage_buffer = Ignore4,
    .offset = [](wl_client*, wl_resource*, std::int32_t, std::int32_t) {},
};

const struct wl_region_interface RegionImplementation = {
    .destroy = DestroyResource,
    .add = Ignore4,
    .subtract = Ignore4,
};

void CreateSurface(wl_client* client, wl_resource* resource, std::uint32_t id)
{
    wl_resource* made = wl_resource_create(client, &wl_surface_interface, wl_resource_get_version(resource), id);
    Surface& surface = CompositorOf(resource).NewSurface(made);
    wl_resource_set_implementation(made, &SurfaceImplementation, &surface, [](wl_resource* gone) {
        Surface& state = SurfaceOf(gone);
        state.surface = nullptr;
        state.buffer = nullptr;
        for (wl_resource* frame : state.frames)
            wl_resource_destroy(frame);
        state.frames.clear();
    });
}

void CreateRegion(wl_client* client, wl_resource* resource, std::uint32_t id)
{
    wl_resource* region = wl_resource_create(client, &wl_region_interface, wl_resource_get_version(resource), id);
    wl_resource_set_implementation(region, &RegionImplementation, nullptr, nullptr);
}

const struct wl_compositor_interface CompositorImplementation = {
    .create_surface = CreateSurface,
    .create_region = CreateRegion,
};

const struct zwlr_layer_surface_v1_interface LayerSurfaceImplementation = {
    .set_size = [](wl_client*, wl_resource*, std::uint32_t, std::uint32_t) {},
    .set_anchor = IgnoreUint,
    .set_exclusive_zone = IgnoreInt,
    .set_margin = Ignore4,
    .set_keyboard_interactivity = IgnoreUint,
    .get_popup = IgnoreResource,
    .ack_configure = IgnoreUint,
    .destroy = DestroyResource,
    .set_layer = IgnoreUint,
};

void GetLayerSurface(wl_client* client, wl_resource* resource, std::uint32_t id, wl_resource* surface,
                     wl_resource* output, std::uint32_t, const char*)
{
    wl_resource* layer =
        wl_resource_create(client, &zwlr_layer_surface_v1_interface, wl_resource_get_version(resource), id);
    Surface& state = SurfaceOf(surface);
    state.layer = layer;
    state.output = output != nullptr ? static_cast<TinyCompositor::Output*>(wl_resource_get_user_data(output))
                                     : nullptr;
    wl_resource_set_implementation(layer, &LayerSurfaceImplementation, &state,
                                   [](wl_resource* gone) { SurfaceOf(gone).layer = nullptr; });
}

const struct zwlr_layer_shell_v1_interface LayerShellImplementation = {
    .get_layer_surface = GetLayerSurface,
    .destroy = DestroyResource,
};

void SetDestination(wl_client*, wl_resource* resource, std::int32_t width, std::int32_t height)
{
    if (auto* surface = static_cast<Surface*>(wl_resource_get_user_data(resource))) {
        surface->pendingViewportWidth = width;
        surface->pendingViewportHeight = height;
    }
}

const struct wp_viewport_interface ViewportImplementation = {
    .destroy = DestroyResource,
    .set_source = [](wl_client*, wl_resource*, wl_fixed_t, wl_fixed_t, wl_fixed_t, wl_fixed_t) {},
    .set_destination = SetDestination,
};

void GetViewport(wl_client* client, wl_resource* resource, std::uint32_t id, wl_resource* surface)
{
    wl_resource* viewport = wl_resource_create(client, &wp_viewport_interface, wl_resource_get_version(resource), id);
    wl_resource_set_implementation(viewport, &ViewportImplementation, &SurfaceOf(surface), nullptr);
}

const struct wp_viewporter_interface ViewporterImplementation = {
    .destroy = DestroyResource,
    .get_viewport = GetViewport,
};

const struct wp_fractional_scale_v1_interface FractionalImplementation = {
    .destroy = DestroyResource,
};

void GetFractionalScale(wl_client* client, wl_resource* resource, std::uint32_t id, wl_resource* surface)
{
    wl_resource* made =
        wl_resource_create(client, &wp_fractional_scale_v1_interface, wl_resource_get_version(resource), id);
    Surface& state = SurfaceOf(surface);
    state.fractional = made;
    wl_resource_set_implementation(made, &FractionalImplementation, &state,
                                   [](wl_resource* gone) { SurfaceOf(gone).fractional = nullptr; });
    wp_fractional_scale_v1_send_preferred_scale(made, CompositorOf(resource).PreferredScale());
}

const struct wp_fractional_scale_manager_v1_interface FractionalManagerImplementation = {
    .destroy = DestroyResource,
    .get_fractional_scale = GetFractionalScale,
};

const struct wl_output_interface OutputImplementation = {
    .release = DestroyResource,
};

void SendDescription(wl_resource* resource, const TinyCompositor::Output& output)
{
    wl_output_send_geometry(resource, 0, 0, 0, 0, WL_OUTPUT_SUBPIXEL_UNKNOWN, "tiny", "tiny",
                            WL_OUTPUT_TRANSFORM_NORMAL);
    wl_output_send_mode(resource, WL_OUTPUT_MODE_CURRENT | WL_OUTPUT_MODE_PREFERRED, output.width, output.height,
                        60000);
    wl_output_send_scale(resource, 1);
    if (wl_resource_get_version(resource) >= WL_OUTPUT_NAME_SINCE_VERSION)
        wl_output_send_name(resource, output.name.c_str());
    wl_output_send_done(resource);
}

void BindOutput(wl_client* client, void* data, std::uint32_t version, std::uint32_t id)
{
    auto& output = *static_cast<TinyCompositor::Output*>(data);
    wl_resource* resource = wl_resource_create(client, &wl_output_interface, static_cast<int>(version), id);
    wl_resource_set_implementation(resource, &OutputImplementation, &output, [](wl_resource* gone) {
        auto& bound = static_cast<TinyCompositor::Output*>(wl_resource_get_user_data(gone))->bound;
        std::erase(bound, gone);
    });
    output.bound.push_back(resource);
    SendDescription(resource, output);
}

template <auto Implementation, const wl_interface& Interface>
void Bind(wl_client* client, void* data, std::uint32_t version, std::uint32_t id)
{
    wl_resource* resource = wl_resource_create(client, &Interface, static_cast<int>(version), id);
    wl_resource_set_implementation(resource, Implementation, data, nullptr);
}

void CountRequests(void* data, wl_protocol_logger_type type, const wl_protocol_logger_message*)
{
    if (type == WL_PROTOCOL_LOGGER_REQUEST)
        static_cast<TinyCompositor*>(data)->CountRequest();
}

} // namespace

TinyCompositor::TinyCompositor(std::uint32_t preferredScale120) : m_scale120(preferredScale120)
{
    m_display = wl_display_create();
    wl_display_init_shm(m_display);
    wl_display_add_protocol_logger(m_display, CountRequests, this);
    wl_global_create(m_display, &wl_compositor_interface, 4, this,
                     Bind<&CompositorImplementation, wl_compositor_interface>);
    wl_global_create(m_display, &zwlr_layer_shell_v1_interface, 4, this,
                     Bind<&LayerShellImplementation, zwlr_layer_shell_v1_interface>);
    wl_global_create(m_display, &wp_viewporter_interface, 1, this,
                     Bind<&ViewporterImplementation, wp_viewporter_interface>);
    if (preferredScale120 != 0)
        wl_global_create(m_display, &wp_fractional_scale_manager_v1_interface, 1, this,
                         Bind<&FractionalManagerImplementation, wp_fractional_scale_manager_v1_interface>);
    // The socket in the test's own folder, not in the process's runtime folder.
    m_socket = "wayland-tiny";
    const std::string path = (m_folder / m_socket).string();
    const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path.copy(address.sun_path, sizeof address.sun_path - 1);
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 || listen(fd, 4) != 0 ||
        wl_display_add_socket_fd(m_display, fd) != 0)
        close(fd);
}

TinyCompositor::~TinyCompositor()
{
    wl_display_destroy_clients(m_display);
    wl_display_destroy(m_display);
}

std::vector<std::string> TinyCompositor::Environment() const
{
    return {"XDG_RUNTIME_DIR=" + m_folder.Path().string(), "WAYLAND_DISPLAY=" + m_socket};
}

int TinyCompositor::HandOver()
{
    int ends[2];
    if (socketpair(AF_UNIX, SOCK_STREAM, 0, ends) != 0)
        return -1;
    fcntl(ends[0], F_SETFD, FD_CLOEXEC);
    if (wl_client_create(m_display, ends[0]) == nullptr) {
        close(ends[0]);
        close(ends[1]);
        return -1;
    }
    return ends[1];
}

void TinyCompositor::CloseClients()
{
    wl_list* clients = wl_display_get_client_list(m_display);
    while (wl_list_empty(clients) == 0)
        wl_client_destroy(wl_client_from_link(clients->next));
}

TinyCompositor::Output& TinyCompositor::AddOutput(const std::string& name, int width, int height)
{
    Output& output = m_outputs.emplace_back(Output{name, width, height, nullptr, {}});
    output.global = wl_global_create(m_display, &wl_output_interface, 4, &output, BindOutput);
    return output;
}

void TinyCompositor::RemoveOutput(Output& output)
{
    wl_global_remove(output.global);
}

void TinyCompositor::Announce(Output& output)
{
    for (wl_resource* resource : output.bound)
        SendDescription(resource, output);
}

void TinyCompositor::Close(Surface& surface)
{
    if (surface.layer != nullptr)
        zwlr_layer_surface_v1_send_closed(surface.layer);
}

void TinyCompositor::SetPreferredScale(std::uint32_t scale120)
{
    m_scale120 = scale120;
    for (const Surface& surface : m_surfaces)
        if (surface.fractional != nullptr)
            wp_fractional_scale_v1_send_preferred_scale(surface.fractional, scale120);
}

TinyCompositor::Surface& TinyCompositor::NewSurface(wl_resource* surface)
{
    Surface& made = m_surfaces.emplace_back();
    made.surface = surface;
    return made;
}

TinyCompositor::Surface* TinyCompositor::On(const Output& output)
{
    for (Surface& surface : m_surfaces)
        if (surface.output == &output && surface.layer != nullptr && surface.surface != nullptr)
            return &surface;
    return nullptr;
}

bool TinyCompositor::PumpUntil(const std::function<bool()>& condition, std::chrono::milliseconds deadline)
{
    const auto end = std::chrono::steady_clock::now() + deadline;
    wl_event_loop* loop = wl_display_get_event_loop(m_display);
    while (std::chrono::steady_clock::now() < end) {
        wl_display_flush_clients(m_display);
        if (condition())
            return true;
        wl_event_loop_dispatch(loop, 20);
    }
    wl_display_flush_clients(m_display);
    return condition();
}
