// A surface with a scene of its own, on a layer of one output or as the full-screen window.
#include "hosts/wayland/SceneSurface.h"

#include "fractional-scale-v1-client-protocol.h"
#include "hosts/wayland/LayerShell.h"
#include "scene/FrameSize.h"
#include "scene/Tick.h"
#include "viewporter-client-protocol.h"
#include "xdg-shell-client-protocol.h"

#include <cmath>
#include <wayland-client.h>

namespace {

// The namespace compositors show in their layer lists and match rules against.
constexpr char LayerNamespace[] = "talvex";

// Every callback's data is the surface's SurfaceFacts.
SurfaceFacts& FactsOf(void* data)
{
    return *static_cast<SurfaceFacts*>(data);
}

void LayerConfigure(void* data, zwlr_layer_surface_v1* layer, std::uint32_t serial, std::uint32_t width,
                    std::uint32_t height)
{
    SurfaceFacts& facts = FactsOf(data);
    zwlr_layer_surface_v1_ack_configure(layer, serial);
    facts.width = static_cast<int>(width);
    facts.height = static_cast<int>(height);
    facts.configured = true;
}

void LayerClosed(void* data, zwlr_layer_surface_v1*)
{
    FactsOf(data).closed = true;
}

const zwlr_layer_surface_v1_listener LayerListener = {
    .configure = LayerConfigure,
    .closed = LayerClosed,
};

void XdgConfigure(void* data, xdg_surface* surface, std::uint32_t serial)
{
    xdg_surface_ack_configure(surface, serial);
    FactsOf(data).configured = true;
}

const xdg_surface_listener XdgSurfaceListener = {
    .configure = XdgConfigure,
};

void ToplevelConfigure(void* data, xdg_toplevel*, std::int32_t width, std::int32_t height, wl_array*)
{
    SurfaceFacts& facts = FactsOf(data);
    // 0 leaves the size to the client: it keeps the last one, or a first guess.
    if (width > 0 && height > 0) {
        facts.width = width;
        facts.height = height;
    } else if (facts.width == 0) {
        facts.width = 1280;
        facts.height = 1024;
    }
}

void ToplevelClose(void* data, xdg_toplevel*)
{
    FactsOf(data).closed = true;
}

void ToplevelBounds(void*, xdg_toplevel*, std::int32_t, std::int32_t) {}

void ToplevelCapabilities(void*, xdg_toplevel*, wl_array*) {}

const xdg_toplevel_listener ToplevelListener = {
    .configure = ToplevelConfigure,
    .close = ToplevelClose,
    .configure_bounds = ToplevelBounds,
    .wm_capabilities = ToplevelCapabilities,
};

void SurfaceEnter(void* data, wl_surface*, wl_output* output)
{
    FactsOf(data).entered = output;
}

void SurfaceLeave(void*, wl_surface*, wl_output*) {}

const wl_surface_listener SurfaceListener = {
    .enter = SurfaceEnter,
    .leave = SurfaceLeave,
};

void PreferredScale(void* data, wp_fractional_scale_v1*, std::uint32_t scale120)
{
    FactsOf(data).scale120 = scale120;
}

const wp_fractional_scale_v1_listener FractionalListener = {
    .preferred_scale = PreferredScale,
};

void FrameDone(void* data, wl_callback* callback, std::uint32_t)
{
    wl_callback_destroy(callback);
    FactsOf(data).frame = nullptr;
}

const wl_callback_listener FrameListener = {
    .done = FrameDone,
};

} // namespace

SceneSurface::SceneSurface(const WaylandGlobals& globals, SurfaceKind kind, wl_output* output)
    : m_kind(kind), m_surface(wl_compositor_create_surface(globals.compositor)), m_sink(globals.shm)
{
    m_facts.owner = this;
    wl_surface_add_listener(m_surface, &SurfaceListener, &m_facts);
    if (globals.viewporter != nullptr && globals.fractionalScale != nullptr) {
        m_viewport = wp_viewporter_get_viewport(globals.viewporter, m_surface);
        m_fractional = wp_fractional_scale_manager_v1_get_fractional_scale(globals.fractionalScale, m_surface);
        wp_fractional_scale_v1_add_listener(m_fractional, &FractionalListener, &m_facts);
    }
    if (kind == SurfaceKind::Window) {
        m_xdgSurface = xdg_wm_base_get_xdg_surface(globals.wmBase, m_surface);
        xdg_surface_add_listener(m_xdgSurface, &XdgSurfaceListener, &m_facts);
        m_toplevel = xdg_surface_get_toplevel(m_xdgSurface);
        xdg_toplevel_add_listener(m_toplevel, &ToplevelListener, &m_facts);
        xdg_toplevel_set_title(m_toplevel, "talvex");
        xdg_toplevel_set_app_id(m_toplevel, "talvex");
        xdg_toplevel_set_fullscreen(m_toplevel, nullptr);
    } else {
        const bool overlay = kind == SurfaceKind::Overlay;
        m_layer = zwlr_layer_shell_v1_get_layer_surface(
            globals.layerShell, m_surface, output,
            overlay ? ZWLR_LAYER_SHELL_V1_LAYER_OVERLAY : ZWLR_LAYER_SHELL_V1_LAYER_BACKGROUND, LayerNamespace);
        zwlr_layer_surface_v1_add_listener(m_layer, &LayerListener, &m_facts);
        zwlr_layer_surface_v1_set_anchor(m_layer,
                                         ZWLR_LAYER_SURFACE_V1_ANCHOR_TOP | ZWLR_LAYER_SURFACE_V1_ANCHOR_BOTTOM |
                                             ZWLR_LAYER_SURFACE_V1_ANCHOR_LEFT | ZWLR_LAYER_SURFACE_V1_ANCHOR_RIGHT);
        // Over (or under) the panels too, not in the space they leave.
        zwlr_layer_surface_v1_set_exclusive_zone(m_layer, -1);
        zwlr_layer_surface_v1_set_keyboard_interactivity(m_layer, overlay ? 1 : 0);
        if (!overlay) {
            // No pointer either: the input region is empty.
            wl_region* none = wl_compositor_create_region(globals.compositor);
            wl_surface_set_input_region(m_surface, none);
            wl_region_destroy(none);
        }
    }
    // The first commit, without a buffer, asks for the size.
    wl_surface_commit(m_surface);
}

