// A compositor of the tests' own, in the test's process, for what sway 1.7's headless
// backend cannot do: outputs that come and go, layer surfaces closed by the compositor,
// fractional scale, a connection handed over and closed, and every request counted. It
// offers wl_compositor, wl_shm, layer-shell, viewporter and outputs (wl_output 4, with
// names), and fractional scale when asked; it configures each layer surface at its
// output's size, takes every buffer at once (copying it and releasing it as it is
// committed, as a renderer that copies does) and answers frame callbacks at the commit.
// It runs only while the test pumps it.
#pragma once

#include "support/TempFolder.h"
#include "support/XServer.h"

#include <chrono>
#include <cstdint>
#include <functional>
#include <list>
#include <string>
#include <vector>

struct wl_client;
struct wl_display;
struct wl_global;
struct wl_resource;

class TinyCompositor {
public:
    struct Output {
        std::string name;
        // Its size in surface units, which layer surfaces are configured at.
        int width = 0;
        int height = 0;
        wl_global* global = nullptr;
        std::vector<wl_resource*> bound;
    };
    struct Surface {
        Output* output = nullptr;
        wl_resource* surface = nullptr;      // null once the client destroyed it
        wl_resource* layer = nullptr;        // null once the client destroyed it
        wl_resource* fractional = nullptr;   // the surface's wp_fractional_scale_v1
        int buffersCommitted = 0;
        // What the last commit with a buffer showed, and how.
        Screenshot shown;
        int bufferScale = 1;
        int viewportWidth = -1;
        int viewportHeight = -1;
        // Pending until the next commit.
        wl_resource* buffer = nullptr;
        bool configured = false;
        int pendingScale = 1;
        int pendingViewportWidth = -1;
        int pendingViewportHeight = -1;
        std::vector<wl_resource*> frames;
    };

    // preferredScale120: offers wp_fractional_scale_manager_v1 and tells each surface
    // that scale (in 120ths); 0 offers none.
    explicit TinyCompositor(std::uint32_t preferredScale120 = 0);
    ~TinyCompositor();
    TinyCompositor(const TinyCompositor&) = delete;
    TinyCompositor& operator=(const TinyCompositor&) = delete;

    // The environment a client needs: XDG_RUNTIME_DIR and WAYLAND_DISPLAY.
    std::vector<std::string> Environment() const;
    // A connection made here and handed over: the client's end, open across exec, for
    // WAYLAND_SOCKET (the caller closes its copy once the client has started).
    int HandOver();
    // Closes every client's connection, as a lock screen's server does at unlock.
    void CloseClients();

    Output& AddOutput(const std::string& name, int width, int height);
    // The output's global goes, as when a monitor is unplugged (its surfaces are not
    // closed by the compositor: the client must let them go itself).
    void RemoveOutput(Output& output);
    // Describes the output again (its done event), as when it wakes.
    void Announce(Output& output);
    // Tells the client the compositor has closed the layer surface.
    void Close(Surface& surface);
    // Tells every surface, and those to come, this preferred scale.
    void SetPreferredScale(std::uint32_t scale120);

    // Runs the compositor until the condition holds; false after the deadline.
    bool PumpUntil(const std::function<bool()>& condition,
                   std::chrono::milliseconds deadline = std::chrono::seconds(10));
    // The client's layer surfaces, live ones and those it let go.
    std::list<Surface>& Surfaces() { return m_surfaces; }
    // The live layer surface on output; null when there is none.
    Surface* On(const Output& output);
    // Requests the clients have sent.
    long Requests() const { return m_requests; }

    // For the protocol handlers.
    Surface& NewSurface(wl_resource* surface);
    std::uint32_t PreferredScale() const { return m_scale120; }
    void CountRequest() { ++m_requests; }

private:
    TempFolder m_folder{"veskan-tiny-compositor"};
    wl_display* m_display = nullptr;
    std::string m_socket;
    std::list<Output> m_outputs;
    std::list<Surface> m_surfaces;
    std::uint32_t m_scale120 = 0;
    long m_requests = 0;
};
