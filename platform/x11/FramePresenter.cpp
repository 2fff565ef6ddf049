// The frame's way to the window: the shared segment, or plain image requests.
#include "platform/x11/FramePresenter.h"

#include "platform/raster/KeyedSpan.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <sys/ipc.h>
#include <sys/mman.h>
#include <sys/shm.h>
#include <unistd.h>
#include <vector>
#include <xcb/xcbext.h>

namespace {

// A PutImage request's own fields, before the pixels.
constexpr std::uint64_t PutImageHeaderBytes = 24;
// A SetClipRectangles request's own fields, before its rectangles.
constexpr std::size_t ClipRectanglesHeaderBytes = 12;
// Boxes go in one put of their bounds where these are at most this many times their
// area.
constexpr std::uint64_t BoundsPerBoxArea = 8;
// One frame in ten, once a second, goes whole.
constexpr int PartialFramesBetweenWhole = 9;

std::size_t PixelsAPage()
{
    const long bytes = sysconf(_SC_PAGESIZE);
    return bytes >= static_cast<long>(sizeof(Pixel)) ? static_cast<std::size_t>(bytes) / sizeof(Pixel) : 1024;
}

} // namespace

FramePresenter::FramePresenter(xcb_connection_t* c, xcb_window_t window, std::uint8_t depth, bool shareMemory)
    : m_c(c), m_window(window), m_depth(depth), m_gc(xcb_generate_id(m_c)), m_clippedGc(xcb_generate_id(m_c))
{
    const std::uint32_t noExposures = 0;
    xcb_create_gc(m_c, m_gc, m_window, XCB_GC_GRAPHICS_EXPOSURES, &noExposures);
    xcb_create_gc(m_c, m_clippedGc, m_window, XCB_GC_GRAPHICS_EXPOSURES, &noExposures);
    m_maxRequestBytes = std::uint64_t{xcb_get_maximum_request_length(m_c)} * 4;
    if (shareMemory) {
        if (const xcb_query_extension_reply_t* shm = X11SharedMemoryExtension(m_c)) {
            m_shareMemory = true;
            m_completionEvent = static_cast<std::uint8_t>(shm->first_event + XCB_SHM_COMPLETION);
        }
    }
}

FramePresenter::~FramePresenter()
{
    ForgetReply();
    DropSegment();
    xcb_free_gc(m_c, m_clippedGc);
    xcb_free_gc(m_c, m_gc);
}

bool FramePresenter::MakeSegment(int width, int height)
{
    const std::size_t bytes = static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 4;
    const int id = shmget(IPC_PRIVATE, bytes, IPC_CREAT | 0600);
    if (id < 0)
        return false;
    void* address = shmat(id, nullptr, 0);
    if (address == reinterpret_cast<void*>(-1)) {
        shmctl(id, IPC_RMID, nullptr);
        return false;
    }
    const xcb_shm_seg_t seg = xcb_generate_id(m_c);
    xcb_generic_error_t* error =
        xcb_request_check(m_c, xcb_shm_attach_checked(m_c, seg, static_cast<std::uint32_t>(id), 1));
    // Both sides are attached now (or the server refused): marked for removal at
    // once, the segment goes when the last of them detaches, also when this process
    // is killed and never detaches itself.
    shmctl(id, IPC_RMID, nullptr);
    if (error != nullptr) {
        std::free(error);
        shmdt(address);
        return false;
    }
    m_segment = Segment{id, static_cast<std::uint32_t*>(address), seg, width, height};
    ++m_segmentsMade;
    ForgetReply();
    m_putPending = false;
    m_repaintWhenRead = false;
    m_segmentHoldsFrame = false;
    return true;
}

void FramePresenter::DropSegment()
{
    if (m_segment.pixels == nullptr)
        return;
    xcb_shm_detach(m_c, m_segment.seg);
    shmdt(m_segment.pixels);
    m_segment = Segment{};
    ForgetReply();
    m_putPending = false;
    m_segmentHoldsFrame = false;
}

