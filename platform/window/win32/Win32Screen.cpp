// The screen over Win32: the display's colour depth and its monitors.
#include "platform/window/win32/Win32Impl.h"

namespace {

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list)
{
    auto& monitors = *reinterpret_cast<std::vector<TMonitor>*>(list);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoA(monitor, &info))
        return TRUE;
    const RECT& r = info.rcMonitor;
    const HDC screen = GetDC(nullptr);
    const int density = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 96;
    if (screen)
        ReleaseDC(nullptr, screen);
    const TMonitor entry{Rect{r.left, r.top, r.right, r.bottom},
                         (info.dwFlags & MONITORINFOF_PRIMARY) != 0, density, r.right - r.left, r.bottom - r.top};
    if (entry.Primary)
        monitors.insert(monitors.begin(), entry);
    else
        monitors.push_back(entry);
    return TRUE;
}

} // namespace

int ScreenColourDepth()
{
    const HDC screen = GetDC(nullptr);
    if (!screen)
        return 24;
    const int depth = GetDeviceCaps(screen, BITSPIXEL) * GetDeviceCaps(screen, PLANES);
    ReleaseDC(nullptr, screen);
    return depth;
}

std::vector<TMonitor> Monitors()
{
    std::vector<TMonitor> monitors;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    return monitors;
}
