// The message record that the application message hook receives, and the message
// numbers the window layer maps its input onto.
#pragma once

#include <cstdint>

struct TPoint {
    std::int32_t X = 0;
    std::int32_t Y = 0;
};

// A window (or control) of the program as the window layer identifies it; compared,
// never looked into.
using TWindowHandle = const void*;

struct TMsg {
    TWindowHandle hwnd = nullptr;   // the window or control the input is addressed to
    std::uint32_t message = 0;
    std::uint32_t wParam = 0;
    std::int32_t lParam = 0;
    std::uint32_t time = 0;         // milliseconds, as the window system stamps it
    TPoint pt;                      // cursor position in screen coordinates (device pixels)
};

constexpr std::uint32_t WM_ACTIVATE = 6;
constexpr std::uint32_t WM_ACTIVATEAPP = 28;
constexpr std::uint32_t WM_NCACTIVATE = 134;
constexpr std::uint32_t WM_KEYDOWN = 256;
constexpr std::uint32_t WM_KEYUP = 257;
constexpr std::uint32_t WM_SYSKEYDOWN = 260;
constexpr std::uint32_t WM_SYSKEYUP = 261;
constexpr std::uint32_t WM_TIMER = 275;
constexpr std::uint32_t WM_MOUSEMOVE = 512;
constexpr std::uint32_t WM_LBUTTONDOWN = 513;
constexpr std::uint32_t WM_LBUTTONUP = 514;
constexpr std::uint32_t WM_LBUTTONDBLCLK = 515;
constexpr std::uint32_t WM_RBUTTONDOWN = 516;
constexpr std::uint32_t WM_RBUTTONUP = 517;
constexpr std::uint32_t WM_RBUTTONDBLCLK = 518;
constexpr std::uint32_t WM_MBUTTONDOWN = 519;
constexpr std::uint32_t WM_MBUTTONUP = 520;
constexpr std::uint32_t WM_MBUTTONDBLCLK = 521;
constexpr std::uint32_t WM_MOUSEWHEEL = 522;
constexpr std::uint32_t WM_XBUTTONDOWN = 523;
constexpr std::uint32_t WM_XBUTTONUP = 524;
constexpr std::uint32_t WM_XBUTTONDBLCLK = 525;
constexpr std::uint32_t WM_MOUSEHWHEEL = 526;

// wParam of a pointer message: the buttons and modifier keys held.
constexpr std::uint32_t MK_LBUTTON = 0x0001;
constexpr std::uint32_t MK_RBUTTON = 0x0002;
constexpr std::uint32_t MK_SHIFT = 0x0004;
constexpr std::uint32_t MK_CONTROL = 0x0008;
constexpr std::uint32_t MK_MBUTTON = 0x0010;
constexpr std::uint32_t MK_XBUTTON1 = 0x0020;
constexpr std::uint32_t MK_XBUTTON2 = 0x0040;

// lParam of a pointer message: x in the low 16 bits, y in the high 16 bits.
constexpr std::int32_t MakeLParam(int x, int y)
{
    return static_cast<std::int32_t>((static_cast<std::uint32_t>(x) & 0xFFFFu) |
                                     ((static_cast<std::uint32_t>(y) & 0xFFFFu) << 16));
}