void FramePresenter::Prepare(int width, int height)
{
    if (!m_shareMemory || width <= 0 || height <= 0 || (width == m_segment.width && height == m_segment.height))
        return;
    DropSegment();
    if (!MakeSegment(width, height)) {
        m_shareMemory = false;   // the server cannot share this memory: plain requests from now on
        return;
    }
    // A new segment reads as zeros, black. Its pages are made present here, not one
    // fault at a time under the first frame: the kernel maps them all at once (a tenth
    // of the time), then one write a page has a virtual machine's host back each.
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    if (madvise(m_segment.pixels, count * sizeof(Pixel), MADV_POPULATE_WRITE) != 0) {
        std::memset(m_segment.pixels, 0, count * sizeof(Pixel));
    } else {
        for (std::size_t i = 0; i < count; i += PixelsAPage())
            m_segment.pixels[i] = 0;
    }
    MapSegmentInServer();
}

void FramePresenter::MapSegmentInServer()
{
    // The server maps the segment's pages only as it first reads them, which for a
    // whole frame took it as long as twenty later puts. Reading one pixel of every page
    // into a scratch pixmap, while the first tick is still ahead, takes that off the
    // first frame; the pixmap's content does not matter.
    const auto step = static_cast<int>(PixelsAPage());
    const auto height = static_cast<std::uint16_t>(m_segment.height);
    const xcb_pixmap_t scratch = xcb_generate_id(m_c);
    xcb_create_pixmap(m_c, m_depth, scratch, m_window, 1, height);
    for (int x = 0; x < m_segment.width; x += step)
        xcb_shm_put_image(m_c, scratch, m_gc, static_cast<std::uint16_t>(m_segment.width), height,
                          static_cast<std::uint16_t>(x), 0, 1, height, 0, 0, m_depth, XCB_IMAGE_FORMAT_Z_PIXMAP, 0,
                          m_segment.seg, 0);
    xcb_free_pixmap(m_c, scratch);
    xcb_flush(m_c);
}

Pixel* FramePresenter::Lend(int width, int height, bool& fresh)
{
    fresh = false;
    if (m_keyed || width <= 0 || height <= 0)
        return nullptr;
    Prepare(width, height);
    if (!m_shareMemory)
        return nullptr;
    fresh = m_segmentLent != m_segmentsMade;
    m_segmentLent = m_segmentsMade;
    return m_segment.pixels;
}

void FramePresenter::SetColourKey(bool on, Pixel key)
{
    if (on == m_keyed && (!on || key == m_key))
        return;
    m_keyed = on;
    m_key = key;
    m_segmentHoldsFrame = false;
    m_windowHoldsFrame = false;
}

FramePresenter::Shown FramePresenter::Held() const
{
    if (!m_segmentHoldsFrame || m_segment.pixels == nullptr)
        return {};
    return {m_segment.pixels, m_segment.width, m_segment.height};
}

void FramePresenter::CopyPixels(Pixel* dst, const Pixel* src, std::size_t count) const
{
    if (!m_keyed) {
        std::memcpy(dst, src, count * sizeof(Pixel));
        return;
    }
    CopyKeyedSpan(dst, src, count, m_key);
}

void FramePresenter::CopyFrame(const Raster& frame, std::span<const Rect> changed)
{
    const int width = frame.Width();
    const int height = frame.Height();
    if (frame.IsEmpty())
        return;
    if (m_shareMemory && (width != m_segment.width || height != m_segment.height)) {
        DropSegment();
        if (!MakeSegment(width, height))
            m_shareMemory = false;   // as above
    }
    if (!(frame.Bounds() == m_owedFrame)) {
        m_owedFrame = frame.Bounds();
        m_owed.Reset(m_owedFrame);
        m_windowHoldsFrame = false;
    }
    for (const Rect& box : changed)
        m_owed.Add(box);
    if (m_shareMemory && PutInFlight())
        return;   // the server is still reading the last frame: this one waits for the next
    const bool whole = !(m_shareMemory ? m_segmentHoldsFrame : m_windowHoldsFrame) ||
                       (m_wholeOnceASecond && m_partialFrames >= PartialFramesBetweenWhole);
    if (whole) {
        m_partialFrames = 0;
        m_owed.SetWhole(frame.Bounds());
    } else {
        ++m_partialFrames;
    }
    // Into the segment go the changed rectangles as they are, the fewest pixels (a
    // frame composed in the segment itself is there already); to the window, few boxes
    // joined from them.
    if (m_shareMemory && frame.Scanline(0) != m_segment.pixels)
        CopyOwedIntoSegment(frame);
    if (!whole)
        m_owed.Coalesce();
    const std::span<const Rect> boxes = m_owed.Rects();
    if (!m_shareMemory) {
        for (const Rect& box : boxes)
            PutPlain(frame, box);
        m_windowHoldsFrame = true;
    } else {
        m_segmentHoldsFrame = true;
        PutBoxes(boxes);
    }
    m_owed.Reset(m_owedFrame);
    xcb_flush(m_c);
}

