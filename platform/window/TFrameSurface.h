// How frames reach a form's client area: the one copy of a raster per frame, one
// raster pixel to one device pixel, with the form's colour key applied. The screen
// window owns one; a form without one shows its background colour.
#pragma once

#include "platform/raster/Raster.h"
#include "platform/raster/Rect.h"

#include <memory>
#include <span>

class TForm;

class TFrameSurface {
public:
    explicit TFrameSurface(TForm& form);
    ~TFrameSurface();
    TFrameSurface(const TFrameSurface&) = delete;
    TFrameSurface& operator=(const TFrameSurface&) = delete;

    // Copy to window: the whole raster on the client area at (0, 0), opaque, in one
    // operation; the colour key then applies to the copied pixels. A window hidden
    // keeps nothing of its frames for its next show, which starts in the form's
    // colour.
    void CopyFrame(const Raster& frame);
    // The same for a frame that differs from the last one copied only inside changed
    // (device pixels): only those reach the window, unless it does not hold the last
    // frame whole (the first copy, after a show, a resize, a paint the window system
    // asked for, or a frame of another size), when the whole frame does.
    void CopyFrame(const Raster& frame, std::span<const Rect> changed);
    // How many copied frames have reached the window.
    int FramesShown() const;
    // Memory the window system reads frames from in place, width x height pixels, for
    // the caller to compose its frames in, so that copying them copies nothing; valid
    // until the next call, a copy, a hide or the surface's end, whichever is first: the
    // caller asks again before each frame. Empty where there is none (another window
    // system, a keyed window, the window not on the screen): the frame stays the
    // caller's own. fresh: the memory is not what the last call lent, though it may lie
    // at the same address, and holds no frame.
    Raster LendFrame(int width, int height, bool& fresh);

    // The window layer's own part, behind the interface (WindowPlatform.h).
    struct Impl;

private:
    friend class WindowPlatform;
    std::unique_ptr<Impl> m_impl;
};
