// The frame's way to the window: the shared segment, or plain image requests.
#include "hosts/x11/FramePresenter.h"

#include "hosts/x11/TargetWindow.h"
#include "hosts/x11/XConnection.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <vector>

namespace {

// A PutImage request's own fields, before the pixels.
constexpr std::uint64_t PutImageHeaderBytes = 24;
// One frame in ten, once a second, goes whole.
constexpr int PartialFramesBetweenWhole = 9;

} // namespace

FramePresenter::FramePresenter(const XConnection& x, const TargetWindow& window)
    : m_c(x.Get()), m_window(window.Id()), m_depth(window.Depth()), m_gc(xcb_generate_id(m_c))
{
    const std::uint32_t noExposures = 0;
    xcb_create_gc(m_c, m_gc, m_window, XCB_GC_GRAPHICS_EXPOSURES, &noExposures);
    m_maxRequestBytes = std::uint64_t{xcb_get_maximum_request_length(m_c)} * 4;
    if (x.IsLocal()) {
        const xcb_query_extension_reply_t* shm = xcb_get_extension_data(m_c, &xcb_shm_id);
        if (shm != nullptr && shm->present) {
            m_shareMemory = true;
            m_completionEvent = static_cast<std::uint8_t>(shm->first_event + XCB_SHM_COMPLETION);
        }
    }
}

FramePresenter::~FramePresenter()
{
    DropSegment();
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
    const std::size_t count = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    std::memset(m_segment.pixels, 0, count * sizeof(Pixel));
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
    if (m_shareMemory && m_putPending)
        return;   // the server is still reading the last frame: this one waits for the next
    const bool whole = !(m_shareMemory ? m_segmentHoldsFrame : m_windowHoldsFrame) ||
                       m_partialFrames >= PartialFramesBetweenWhole;
    if (whole) {
        m_partialFrames = 0;
        m_owed.SetWhole(frame.Bounds());
    } else {
        ++m_partialFrames;
        m_owed.Coalesce();
    }
    const std::span<const Rect> boxes = m_owed.Rects();
    if (!m_shareMemory) {
        for (const Rect& box : boxes)
            PutPlain(frame, box);
        m_windowHoldsFrame = true;
    } else {
        CopyOwedIntoSegment(frame);
        m_segmentHoldsFrame = true;
        for (std::size_t i = 0; i < boxes.size(); ++i)
            PutBox(boxes[i], i + 1 == boxes.size());
    }
    m_owed.Reset(m_owedFrame);
}

void FramePresenter::CopyOwedIntoSegment(const Raster& frame)
{
    const int width = frame.Width();
    for (const Rect& box : m_owed.Rects()) {
        const std::size_t rowBytes = static_cast<std::size_t>(box.Width()) * sizeof(Pixel);
        for (int y = box.Top; y < box.Bottom; ++y)
            std::memcpy(m_segment.pixels + static_cast<std::ptrdiff_t>(y) * width + box.Left,
                        frame.Scanline(y) + box.Left, rowBytes);
    }
}

void FramePresenter::PutSegment()
{
    const auto w = static_cast<std::uint16_t>(m_segment.width);
    const auto h = static_cast<std::uint16_t>(m_segment.height);
    xcb_shm_put_image(m_c, m_window, m_gc, w, h, 0, 0, w, h, 0, 0, m_depth, XCB_IMAGE_FORMAT_Z_PIXMAP, 1,
                      m_segment.seg, 0);
    m_putPending = true;
}

void FramePresenter::PutBox(const Rect& box, bool last)
{
    // Only the last of a frame's rectangles asks for the completion: the server reads
    // them in order.
    xcb_shm_put_image(m_c, m_window, m_gc, static_cast<std::uint16_t>(m_segment.width),
                      static_cast<std::uint16_t>(m_segment.height), static_cast<std::uint16_t>(box.Left),
                      static_cast<std::uint16_t>(box.Top), static_cast<std::uint16_t>(box.Width()),
                      static_cast<std::uint16_t>(box.Height()), static_cast<std::int16_t>(box.Left),
                      static_cast<std::int16_t>(box.Top), m_depth, XCB_IMAGE_FORMAT_Z_PIXMAP, last ? 1 : 0,
                      m_segment.seg, 0);
    m_putPending = m_putPending || last;
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
        if (frame.Pitch() != width) {
            m_band.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(rows));
            for (int y = 0; y < rows; ++y)
                std::memcpy(m_band.data() + static_cast<std::ptrdiff_t>(y) * width, frame.Scanline(top + y) + box.Left,
                            rowBytes);
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
    if (m_putPending) {
        m_repaintWhenRead = true;
        return;
    }
    PutSegment();
}

bool FramePresenter::TakeCompletion(const xcb_generic_event_t& event)
{
    if (!m_shareMemory || (event.response_type & 0x7F) != m_completionEvent)
        return false;
    const auto& completion = reinterpret_cast<const xcb_shm_completion_event_t&>(event);
    if (completion.shmseg == m_segment.seg && m_segment.pixels != nullptr) {
        m_putPending = false;
        if (m_repaintWhenRead) {
            m_repaintWhenRead = false;
            PutSegment();
        }
    }
    return true;
}
