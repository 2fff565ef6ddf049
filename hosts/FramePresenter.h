// Puts each finished frame on the target window, 1:1 at the frame's size: through one
// MIT shared-memory segment where the server can attach this machine's memory (a
// local display), through plain image requests otherwise. The segment is kept across
// ticks and made anew only when the frame's size changes. It holds the frame last
// shown: a new frame is compared with it, and only the rectangles that changed are
// copied and put, with the whole frame put once a second all the same, so that
// whatever else drew on the window is gone within a second.
#pragma once

#include "hosts/ChangedPixels.h"
#include "scene/Tick.h"

#include <cstdint>
#include <vector>
#include <xcb/shm.h>
#include <xcb/xcb.h>

class TargetWindow;
class XConnection;

class FramePresenter : public IFrameSink {
public:
    FramePresenter(const XConnection& x, const TargetWindow& window);
    // Detaches the segment on both sides; the segment itself was removed when it was
    // made, so it goes with the last detach.
    ~FramePresenter() override;
    FramePresenter(const FramePresenter&) = delete;
    FramePresenter& operator=(const FramePresenter&) = delete;

    // Makes the segment for frames of this size ahead of the first, its pages touched,
    // so that the first frame only copies (talvex does this while its pictures load).
    void Prepare(int width, int height);
    // The changed rectangles go unused: the frame is compared with the segment.
    void CopyFrame(const Raster& frame, std::span<const Rect> changed) override;
    // Shows the last frame again after an exposure, where the segment still holds it.
    void Repaint();
    // Takes the server's word that it has read the segment; false for any other event.
    bool TakeCompletion(const xcb_generic_event_t& event);
    bool SharesMemory() const { return m_shareMemory; }

private:
    bool MakeSegment(int width, int height);
    void DropSegment();
    void PutSegment();
    void PutBox(const Rect& box, bool last);
    void PutPlain(const Raster& frame);

    xcb_connection_t* m_c;
    xcb_window_t m_window;
    std::uint8_t m_depth;
    xcb_gcontext_t m_gc;
    bool m_shareMemory = false;
    std::uint8_t m_completionEvent = 0;
    // The largest plain image request, in bytes.
    std::uint64_t m_maxRequestBytes = 0;

    struct Segment {
        int id = -1;
        std::uint32_t* pixels = nullptr;
        xcb_shm_seg_t seg = 0;
        int width = 0;
        int height = 0;
    } m_segment;
    // A put of the segment the server has not yet read: the next frame waits, so that
    // the segment is never written while the server reads it.
    bool m_putPending = false;
    bool m_repaintWhenRead = false;
    bool m_segmentHoldsFrame = false;
    // Frames put as changed rectangles since the last whole one.
    int m_partialFrames = 0;
    std::vector<Rect> m_changed;
};
