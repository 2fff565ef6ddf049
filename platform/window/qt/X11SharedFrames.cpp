// The shared pixel blocks over memfd and MIT-SHM's file-descriptor attach, on Qt's own
// XCB connection, so that the puts and Qt's drawing of the same window stay in order.
#include "platform/window/qt/X11SharedFrames.h"

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>
#include <algorithm>
#include <cstdlib>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>
#include <xcb/shm.h>
#include <xcb/xcb.h>

namespace {

// Smaller blocks (a control's picture, a scratch raster) stay on the heap: a frame
// is at least this large on any screen.
constexpr std::size_t MinSharedPixels = 256 * 256;

xcb_connection_t* Connection()
{
    auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

// A block of shared memory: a file in memory, mapped.
struct MemoryFile {
    int fd = -1;
    void* address = nullptr;
};

MemoryFile MakeMemoryFile(std::size_t bytes)
{
    const int fd = memfd_create("veskan-frame", MFD_CLOEXEC);
    if (fd < 0)
        return {};
    if (ftruncate(fd, static_cast<off_t>(bytes)) != 0) {
        close(fd);
        return {};
    }
    void* address = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (address == MAP_FAILED) {
        close(fd);
        return {};
    }
    return {fd, address};
}

// Asks the server to attach the memory behind fd read-only as seg; true when it did.
bool AttachFd(xcb_connection_t* c, xcb_shm_seg_t seg, int fd)
{
    // The request takes the descriptor and closes it once sent.
    const int passed = fcntl(fd, F_DUPFD_CLOEXEC, 0);
    if (passed < 0)
        return false;
    xcb_generic_error_t* error = xcb_request_check(c, xcb_shm_attach_fd_checked(c, seg, passed, 1));
    if (error == nullptr)
        return true;
    std::free(error);
    return false;
}

// MIT-SHM 1.2 or later, and a server that attaches a page of this process's memory
// (one that runs on this machine).
bool ServerAttachesMemory(xcb_connection_t* c)
{
    const xcb_query_extension_reply_t* shm = xcb_get_extension_data(c, &xcb_shm_id);
    if (shm == nullptr || !shm->present)
        return false;
    xcb_shm_query_version_reply_t* version = xcb_shm_query_version_reply(c, xcb_shm_query_version(c), nullptr);
    if (version == nullptr)
        return false;
    const bool fds = version->major_version > 1 || (version->major_version == 1 && version->minor_version >= 2);
    std::free(version);
    if (!fds)
        return false;
    const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    const MemoryFile trial = MakeMemoryFile(page);
    if (trial.fd < 0)
        return false;
    const xcb_shm_seg_t seg = xcb_generate_id(c);
    const bool attached = AttachFd(c, seg, trial.fd);
    if (attached)
        xcb_shm_detach(c, seg);
    munmap(trial.address, page);
    close(trial.fd);
    return attached;
}

const xcb_visualtype_t* FindVisual(const xcb_setup_t* setup, xcb_visualid_t id)
{
    for (xcb_screen_iterator_t s = xcb_setup_roots_iterator(setup); s.rem; xcb_screen_next(&s)) {
        for (xcb_depth_iterator_t d = xcb_screen_allowed_depths_iterator(s.data); d.rem; xcb_depth_next(&d)) {
            for (xcb_visualtype_iterator_t v = xcb_depth_visuals_iterator(d.data); v.rem; xcb_visualtype_next(&v)) {
                if (v.data->visual_id == id)
                    return v.data;
            }
        }
    }
    return nullptr;
}

bool ThirtyTwoBitsPerPixel(const xcb_setup_t* setup, std::uint8_t depth)
{
    for (xcb_format_iterator_t f = xcb_setup_pixmap_formats_iterator(setup); f.rem; xcb_format_next(&f)) {
        if (f.data->depth == depth)
            return f.data->bits_per_pixel == 32;
    }
    return false;
}

} // namespace

X11SharedFrames* X11SharedFrames::Get()
{
    // Decided once: the platform a process runs on does not change. Never deleted,
    // since a raster may give its block back during the process's exit.
    static X11SharedFrames* const instance = []() -> X11SharedFrames* {
        xcb_connection_t* c = Connection();
        if (c == nullptr || !ServerAttachesMemory(c))
            return nullptr;
        auto* frames = new X11SharedFrames;
        frames->m_connection = c;
        Raster::SetBlockSource(frames);
        return frames;
    }();
    return instance;
}

std::uint32_t* X11SharedFrames::Allocate(std::size_t count)
{
    if (count < MinSharedPixels)
        return nullptr;
    const std::size_t bytes = count * sizeof(Pixel);
    const MemoryFile file = MakeMemoryFile(bytes);
    if (file.fd < 0)
        return nullptr;
    auto* pixels = static_cast<std::uint32_t*>(file.address);
    m_blocks.push_back(Block{pixels, bytes, file.fd, 0, false});
    return pixels;
}

bool X11SharedFrames::Free(std::uint32_t* block, std::size_t)
{
    const auto found =
        std::find_if(m_blocks.begin(), m_blocks.end(), [block](const Block& b) { return b.pixels == block; });
    if (found == m_blocks.end())
        return false;
    xcb_connection_t* c = Connection();
    if (found->seg != 0 && c != nullptr && c == m_connection)
        xcb_shm_detach(c, found->seg);
    munmap(found->pixels, found->bytes);
    close(found->fd);
    m_blocks.erase(found);
    return true;
}

bool X11SharedFrames::Holds(const Pixel* pixels) const
{
    return std::any_of(m_blocks.begin(), m_blocks.end(), [pixels](const Block& b) { return b.pixels == pixels; });
}

bool X11SharedFrames::Attach(std::size_t index)
{
    Block& block = m_blocks[index];
    if (block.seg != 0)
        return true;
    if (block.refused)
        return false;
    const xcb_shm_seg_t seg = xcb_generate_id(m_connection);
    if (!AttachFd(m_connection, seg, block.fd)) {
        block.refused = true;
        return false;
    }
    block.seg = seg;
    return true;
}

bool X11SharedFrames::WindowTakesPixels(std::uint32_t window)
{
    if (window == m_checkedWindow)
        return m_windowTakesPixels;
    xcb_connection_t* c = m_connection;
    m_checkedWindow = window;
    m_windowTakesPixels = false;
    xcb_get_window_attributes_reply_t* attributes =
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, window), nullptr);
    xcb_get_geometry_reply_t* geometry = xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr);
    if (attributes != nullptr && geometry != nullptr && geometry->depth == 24) {
        const xcb_setup_t* setup = xcb_get_setup(c);
        const xcb_visualtype_t* visual = FindVisual(setup, attributes->visual);
        // 0xFFRRGGBB in memory order B, G, R, unused: what a 24-bit true-colour
        // window of 32-bit pixels takes, least significant byte first.
        m_windowTakesPixels = visual != nullptr && visual->_class == XCB_VISUAL_CLASS_TRUE_COLOR &&
                              visual->red_mask == 0xFF0000u && visual->green_mask == 0x00FF00u &&
                              visual->blue_mask == 0x0000FFu && ThirtyTwoBitsPerPixel(setup, 24) &&
                              setup->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST;
    }
    std::free(attributes);
    std::free(geometry);
    return m_windowTakesPixels;
}