SceneSurface::~SceneSurface()
{
    if (m_facts.frame != nullptr)
        wl_callback_destroy(m_facts.frame);
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
    // The kept frame may live in a buffer: it goes first, then the buffers, then the
    // surface they were shown on.
    m_scene.Kept.Frame = Raster(0, 0);
    m_sink.Drop();
    wl_surface_destroy(m_surface);
}

SceneSurface* SceneSurface::Of(wl_surface* surface)
{
    if (surface == nullptr)
        return nullptr;
    const auto* facts = static_cast<SurfaceFacts*>(wl_surface_get_user_data(surface));
    return facts != nullptr ? facts->owner : nullptr;
}

void SceneSurface::SetScale(int scale)
{
    m_scale = scale < 1 ? 1 : scale;
}

bool SceneSurface::Viewed() const
{
    return m_viewport != nullptr && m_facts.scale120 != 0;
}

double SceneSurface::PixelsPerUnit() const
{
    return Viewed() ? m_facts.scale120 / 120.0 : m_scale;
}

int SceneSurface::PixelWidth() const
{
    // The fractional protocol's rounding: half away from zero.
    return Viewed() ? static_cast<int>(std::lround(m_facts.width * PixelsPerUnit())) : m_facts.width * m_scale;
}

int SceneSurface::PixelHeight() const
{
    return Viewed() ? static_cast<int>(std::lround(m_facts.height * PixelsPerUnit())) : m_facts.height * m_scale;
}

void SceneSurface::OutputGone(wl_output* output)
{
    if (m_facts.entered == output)
        m_facts.entered = nullptr;
}

bool SceneSurface::Tick(Catalogue& catalogue)
{
    if (!m_facts.configured || m_facts.closed || m_facts.frame != nullptr || m_facts.width <= 0 ||
        m_facts.height <= 0)
        return false;
    const FrameSize size{PixelWidth(), PixelHeight()};
    if (!m_sink.Lend(m_scene.Kept, size.Width, size.Height))
        return false;
    const Mapping mapping = Viewed() ? Mapping{1, m_facts.width, m_facts.height} : Mapping{m_scale, -1, -1};
    if (mapping != m_mapped)
        m_sink.ShowWhole();
    try {
        ComposeTick(m_scene, catalogue, size, m_sink);
    } catch (...) {
        // A tick that failed part way still shows what it drew, as on X11.
        ShmFrameSink::Shown shown;
        if (m_sink.TakeShown(shown))
            Present(shown, mapping);
        throw;
    }
    ShmFrameSink::Shown shown;
    if (!m_sink.TakeShown(shown))
        return false;
    Present(shown, mapping);
    return true;
}

void SceneSurface::Present(const ShmFrameSink::Shown& shown, const Mapping& mapping)
{
    // The scale and the viewport go only when they change: a request in every frame
    // would wake the compositor for nothing.
    if (mapping != m_mapped) {
        wl_surface_set_buffer_scale(m_surface, mapping.bufferScale);
        if (m_viewport != nullptr)
            wp_viewport_set_destination(m_viewport, mapping.width, mapping.height);
        m_mapped = mapping;
    }
    wl_surface_attach(m_surface, shown.buffer, 0, 0);
    for (const Rect& area : shown.damage)
        wl_surface_damage_buffer(m_surface, area.Left, area.Top, area.Width(), area.Height());
    m_facts.frame = wl_surface_frame(m_surface);
    wl_callback_add_listener(m_facts.frame, &FrameListener, &m_facts);
    wl_surface_commit(m_surface);
}
