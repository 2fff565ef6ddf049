// Frames from buffers of the presenter's own onto a surface of another's connection.
#include "platform/wayland/WaylandFramePresenter.h"

#include <cstring>
#include <wayland-client.h>

namespace {

void GlobalRemoved(void*, wl_registry*, std::uint32_t) {}

} // namespace

void WaylandFramePresenter::Global(void* data, wl_registry* registry, std::uint32_t name, const char* interface,
                                   std::uint32_t)
{
    auto* presenter = static_cast<WaylandFramePresenter*>(data);
    if (presenter->m_shm == nullptr && std::strcmp(interface, wl_shm_interface.name) == 0)
        presenter->m_shm = static_cast<wl_shm*>(wl_registry_bind(registry, name, &wl_shm_interface, 1));
}

WaylandFramePresenter::WaylandFramePresenter(wl_display* display, wl_surface* surface)
    : m_display(display), m_surface(surface)
{
    static const wl_registry_listener listener = {
        .global = Global,
        .global_remove = GlobalRemoved,
    };
    m_queue = wl_display_create_queue(display);
    // The registry, and what is bound from it, on the presenter's queue.
    auto* wrapped = static_cast<wl_display*>(wl_proxy_create_wrapper(display));
    wl_proxy_set_queue(reinterpret_cast<wl_proxy*>(wrapped), m_queue);
    wl_registry* registry = wl_display_get_registry(wrapped);
    wl_proxy_wrapper_destroy(wrapped);
    wl_registry_add_listener(registry, &listener, this);
    const bool answered = wl_display_roundtrip_queue(display, m_queue) >= 0;
    wl_registry_destroy(registry);
    if (answered && m_shm != nullptr)
        m_buffers = std::make_unique<ShmFrameBuffers>(m_shm);
}

WaylandFramePresenter::~WaylandFramePresenter()
{
    m_buffers.reset();
    if (m_shm != nullptr)
        wl_shm_destroy(m_shm);
    // Events still queued for the buffers go with the queue.
    wl_event_queue_destroy(m_queue);
}

void WaylandFramePresenter::SetColourKey(bool on, Pixel key)
{
    if (m_buffers && m_buffers->SetColourKey(on, key))
        m_shownPixels = nullptr;
}

void WaylandFramePresenter::CopyFrame(const Raster& frame, std::span<const Rect> changed, int bufferScale)
{
    if (!m_buffers || frame.IsEmpty())
        return;
    // The compositor's word on which buffers it has let go.
    wl_display_dispatch_queue_pending(m_display, m_queue);
    if (bufferScale != m_scale)
        m_buffers->ShowWhole();
    m_buffers->CopyFrame(frame, changed);
    ShmFrameBuffers::Shown shown;
    if (!m_buffers->TakeShown(shown))
        return;
    if (bufferScale != m_scale) {
        wl_surface_set_buffer_scale(m_surface, bufferScale);
        m_scale = bufferScale;
    }
    wl_surface_attach(m_surface, shown.buffer, 0, 0);
    m_shownPixels = shown.pixels;
    // Damage in buffer pixels where the surface takes it (version 4), else in the
    // surface's units, mapped outwards.
    const bool inBuffer = wl_proxy_get_version(reinterpret_cast<wl_proxy*>(m_surface)) >= 4;
    for (const Rect& area : shown.damage) {
        if (inBuffer) {
            wl_surface_damage_buffer(m_surface, area.Left, area.Top, area.Width(), area.Height());
        } else {
            const int left = area.Left / m_scale;
            const int top = area.Top / m_scale;
            wl_surface_damage(m_surface, left, top, (area.Right + m_scale - 1) / m_scale - left,
                              (area.Bottom + m_scale - 1) / m_scale - top);
        }
    }
    wl_surface_commit(m_surface);
    wl_display_flush(m_display);
}
