// One surface that shows a scene of its own, in one of three kinds: a layer surface on
// one output, on the overlay layer as a saver or the background layer as a wallpaper;
// or the one full-screen xdg-shell window where the compositor has no layer-shell. It
// is composed at its size in the output's own pixels: the compositor's size times the
// integer scale it is given (the buffer scale), or, where the compositor says a
// fractional scale, that scale's pixels shown through a viewport of the compositor's
// size. Its callbacks only note what the compositor said; Tick acts on it, and Present
// is the one place that shows a frame on the wl_surface.
#pragma once

#include "hosts/wayland/ShmFrameSink.h"
#include "hosts/wayland/WaylandGlobals.h"
#include "scene/Scene.h"

#include <cstdint>
#include <span>

class Catalogue;
class SceneSurface;
struct wl_callback;
struct wl_output;
struct wl_surface;
struct xdg_surface;
struct xdg_toplevel;
struct zwlr_layer_surface_v1;
struct wp_viewport;
struct wp_fractional_scale_v1;

enum class SurfaceKind { Overlay, Background, Window };

// What the compositor has said of a surface, noted by its callbacks.
struct SurfaceFacts {
    // The surface they belong to (the wl_surface's user data is its facts).
    SceneSurface* owner = nullptr;
    // The compositor's size, in surface units; 0 until configured (and, for the
    // window, while the compositor leaves the size to it).
    int width = 0;
    int height = 0;
    bool configured = false;
    // The layer surface was closed, or the window asked to close.
    bool closed = false;
    // The preferred fractional scale in 120ths; 0 while the compositor says none.
    std::uint32_t scale120 = 0;
    // The output the surface last entered, until it goes.
    wl_output* entered = nullptr;
    // The frame callback of the last frame shown, until the compositor has shown it.
    wl_callback* frame = nullptr;
};

class SceneSurface {
public:
    // Overlay and Background: a layer surface anchored to every edge of output. The
    // overlay one takes the keyboard exclusively; the background one takes no input at
    // all. Window: the full-screen window (output is not used).
    SceneSurface(const WaylandGlobals& globals, SurfaceKind kind, wl_output* output);
    ~SceneSurface();
    SceneSurface(const SceneSurface&) = delete;
    SceneSurface& operator=(const SceneSurface&) = delete;

    // The SceneSurface behind one of this client's surfaces (pointer events name them).
    static SceneSurface* Of(wl_surface* surface);

    SurfaceKind Kind() const { return m_kind; }
    // The integer scale its pixels are composed at where no fractional scale is said:
    // its output's, for the window the one of the output it last entered.
    void SetScale(int scale);
    // Output pixels per unit of the surface's own coordinates.
    double PixelsPerUnit() const;
    bool Closed() const { return m_facts.closed; }
    wl_output* EnteredOutput() const { return m_facts.entered; }
    void OutputGone(wl_output* output);
    // Composes a frame when the surface is configured, the compositor has shown the last
    // one and a buffer is free, and presents it when a pixel changed; otherwise the scene
    // waits. True when it sent anything.
    bool Tick(Catalogue& catalogue);
    // The plan of its scene: what the pictures decoded ahead are for.
    const ScenePlan& Plan() const { return m_scene.Plan; }
    // Its buffers' bytes, for the memory figures.
    std::size_t BufferBytes() const { return m_sink.BufferBytes(); }

private:
    // How the buffer maps onto the surface: its scale, and the viewport's destination
    // (-1 x -1: none).
    struct Mapping {
        int bufferScale = 1;
        int width = -1;
        int height = -1;
        bool operator==(const Mapping&) const = default;
    };

    void Present(const ShmFrameSink::Shown& shown, const Mapping& mapping);
    // Shown through the viewport at the fractional scale.
    bool Viewed() const;
    int PixelWidth() const;
    int PixelHeight() const;

    SurfaceKind m_kind;
    wl_surface* m_surface = nullptr;
    zwlr_layer_surface_v1* m_layer = nullptr;
    xdg_surface* m_xdgSurface = nullptr;
    xdg_toplevel* m_toplevel = nullptr;
    wp_viewport* m_viewport = nullptr;
    wp_fractional_scale_v1* m_fractional = nullptr;
    SurfaceFacts m_facts;
    ShmFrameSink m_sink;
    Scene m_scene;
    int m_scale = 1;
    // What the compositor was last told; nothing before the first frame.
    Mapping m_mapped{0, -1, -1};
};