bool X11SharedFrames::Put(std::uint32_t window, const Raster& frame, std::span<const Rect> rects)
{
    xcb_connection_t* c = Connection();
    if (c == nullptr || frame.IsEmpty() || frame.Pitch() > 0xFFFF || frame.Height() > 0xFFFF)
        return false;
    if (c != m_connection) {
        // Another connection (a new application object): nothing is attached there.
        m_connection = c;
        for (Block& block : m_blocks)
            block.seg = 0;
        m_gc = 0;
        m_checkedWindow = 0;
    }
    const Pixel* pixels = frame.Scanline(0);
    const auto found =
        std::find_if(m_blocks.begin(), m_blocks.end(), [pixels](const Block& b) { return b.pixels == pixels; });
    if (found == m_blocks.end() || !WindowTakesPixels(window) ||
        !Attach(static_cast<std::size_t>(found - m_blocks.begin())))
        return false;
    if (m_gc == 0) {
        m_gc = xcb_generate_id(c);
        const std::uint32_t noExposures = 0;
        xcb_create_gc(c, m_gc, window, XCB_GC_GRAPHICS_EXPOSURES, &noExposures);
    }
    const auto u16 = [](int v) { return static_cast<std::uint16_t>(v); };
    const auto i16 = [](int v) { return static_cast<std::int16_t>(v); };
    for (const Rect& r : rects) {
        const Rect part = Intersection(r, frame.Bounds());
        if (part.IsEmpty())
            continue;
        xcb_shm_put_image(c, window, m_gc, u16(frame.Pitch()), u16(frame.Height()), u16(part.Left), u16(part.Top),
                          u16(part.Width()), u16(part.Height()), i16(part.Left), i16(part.Top), 24,
                          XCB_IMAGE_FORMAT_Z_PIXMAP, 0, found->seg, 0);
    }
    // The server answers in order: once it has, it has read every row put above.
    std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    return true;
}
