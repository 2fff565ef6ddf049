// Puts each finished frame on an X11 window, 1:1 at the frame's size, for any program
// that has an XCB connection and a window (talvex's own, or a toolkit's): through one
// MIT shared-memory segment where the server can attach this machine's memory (a local
// display), through plain image requests otherwise. The segment is kept across frames
// and made anew only when the frame's size changes. It holds the frame last shown: the
// changed rectangles, joined into few boxes, are copied into it and put, with the
// whole frame put once a second all the same (unless told otherwise), so that whatever
// else drew on the window is gone within a second. Puts are asynchronous: the server says when it has
// read the segment (a completion event the caller hands to TakeCompletion, or the
// reply to a request sent after the puts), and a frame that comes before that is not
// copied; its rectangles are joined with the next frame's, so that what it changed
// reaches the window with that one.
#pragma once

#include "platform/raster/FrameChanges.h"
#include "platform/raster/Raster.h"
#include "platform/x11/X11Server.h"

#include <cstdint>
#include <span>
#include <vector>
#include <xcb/shm.h>
#include <xcb/xcb.h>

class FramePresenter {
public:
    // depth: the window's, 24 or 32. shareMemory: try MIT-SHM (the server is local).
    FramePresenter(xcb_connection_t* c, xcb_window_t window, std::uint8_t depth, bool shareMemory);
    // Detaches the segment on both sides; the segment itself was removed when it was
    // made, so it goes with the last detach.
    ~FramePresenter();
    FramePresenter(const FramePresenter&) = delete;
    FramePresenter& operator=(const FramePresenter&) = delete;

    // Makes the segment for frames of this size ahead of the first, its pages present
    // on both sides, so that the first frame only copies (talvex does this while its
    // pictures load).
    void Prepare(int width, int height);
    // On a window of depth 32 that a compositor blends: pixels of the key colour go
    // out fully transparent, the others opaque. Changing it sends the next frame whole.
    void SetColourKey(bool on, Pixel key);
    // The shared segment for frames of this size, for the caller to compose its frames
    // in, so that CopyFrame puts them from where they are, without a copy; null where
    // the server cannot share memory or the key is on (the segment then holds the
    // frame as the window is given it). Valid until the next Lend of another size, or
    // the presenter's end. fresh: the memory is not what the last Lend gave (it may lie
    // at the same address all the same), and holds no frame. While a put is in flight the server may read rows the next
    // frame has changed already; what that frame changed goes out again with it or
    // the one after, so a slow server shows a mixed frame for a tick at worst.
    Pixel* Lend(int width, int height, bool& fresh);
    // On (as made): the whole frame goes once a second, for a window others may draw
    // on unseen (a host's, the root). Off for a window of the program's own, whose
    // exposures it hears of: every whole frame then costs the server, and a
    // compositing manager, a repaint of the screen for nothing.
    void SetWholeOnceASecond(bool on) { m_wholeOnceASecond = on; }
    // For a connection that a toolkit's thread reads: every event the server sends
    // there wakes the toolkit's loop once more a tick, to hand it in. On, the puts ask
    // for no completion event; a request with a reply follows the last put of each
    // frame, and the server answers it only once it has read the puts before it. The
    // next frame looks whether the answer has come, without waiting for it; an
    // exposure while a put is in flight sends that frame whole.
    void SetCompletionByReply(bool on) { m_completionByReply = on; }
    // Puts the frame's changed rectangles (the whole frame when the window does not
    // hold the one before) and flushes the connection.
    void CopyFrame(const Raster& frame, std::span<const Rect> changed);
    // Shows the last frame again after an exposure, where the segment still holds it;
    // on the plain way the next frame goes whole.
    void Repaint();
    // Takes the server's word that it has read this presenter's segment; false for
    // any other event.
    bool TakeCompletion(const xcb_generic_event_t& event);
    bool SharesMemory() const { return m_shareMemory; }
    // A put of the segment the server has not yet read: frames handed in now wait.
    // By reply, this is where the presenter learns that the reply has come.
    bool PutInFlight();
    // The frame the segment holds, as the window is given it (the key already turned
    // into transparency), while it holds one whole; empty otherwise.
    struct Shown {
        const Pixel* pixels = nullptr;
        int width = 0;
        int height = 0;
    };
    Shown Held() const;

private:
    bool MakeSegment(int width, int height);
    void DropSegment();
    void MapSegmentInServer();
    void PutSegment();
    // A frame's boxes (from FrameChanges::Coalesce: top-down in bands, left to right),
    // the completion asked for by the last put.
    void PutBoxes(std::span<const Rect> boxes);
    void PutBox(xcb_gcontext_t gc, const Rect& box, bool last);
    // After the last put of a frame: the segment is the server's until it says so.
    void MarkPutSent();
    void ForgetReply();
    void CopyOwedIntoSegment(const Raster& frame);
    void PutPlain(const Raster& frame, const Rect& box);
    // count pixels from src to dst, the key turned into transparency when it is on.
    void CopyPixels(Pixel* dst, const Pixel* src, std::size_t count) const;

    xcb_connection_t* m_c;
    xcb_window_t m_window;
    std::uint8_t m_depth;
    xcb_gcontext_t m_gc;
    // Clipped to the boxes of the frame being put.
    xcb_gcontext_t m_clippedGc;
    std::vector<xcb_rectangle_t> m_clip;
    bool m_shareMemory = false;
    std::uint8_t m_completionEvent = 0;
    // The largest plain image request, in bytes.
    std::uint64_t m_maxRequestBytes = 0;
    bool m_keyed = false;
    Pixel m_key = 0;

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
    bool m_completionByReply = false;
    // The request whose reply says the puts before it are read, while it is awaited.
    bool m_replyAwaited = false;
    unsigned m_replySequence = 0;
    bool m_segmentHoldsFrame = false;
    // Frames put as changed rectangles since the last whole one.
    int m_partialFrames = 0;
    bool m_wholeOnceASecond = true;
    // Segments made, and which of them the last Lend gave.
    unsigned m_segmentsMade = 0;
    unsigned m_segmentLent = 0;
    // Where the window (the segment, on the shared way) still shows an older frame
    // than the last one handed in: the changed rectangles of the frames not yet put.
    FrameChanges m_owed;
    Rect m_owedFrame;
    // On the plain way: the window shows the last frame put (no exposure since).
    bool m_windowHoldsFrame = false;
    // A band of a box's rows, where they are not contiguous in the frame or the key
    // turns into transparency on the way.
    std::vector<Pixel> m_band;
};
