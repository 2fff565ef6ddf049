// One surface that shows a scene of its own: a layer-shell surface on one output (the
// overlay layer as a saver, the background layer as a wallpaper), or the one full-screen
// xdg-shell window where the compositor has no layer-shell. It is composed at its size
// in the output's own pixels: the compositor's size times the output's integer scale
// (the buffer scale), or, where the compositor says a fractional scale, that scale's
// pixels shown through a viewport of the compositor's size.
#pragma once

#include "hosts/wayland/ShmFrameSink.h"
#include "hosts/wayland/WaylandGlobals.h"
#include "scene/Scene.h"

#include <cstdint>

class Catalogue;
struct wl_callback;
struct wl_output;
struct wl_surface;
struct xdg_surface;
struct xdg_toplevel;
struct zwlr_layer_surface_v1;
struct wp_viewport;
struct wp_fractional_scale_v1;

enum class SurfaceLayer { Overlay, Background };

class SceneSurface {
public:
    // A layer surface anchored to every edge of output. The overlay one takes the
    // keyboard exclusively; the background one takes no input at all.
    SceneSurface(const WaylandGlobals& globals, wl_output* output, SurfaceLayer layer);
    // The full-screen window, for compositors without layer-shell.
    explicit SceneSurface(const WaylandGlobals& globals);
    ~SceneSurface();
    SceneSurface(const SceneSurface&) = delete;
    SceneSurface& operator=(const SceneSurface&) = delete;

    // The SceneSurface behind one of this client's surfaces (pointer events name them).
    static SceneSurface* Of(wl_surface* surface);

    // The output's integer scale, from its wl_output; the window takes the largest of
    // the outputs it is on.
    void SetScale(int scale);
    int Scale() const { return m_scale; }
    // Output pixels per unit of the surface's own coordinates.
    double PixelsPerUnit() const;
    // The compositor closed it (layer surface closed, window asked to close).
    bool Closed() const { return m_closed; }
    // Composes and commits a frame when the surface is configured, the compositor has
    // shown the last one and a buffer is free; otherwise the scene waits.
    void Tick(Catalogue& catalogue);
    // The plan of its scene: what the pictures decoded ahead are for.
    const ScenePlan& Plan() const { return m_scene.Plan; }
    // The output the window was last shown on (its scale is the window's), until it goes.
    wl_output* EnteredOutput() const { return m_enteredOutput; }
    void OutputGone(wl_output* output);

private:
    static void LayerConfigure(void* data, zwlr_layer_surface_v1* layer, std::uint32_t serial, std::uint32_t width,
                               std::uint32_t height);
    static void LayerClosed(void* data, zwlr_layer_surface_v1* layer);
    static void XdgConfigure(void* data, xdg_surface* surface, std::uint32_t serial);
    static void ToplevelConfigure(void* data, xdg_toplevel* toplevel, std::int32_t width, std::int32_t height,
                                  struct wl_array* states);
    static void ToplevelClose(void* data, xdg_toplevel* toplevel);
    static void FrameDone(void* data, wl_callback* callback, std::uint32_t time);
    static void SurfaceEnter(void* data, wl_surface* surface, wl_output* output);
    static void SurfaceLeave(void* data, wl_surface* surface, wl_output* output);
    static void PreferredScale(void* data, wp_fractional_scale_v1* scale, std::uint32_t scale120);

    void MakeSurface(const WaylandGlobals& globals);
    int PixelWidth() const;
    int PixelHeight() const;

    wl_surface* m_surface = nullptr;
    zwlr_layer_surface_v1* m_layer = nullptr;
    xdg_surface* m_xdgSurface = nullptr;
    xdg_toplevel* m_toplevel = nullptr;
    wp_viewport* m_viewport = nullptr;
    wp_fractional_scale_v1* m_fractional = nullptr;
    wl_callback* m_frame = nullptr;
    ShmFrameSink m_sink;
    Scene m_scene;

    // The compositor's size, in surface units; 0 until configured.
    int m_width = 0;
    int m_height = 0;
    bool m_configured = false;
    bool m_closed = false;
    int m_scale = 1;
    // The compositor's fractional scale in 120ths; 0 where it says none.
    std::uint32_t m_scale120 = 0;
    wl_output* m_enteredOutput = nullptr;
};
