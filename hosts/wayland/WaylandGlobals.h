// The compositor's globals talvex binds: the ones every surface needs, the shells it
// can show a surface through, the optional scaling ones, and the outputs' names.
#pragma once

struct wl_compositor;
struct wl_shm;
struct xdg_wm_base;
struct zwlr_layer_shell_v1;
struct wp_viewporter;
struct wp_fractional_scale_manager_v1;
struct zxdg_output_manager_v1;

struct WaylandGlobals {
    wl_compositor* compositor = nullptr;
    wl_shm* shm = nullptr;
    zwlr_layer_shell_v1* layerShell = nullptr;
    xdg_wm_base* wmBase = nullptr;
    wp_viewporter* viewporter = nullptr;
    wp_fractional_scale_manager_v1* fractionalScale = nullptr;
    zxdg_output_manager_v1* xdgOutputs = nullptr;
};
