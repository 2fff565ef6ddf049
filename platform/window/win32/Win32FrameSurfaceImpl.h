// The Win32 frame surface's own state: the last frame copied, kept for repaints. Only
// Win32FrameSurface.cpp includes it; the form reaches the surface through
// PaintFrameSurface and ForgetFrames (Win32Impl.h).
#pragma once

#include "platform/raster/FrameChanges.h"
#include "platform/window/win32/Win32Impl.h"

#include <vector>

struct TFrameSurface::Impl {
    explicit Impl(TForm& owner) : form(owner) {}

    // Paints the area from the kept frame; the form's colour where it has none.
    void Paint(HDC dc, const RECT& area);
    // The window was hidden: nothing of its frames is kept for the next show.
    void Forget();

    TForm& form;
    // The last frame copied, for repaints: the frame's pixels, rows top-down.
    std::vector<Pixel> kept;
    int keptWidth = 0;
    int keptHeight = 0;
    int framesShown = 0;
    // A frame's changed rectangles joined into bands: each costs a call into GDI.
    FrameChanges changes;
};
