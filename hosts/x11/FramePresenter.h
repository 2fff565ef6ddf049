// Puts each finished frame on the target window, 1:1 at the frame's size: through one
// MIT shared-memory segment where the server can attach this machine's memory (a
// local display), through plain image requests otherwise. The segment is kept across
// ticks and made anew only when the frame's size changes. It holds the frame last
// shown: only the rectangles the scene says changed are copied into it and put, with
// the whole frame put once a second all the same, so that whatever else drew on the
// window is gone within a second. A frame that comes while the server still reads the
// segment is not copied; its rectangles are joined with the next frame's, so that what
// it changed reaches the window with that one.
#pragma once

#include "platform/raster/FrameChanges.h"
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
    void CopyFrame(const Raster& frame, std::span<const Rect> changed) override;
    // Shows the last frame again after an exposure, where the segment still holds it;
    // on the plain way the next frame goes whole.
    void Repaint();
    // Takes the server's word that it has read the segment; false for any other event.
    bool TakeCompletion(const xcb_generic_event_t& event);
    bool SharesMemory() const { return m_shareMemory; }
    // A put of the segment the server has not yet read: frames handed in now wait.
    bool PutInFlight() const { return m_putPending; }

private:
    bool MakeSegment(int width, int height);
    void DropSegment();
    void PutSegment();
    void PutBox(const Rect& box, bool last);
    void CopyOwedIntoSegment(const Raster& frame);
    void PutPlain(const Raster& frame, const Rect& box);

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
    // Where the window (the segment, on the shared way) still shows an older frame
    // than the last one handed in: the changed rectangles of the frames not yet put.
    FrameChanges m_owed;
    Rect m_owedFrame;
    // On the plain way: the window shows the last frame put (no exposure since).
    bool m_windowHoldsFrame = false;
    // A band of a box's rows, where they are not contiguous in the frame.
    std::vector<Pixel> m_band;
};
