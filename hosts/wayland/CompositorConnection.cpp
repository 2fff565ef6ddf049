// The connection to the Wayland compositor, for talvex's sessions and its idle watch.
#include "hosts/TalvexError.h"
#include "hosts/wayland/WaylandHost.h"

#include <wayland-client.h>

wl_display* ConnectToCompositor()
{
    // libwayland takes the connection WAYLAND_SOCKET hands over before it looks at
    // WAYLAND_DISPLAY.
    wl_display* display = wl_display_connect(nullptr);
    if (display == nullptr)
        throw ETalvexError(NoDisplayStatus, "cannot connect to the Wayland compositor "
                                            "(is WAYLAND_DISPLAY or WAYLAND_SOCKET set?)");
    return display;
}
