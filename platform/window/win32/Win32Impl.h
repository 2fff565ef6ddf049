// The Win32 side of the window layer: what stands behind each object of the interface.
// Only the layer's Win32 sources include it.
#pragma once

#include "platform/window/Cursor.h"
#include "platform/window/MessageBox.h"
#include "platform/window/Messages.h"
#include "platform/window/Screen.h"
#include "platform/window/TApplication.h"
#include "platform/window/TBitBtn.h"
#include "platform/window/TControl.h"
#include "platform/window/TForm.h"
#include "platform/window/TFrameSurface.h"
#include "platform/window/TLabel.h"
#include "platform/window/TRadioGroup.h"
#include "platform/window/TTimer.h"
#include "platform/window/WindowPlatform.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <span>
#include <string>
#include <utility>
#include <vector>

// windows.h comes after the interface: it defines the message numbers the interface
// names (WM_TIMER, ...) as macros of the same values.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

// Private messages of the application window.
constexpr UINT QuitRequestMessage = WM_APP + 1;   // the quit request (TApplication::Terminate)
constexpr UINT QueuedCallMessage = WM_APP + 2;   // one call of TApplication::QueueCall

struct TApplication::Impl {
    explicit Impl(TApplication& application) : app(application) {}

    // Offers a message the loop took to the hook, then handles the dialog keys, then
    // translates and dispatches it.
    void Process(MSG& msg);
    // Shows the main form as the launching process asked (show commands 3 and 7).
    void ShowMainForm();
    // A message box's loop has ended: a quit request it took is posted again now.
    void ModalLoopEnded();
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    TApplication& app;
    // The hidden application window: owner of every form's window, target of the quit
    // request and the queued calls, and what stands for the application when it is
    // minimised.
    HWND window = nullptr;
    std::deque<std::function<void()>> calls;
    // A quit request taken by a message box's loop, held until the box is gone.
    bool quitHeld = false;
};

// A glyph picture as pixels: 0x00RRGGBB, rows top-down; its bottom-left pixel's colour
// is transparent.
struct Glyph {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
    bool Empty() const { return pixels.empty(); }
};

// The windows of a control, made with its form's window.
struct ControlWindows {
    HWND window = nullptr;       // the label, button or group box
    std::vector<HWND> items;     // a radio group's buttons
    HBRUSH background = nullptr; // a label's own background
    Glyph glyph;                 // a button's glyph picture
};

struct TForm::Impl {
    explicit Impl(TForm& owner) : form(owner) {}
    ~Impl();

    // The form's window, made from the description at first need.
    HWND Window();
    bool Made() const { return window != nullptr; }
    void ApplyFormProperties();
    void ApplyControl(TControl& control);
    // The window styles of the border style.
    DWORD Style() const;
    DWORD ExStyle() const;
    // The outer window rectangle whose client area is at (left, top) of the given size.
    RECT OuterRect(int left, int top, int width, int height) const;
    // A font at the size the density rule gives it, made once per face and size.
    HFONT Font(const TFont& font);
    // A rectangle of the description by the density rule.
    RECT ScaledRect(int left, int top, int width, int height) const;
    // The controls that take the focus, in tab order.
    std::vector<HWND> FocusChain() const;
    TControl* ControlOf(HWND control) const;
    TBitBtn* ButtonOf(HWND control) const;
    // Tab, Shift+Tab, Enter and Escape on the form; true when the key was used.
    bool DialogKey(WPARAM key);
    void DrawButton(const DRAWITEMSTRUCT& item);
    void PlaceOnActiveMonitor();
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    TForm& form;
    HWND window = nullptr;
    std::map<const TControl*, ControlWindows> controls;
    std::map<std::pair<std::string, int>, HFONT> fonts;
    HBRUSH background = nullptr;
    Rect designBounds{0, 0, 640, 480};
    bool boundsSet = false;
    bool keyWanted = false;
    bool keyActive = false;
    TColor keyColour = 0;
    bool shownBefore = false;
    // The control that had the focus when the form was last active.
    HWND lastFocus = nullptr;
};

struct TTimer::Impl {
    explicit Impl(TTimer& owner) : timer(owner) {}
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    TTimer& timer;
    // The timer's own hidden window, which its WM_TIMER messages are posted to.
    HWND window = nullptr;
    bool running = false;
};

// The program's module, which holds the window classes and the resources.
HINSTANCE ModuleInstance();
// A text of the interface (UTF-8) in the system's code page, for the A calls.
std::string ToAnsi(const std::string& utf8);
// An interface colour as the window system's, system colours resolved.
COLORREF ToColorRef(TColor colour);
// A form's frame surface, from the form's side (Win32FrameSurface.cpp): paints an
// area of its window from the kept frame; forgets its frames when the window hides.
void PaintFrameSurface(TFrameSurface& surface, HDC dc, const RECT& area);
void ForgetFrames(TFrameSurface& surface);
// The height of a font's text line in pixels.
int TextHeight(HFONT font);
MONITORINFO MonitorInfo(HMONITOR monitor);
// Puts the window above every window that is not stay-on-top (on), or among them.
void SetTopmost(HWND window, bool on);
// The form whose window this is, or null.
TForm* FormOfWindow(HWND window);
// SetLayeredWindowAttributes, looked up in user32 once; null where it is missing.
using SetLayeredWindowAttributesFunction = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);
SetLayeredWindowAttributesFunction LayeredWindowAttributes();
// The glyph of a button kind, from the program's bitmap resources; or of a BMP file
// image. Empty when there is none or it cannot be read.
Glyph KindGlyph(TBitBtnKind kind);
Glyph FileGlyph(std::span<const std::uint8_t> bmpFile);
// One copy of pixels onto a device at (x, y): width x height pixels from column
// sourceX of the rows that start at rows, pitch pixels apart, top-down.
void CopyPixels(HDC dc, int x, int y, const Pixel* rows, int pitch, int sourceX, int width, int height);
// The description of width x height 32-bit pixels (0xFFRRGGBB, BGRA in memory), their
// rows top-down as the raster's run.
BITMAPINFO TopDownPixels(int width, int height);