void FramePresenter::CopyOwedIntoSegment(const Raster& frame)
{
    const int width = frame.Width();
    for (const Rect& box : m_owed.Rects()) {
        for (int y = box.Top; y < box.Bottom; ++y)
            CopyPixels(m_segment.pixels + static_cast<std::ptrdiff_t>(y) * width + box.Left,
                       frame.Scanline(y) + box.Left, static_cast<std::size_t>(box.Width()));
    }
}

void FramePresenter::PutSegment()
{
    const auto w = static_cast<std::uint16_t>(m_segment.width);
    const auto h = static_cast<std::uint16_t>(m_segment.height);
    xcb_shm_put_image(m_c, m_window, m_gc, w, h, 0, 0, w, h, 0, 0, m_depth, XCB_IMAGE_FORMAT_Z_PIXMAP,
                      m_completionByReply ? 0 : 1, m_segment.seg, 0);
    MarkPutSent();
}

void FramePresenter::PutBoxes(std::span<const Rect> boxes)
{
    Rect bounds;
    std::uint64_t area = 0;
    for (const Rect& box : boxes) {
        bounds = BoundingUnion(bounds, box);
        area += static_cast<std::uint64_t>(box.Width()) * static_cast<std::uint64_t>(box.Height());
    }
    const auto boundsArea = static_cast<std::uint64_t>(bounds.Width()) * static_cast<std::uint64_t>(bounds.Height());
    const std::size_t clipBytes = ClipRectanglesHeaderBytes + boxes.size() * sizeof(xcb_rectangle_t);
    if (boxes.size() == 1 || clipBytes > m_maxRequestBytes || area * BoundsPerBoxArea < boundsArea) {
        for (std::size_t i = 0; i < boxes.size(); ++i)
            PutBox(m_gc, boxes[i], i + 1 == boxes.size());
        return;
    }
    // Boxes that fill a fair part of their bounds go in one put of the bounds, clipped
    // to the boxes. The server copies the boxes alone all the same, but a compositing
    // manager repaints a put's whole rectangle: one wide rectangle of long rows costs it
    // less than hundreds of narrow ones, whose short rows cost more than the wide one's
    // extra pixels (rain under xcompmgr: about a seventh less for the X server and the
    // compositor). Boxes spread far apart (stars) would have it repaint several times
    // their pixels: those go one put a box.
    m_clip.clear();
    for (const Rect& box : boxes)
        m_clip.push_back({static_cast<std::int16_t>(box.Left), static_cast<std::int16_t>(box.Top),
                          static_cast<std::uint16_t>(box.Width()), static_cast<std::uint16_t>(box.Height())});
    xcb_set_clip_rectangles(m_c, XCB_CLIP_ORDERING_UNSORTED, m_clippedGc, 0, 0,
                            static_cast<std::uint32_t>(m_clip.size()), m_clip.data());
    PutBox(m_clippedGc, bounds, true);
}

