// A surface with a scene of its own, on a layer of one output or as the full-screen window.
#include "hosts/wayland/SceneSurface.h"

#include "fractional-scale-v1-client-protocol.h"
#include "scene/FrameSize.h"
#include "scene/Tick.h"
#include "viewporter-client-protocol.h"
#include "hosts/wayland/LayerShell.h"
#include "xdg-shell-client-protocol.h"

#include <cmath>
#include <wayland-client.h>

namespace {

// The namespace compositors show in their layer lists and match rules against.
constexpr char LayerNamespace[] = "talvex";

} // namespace

void SceneSurface::MakeSurface(const WaylandGlobals& globals)
{
    static const wl_surface_listener Listener = {SurfaceEnter, SurfaceLeave};
    wl_surface_add_listener(m_surface, &Listener, this);
    if (globals.viewporter != nullptr && globals.fractionalScale != nullptr) {
        m_viewport = wp_viewporter_get_viewport(globals.viewporter, m_surface);
        m_fractional = wp_fractional_scale_manager_v1_get_fractional_scale(globals.fractionalScale, m_surface);
        static const wp_fractional_scale_v1_listener ScaleListener = {PreferredScale};
        wp_fractional_scale_v1_add_listener(m_fractional, &ScaleListener, this);
    }
}

