// Frames onto a form's window over Win32: a frame in one SetDIBitsToDevice of the
// raster's rows (32-bit pixels 0xFFRRGGBB, which is BGRA in memory, top-down), or one a
// changed rectangle, and a copy kept for the window's repaints.
#include "platform/window/win32/Win32FrameSurfaceImpl.h"

#include "platform/Exception.h"

#include <algorithm>
#include <cstring>

BITMAPINFO TopDownPixels(int width, int height)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    // Negative: the rows run top-down.
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

void CopyPixels(HDC dc, int x, int y, const Pixel* rows, int pitch, int sourceX, int width, int height)
{
    if (width <= 0 || height <= 0)
        return;
    const BITMAPINFO info = TopDownPixels(pitch, height);
    SetDIBitsToDevice(dc, x, y, static_cast<DWORD>(width), static_cast<DWORD>(height), sourceX, 0, 0,
                      static_cast<UINT>(height), rows, &info, DIB_RGB_COLORS);
}

TFrameSurface::TFrameSurface(TForm& form) : m_impl(std::make_unique<Impl>(form))
{
    WindowPlatform::AttachSurface(form, *this);
}

TFrameSurface::~TFrameSurface()
{
    WindowPlatform::DetachSurface(m_impl->form, *this);
}

void PaintFrameSurface(TFrameSurface& surface, HDC dc, const RECT& area)
{
    ImplOf(surface).Paint(dc, area);
}

void ForgetFrames(TFrameSurface& surface)
{
    ImplOf(surface).Forget();
}

Raster TFrameSurface::LendFrame(int, int, bool& fresh)
{
    fresh = false;
    // The device-independent bitmap's rows run bottom-up: frames stay the caller's.
    return Raster(0, 0);
}

int TFrameSurface::FramesShown() const
{
    return m_impl->framesShown;
}

void TFrameSurface::CopyFrame(const Raster& frame)
{
    Impl& s = *m_impl;
    const HWND window = ImplOf(s.form).Window();
    if (frame.IsEmpty() || !window)
        return;
    // Kept for repaints: a window's pixels are not its own to keep once covered.
    const int width = frame.Width();
    const int height = frame.Height();
    s.kept.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y)
        std::memcpy(s.kept.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width), frame.Scanline(y),
                    static_cast<std::size_t>(width) * sizeof(Pixel));
    s.keptWidth = width;
    s.keptHeight = height;
    // A hidden window paints the kept frame when it is shown.
    if (!IsWindowVisible(window))
        return;
    const HDC dc = GetDC(window);
    if (!dc)
        throw EOutOfResources("Error creating window device context");
    CopyPixels(dc, 0, 0, frame.Scanline(0), frame.Pitch(), 0, width, height);
    ReleaseDC(window, dc);
    ++s.framesShown;
}

void TFrameSurface::CopyFrame(const Raster& frame, std::span<const Rect> changed)
{
    Impl& s = *m_impl;
    const HWND window = ImplOf(s.form).Window();
    // The kept frame is the window's last one, whole: where there is none of this
    // size (the first copy, after a hide, another size) the whole frame goes.
    if (s.kept.empty() || s.keptWidth != frame.Width() || s.keptHeight != frame.Height() || !window) {
        CopyFrame(frame);
        return;
    }
    const Rect whole{0, 0, frame.Width(), frame.Height()};
    s.changes.Reset(whole);
    for (const Rect& area : changed)
        s.changes.Add(area);
    s.changes.Coalesce();
    const std::span<const Rect> boxes = s.changes.Rects();
    for (const Rect& area : boxes) {
        const Rect part = Intersection(area, whole);
        for (int y = part.Top; y < part.Bottom; ++y)
            std::memcpy(s.kept.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(s.keptWidth) +
                            static_cast<std::size_t>(part.Left),
                        frame.Scanline(y) + part.Left, static_cast<std::size_t>(part.Width()) * sizeof(Pixel));
    }
    if (!IsWindowVisible(window))
        return;
    const HDC dc = GetDC(window);
    if (!dc)
        throw EOutOfResources("Error creating window device context");
    for (const Rect& area : boxes) {
        const Rect part = Intersection(area, whole);
        if (!part.IsEmpty())
            CopyPixels(dc, part.Left, part.Top, frame.Scanline(part.Top), frame.Pitch(), part.Left, part.Width(),
                       part.Height());
    }
    ReleaseDC(window, dc);
    ++s.framesShown;
}

void TFrameSurface::Impl::Forget()
{
    kept.clear();
    keptWidth = 0;
    keptHeight = 0;
}

void TFrameSurface::Impl::Paint(HDC dc, const RECT& area)
{
    // The kept frame where it reaches into the area; the form's colour elsewhere.
    const RECT frameRect{0, 0, keptWidth, keptHeight};
    RECT part{};
    if (!kept.empty() && IntersectRect(&part, &area, &frameRect)) {
        const Pixel* rows = kept.data() + static_cast<std::size_t>(part.top) * static_cast<std::size_t>(keptWidth);
        CopyPixels(dc, part.left, part.top, rows, keptWidth, part.left, part.right - part.left,
                   part.bottom - part.top);
        ExcludeClipRect(dc, part.left, part.top, part.right, part.bottom);
    }
    const HBRUSH brush = CreateSolidBrush(ToColorRef(form.Color()));
    FillRect(dc, &area, brush);
    DeleteObject(brush);
}
