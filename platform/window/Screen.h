// The screen: its colour depth, and its monitors.
#pragma once

#include <vector>

// A rectangle of screen coordinates: the window system's pixels, which on a scaled
// screen are device-independent.
struct TRect {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    bool operator==(const TRect&) const = default;
};

struct TMonitor {
    TRect Bounds;          // the whole monitor, panels included
    bool Primary = false;
    int Density = 96;      // pixels per inch of the window system's pixels
    int DeviceWidth = 0;   // the monitor in its own pixels, as a maximized window's
    int DeviceHeight = 0;  // client area counts them
};

// Bits per pixel of the display the program shows on.
int ScreenColourDepth();
// The monitors, the primary one first.
std::vector<TMonitor> Monitors();