SceneSurface::SceneSurface(const WaylandGlobals& globals, wl_output* output, SurfaceLayer layer)
    : m_surface(wl_compositor_create_surface(globals.compositor)), m_sink(globals.shm, m_surface)
{
    MakeSurface(globals);
    const bool overlay = layer == SurfaceLayer::Overlay;
    m_layer = zwlr_layer_shell_v1_get_layer_surface(
        globals.layerShell, m_surface, output,
        overlay ? ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY : ZWLR_LAYER_SHELL_V1_LAYER_BACKGROUND, LayerNamespace);
    static const zwlr_layer_surface_v1_listener Listener = {LayerConfigure, LayerClosed};
    zwlr_layer_surface_v1_add_listener(m_layer, &Listener, this);
    zwlr_layer_surface_v1_set_anchor(m_layer, ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
                                                  ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT |
                                                  ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
    // Over (or under) the panels too, not in the space they leave.
    zwlr_layer_surface_v1_set_exclusive_zone(m_layer, -1);
    zwlr_layer_surface_v1_set_keyboard_interactivity(m_layer, overlay ? 1 : 0);
    if (!overlay) {
        // No pointer either: the input region is empty.
        wl_region* none = wl_compositor_create_region(globals.compositor);
        wl_surface_set_input_region(m_surface, none);
        wl_region_destroy(none);
    }
    // The first commit, without a buffer, asks for the size.
    wl_surface_commit(m_surface);
}

SceneSurface::SceneSurface(const WaylandGlobals& globals)
    : m_surface(wl_compositor_create_surface(globals.compositor)), m_sink(globals.shm, m_surface)
{
    MakeSurface(globals);
    m_xdgSurface = xdg_wm_base_get_xdg_surface(globals.wmBase, m_surface);
    static const xdg_surface_listener SurfaceListener = {XdgConfigure};
    xdg_surface_add_listener(m_xdgSurface, &SurfaceListener, this);
    m_toplevel = xdg_surface_get_toplevel(m_xdgSurface);
    static const xdg_toplevel_listener ToplevelListener = {
        ToplevelConfigure, ToplevelClose, [](void*, xdg_toplevel*, std::int32_t, std::int32_t) {},
        [](void*, xdg_toplevel*, wl_array*) {}};
    xdg_toplevel_add_listener(m_toplevel, &ToplevelListener, this);
    xdg_toplevel_set_title(m_toplevel, "talvex");
    xdg_toplevel_set_app_id(m_toplevel, "talvex");
    xdg_toplevel_set_fullscreen(m_toplevel, nullptr);
    wl_surface_commit(m_surface);
}

SceneSurface::~SceneSurface()
{
    if (m_frame != nullptr)
        wl_callback_destroy(m_frame);
    // The buffers go with the sink, after the roles and before the surface.
    if (m_layer != nullptr)
        zwlr_layer_surface_v1_destroy(m_layer);
    if (m_toplevel != nullptr)
        xdg_toplevel_destroy(m_toplevel);
    if (m_xdgSurface != nullptr)
        xdg_surface_destroy(m_xdgSurface);
    if (m_fractional != nullptr)
        wp_fractional_scale_v1_destroy(m_fractional);
    if (m_viewport != nullptr)
        wp_viewport_destroy(m_viewport);
    m_sink.Drop();
    wl_surface_destroy(m_surface);
}

SceneSurface* SceneSurface::Of(wl_surface* surface)
{
    return surface == nullptr ? nullptr : static_cast<SceneSurface*>(wl_surface_get_user_data(surface));
}

void SceneSurface::SetScale(int scale)
{
    m_scale = scale < 1 ? 1 : scale;
}

double SceneSurface::PixelsPerUnit() const
{
    return m_scale120 != 0 ? m_scale120 / 120.0 : m_scale;
}

int SceneSurface::PixelWidth() const
{
    // The fractional protocol's rounding: half away from zero.
    return m_scale120 != 0 ? static_cast<int>(std::lround(m_width * PixelsPerUnit())) : m_width * m_scale;
}

int SceneSurface::PixelHeight() const
{
    return m_scale120 != 0 ? static_cast<int>(std::lround(m_height * PixelsPerUnit())) : m_height * m_scale;
}

void SceneSurface::OutputGone(wl_output* output)
{
    if (m_enteredOutput == output)
        m_enteredOutput = nullptr;
}

void SceneSurface::Tick(Catalogue& catalogue)
{
    if (!m_configured || m_closed || m_frame != nullptr || m_width <= 0 || m_height <= 0)
        return;
    const FrameSize size{PixelWidth(), PixelHeight()};
    if (!m_sink.CanTake(size.Width, size.Height))
        return;
    if (m_viewport != nullptr && m_scale120 != 0) {
        wl_surface_set_buffer_scale(m_surface, 1);
        wp_viewport_set_destination(m_viewport, m_width, m_height);
    } else {
        wl_surface_set_buffer_scale(m_surface, m_scale);
    }
    // The frame goes to the compositor even when the tick failed part way: the sink
    // has attached what was drawn. A frame that changed nothing is not sent at all.
    struct Commit {
        SceneSurface& surface;
        ~Commit()
        {
            if (!surface.m_sink.TakeAttached())
                return;
            surface.m_frame = wl_surface_frame(surface.m_surface);
            static const wl_callback_listener Listener = {FrameDone};
            wl_callback_add_listener(surface.m_frame, &Listener, &surface);
            wl_surface_commit(surface.m_surface);
        }
    } commit{*this};
    ComposeTick(m_scene, catalogue, size, m_sink);
}

void SceneSurface::LayerConfigure(void* data, zwlr_layer_surface_v1* layer, std::uint32_t serial, std::uint32_t width,
                                  std::uint32_t height)
{
    auto& self = *static_cast<SceneSurface*>(data);
    zwlr_layer_surface_v1_ack_configure(layer, serial);
    self.m_width = static_cast<int>(width);
    self.m_height = static_cast<int>(height);
    self.m_configured = true;
}

void SceneSurface::LayerClosed(void* data, zwlr_layer_surface_v1*)
{
    static_cast<SceneSurface*>(data)->m_closed = true;
}

void SceneSurface::XdgConfigure(void* data, xdg_surface* surface, std::uint32_t serial)
{
    xdg_surface_ack_configure(surface, serial);
    static_cast<SceneSurface*>(data)->m_configured = true;
}

void SceneSurface::ToplevelConfigure(void* data, xdg_toplevel*, std::int32_t width, std::int32_t height, wl_array*)
{
    auto& self = *static_cast<SceneSurface*>(data);
    // 0 leaves the size to the client: it keeps the last one, or a first guess.
    if (width > 0 && height > 0) {
        self.m_width = width;
        self.m_height = height;
    } else if (self.m_width == 0) {
        self.m_width = 1280;
        self.m_height = 1024;
    }
}

void SceneSurface::ToplevelClose(void* data, xdg_toplevel*)
{
    static_cast<SceneSurface*>(data)->m_closed = true;
}

void SceneSurface::FrameDone(void* data, wl_callback* callback, std::uint32_t)
{
    auto& self = *static_cast<SceneSurface*>(data);
    wl_callback_destroy(callback);
    self.m_frame = nullptr;
}

void SceneSurface::SurfaceEnter(void* data, wl_surface*, wl_output* output)
{
    static_cast<SceneSurface*>(data)->m_enteredOutput = output;
}

void SceneSurface::SurfaceLeave(void*, wl_surface*, wl_output*) {}

void SceneSurface::PreferredScale(void* data, wp_fractional_scale_v1*, std::uint32_t scale120)
{
    static_cast<SceneSurface*>(data)->m_scale120 = scale120;
}
