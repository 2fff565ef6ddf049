// The server's and the connection's traits that the frames' way depends on.
#include "platform/x11/X11Server.h"

#include <bit>
#include <cstdlib>
#include <memory>
#include <sys/socket.h>

namespace {

struct FreeReply {
    void operator()(void* reply) const { std::free(reply); }
};

} // namespace

bool X11ConnectionIsLocal(xcb_connection_t* c)
{
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (getsockname(xcb_get_file_descriptor(c), reinterpret_cast<sockaddr*>(&address), &length) != 0)
        return false;
    return address.ss_family == AF_UNIX;
}

const xcb_query_extension_reply_t* X11SharedMemoryExtension(xcb_connection_t* c)
{
    const xcb_query_extension_reply_t* shm = xcb_get_extension_data(c, &xcb_shm_id);
    return shm != nullptr && shm->present ? shm : nullptr;
}

const xcb_visualtype_t* X11FindVisual(const xcb_setup_t* setup, xcb_visualid_t id, std::uint8_t& depth)
{
    for (xcb_screen_iterator_t s = xcb_setup_roots_iterator(setup); s.rem; xcb_screen_next(&s)) {
        for (xcb_depth_iterator_t d = xcb_screen_allowed_depths_iterator(s.data); d.rem; xcb_depth_next(&d)) {
            for (xcb_visualtype_iterator_t v = xcb_depth_visuals_iterator(d.data); v.rem; xcb_visualtype_next(&v)) {
                if (v.data->visual_id == id) {
                    depth = d.data->depth;
                    return v.data;
                }
            }
        }
    }
    return nullptr;
}

std::uint8_t X11VisualRasterDepth(const xcb_setup_t* setup, xcb_visualid_t id)
{
    std::uint8_t depth = 0;
    const xcb_visualtype_t* visual = X11FindVisual(setup, id, depth);
    if (visual == nullptr || (depth != 24 && depth != 32))
        return 0;
    int bitsPerPixel = 0;
    for (xcb_format_iterator_t f = xcb_setup_pixmap_formats_iterator(setup); f.rem; xcb_format_next(&f)) {
        if (f.data->depth == depth)
            bitsPerPixel = f.data->bits_per_pixel;
    }
    // 0xFFRRGGBB in memory order B, G, R, A on this machine: what a true-colour visual
    // of 32-bit pixels takes as it is (on a depth-32 visual the top byte is alpha,
    // opaque).
    const int nativeOrder =
        std::endian::native == std::endian::little ? XCB_IMAGE_ORDER_LSB_FIRST : XCB_IMAGE_ORDER_MSB_FIRST;
    const bool takes = visual->_class == XCB_VISUAL_CLASS_TRUE_COLOR && visual->red_mask == 0xFF0000u &&
                       visual->green_mask == 0x00FF00u && visual->blue_mask == 0x0000FFu && bitsPerPixel == 32 &&
                       setup->image_byte_order == nativeOrder;
    return takes ? depth : 0;
}

std::uint8_t X11RasterDepth(xcb_connection_t* c, xcb_window_t window)
{
    const std::unique_ptr<xcb_get_window_attributes_reply_t, FreeReply> attributes{
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr)};
    return attributes ? X11VisualRasterDepth(xcb_get_setup(c), attributes->visual) : 0;
}
