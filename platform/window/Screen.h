// The screen: its colour depth, and its monitors.
#pragma once

#include "platform/raster/Rect.h"

#include <vector>

struct TMonitor {
    // The whole monitor, panels included, in screen coordinates: the window system's
    // pixels, which on a scaled screen are device-independent.
    Rect Bounds;
    bool Primary = false;
    int Density = 96;      // pixels per inch of the window system's pixels
    int DeviceWidth = 0;   // the monitor in its own pixels, as a maximized window's
    int DeviceHeight = 0;  // client area counts them
};

// Bits per pixel of the display the program shows on.
int ScreenColourDepth();
// The monitors, the primary one first.
std::vector<TMonitor> Monitors();