void FramePresenter::PutBox(xcb_gcontext_t gc, const Rect& box, bool last)
{
    // Only the last of a frame's rectangles asks for the completion: the server reads
    // them in order.
    const bool completion = last && !m_completionByReply;
    xcb_shm_put_image(m_c, m_window, gc, static_cast<std::uint16_t>(m_segment.width),
                      static_cast<std::uint16_t>(m_segment.height), static_cast<std::uint16_t>(box.Left),
                      static_cast<std::uint16_t>(box.Top), static_cast<std::uint16_t>(box.Width()),
                      static_cast<std::uint16_t>(box.Height()), static_cast<std::int16_t>(box.Left),
                      static_cast<std::int16_t>(box.Top), m_depth, XCB_IMAGE_FORMAT_Z_PIXMAP, completion ? 1 : 0,
                      m_segment.seg, 0);
    if (last)
        MarkPutSent();
}

void FramePresenter::MarkPutSent()
{
    m_putPending = true;
    if (m_completionByReply) {
        ForgetReply();
        m_replySequence = xcb_get_input_focus(m_c).sequence;
        m_replyAwaited = true;
    }
}

void FramePresenter::ForgetReply()
{
    if (m_replyAwaited)
        xcb_discard_reply(m_c, m_replySequence);
    m_replyAwaited = false;
}

bool FramePresenter::PutInFlight()
{
    if (m_putPending && m_replyAwaited) {
        void* reply = nullptr;
        xcb_generic_error_t* error = nullptr;
        // Never waits: the toolkit's thread has read the reply if it has come (or this
        // call reads what the socket holds); a connection gone wrong answers at once.
        if (xcb_poll_for_reply(m_c, m_replySequence, &reply, &error) != 0) {
            std::free(reply);
            std::free(error);
            m_replyAwaited = false;
            m_putPending = false;
        }
    }
    return m_putPending;
}

void FramePresenter::PutPlain(const Raster& frame, const Rect& box)
{
    const int width = box.Width();
    const std::uint64_t rowBytes = static_cast<std::uint64_t>(width) * sizeof(Pixel);
    // Bands of the box's rows, each within the server's request limit.
    const int bandRows =
        static_cast<int>(std::clamp<std::uint64_t>((m_maxRequestBytes - PutImageHeaderBytes) / rowBytes, 1, 65535));
    for (int top = box.Top; top < box.Bottom; top += bandRows) {
        const int rows = std::min(bandRows, box.Bottom - top);
        const Pixel* data = frame.Scanline(top) + box.Left;
        if (frame.Pitch() != width || m_keyed) {
            m_band.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(rows));
            for (int y = 0; y < rows; ++y)
                CopyPixels(m_band.data() + static_cast<std::ptrdiff_t>(y) * width, frame.Scanline(top + y) + box.Left,
                           static_cast<std::size_t>(width));
            data = m_band.data();
        }
        xcb_put_image(m_c, XCB_IMAGE_FORMAT_Z_PIXMAP, m_window, m_gc, static_cast<std::uint16_t>(width),
                      static_cast<std::uint16_t>(rows), static_cast<std::int16_t>(box.Left),
                      static_cast<std::int16_t>(top), 0, m_depth,
                      static_cast<std::uint32_t>(rowBytes * static_cast<std::uint64_t>(rows)),
                      reinterpret_cast<const std::uint8_t*>(data));
    }
}

void FramePresenter::Repaint()
{
    m_windowHoldsFrame = false;   // the plain way sends the whole frame with the next tick
    if (!m_segmentHoldsFrame)
        return;
    if (PutInFlight()) {
        if (m_completionByReply)
            m_segmentHoldsFrame = false;   // nothing comes to say when: the next frame goes whole
        else
            m_repaintWhenRead = true;
        return;
    }
    PutSegment();
    xcb_flush(m_c);
}

bool FramePresenter::TakeCompletion(const xcb_generic_event_t& event)
{
    if (!m_shareMemory || (event.response_type & 0x7F) != m_completionEvent)
        return false;
    const auto& completion = reinterpret_cast<const xcb_shm_completion_event_t&>(event);
    if (m_segment.pixels == nullptr || completion.shmseg != m_segment.seg || completion.drawable != m_window)
        return false;
    m_putPending = false;
    if (m_repaintWhenRead) {
        m_repaintWhenRead = false;
        PutSegment();
        xcb_flush(m_c);
    }
    return true;
}
