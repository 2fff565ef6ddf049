// A form over a Win32 top-level window: made hidden from the description at first
// need and owned by the application window, the density rule, show and hide, the
// maximized state, stay-on-top and the colour key. The dialog keys and placement are
// in Win32FormKeys.cpp, the window procedure in Win32FormWindowProc.cpp, the fonts in
// Win32FormFonts.cpp.
#include "platform/window/win32/Win32Impl.h"

namespace {

constexpr const char* FormClass = "VeskanForm";

void RegisterFormClass()
{
    static const bool registered = [] {
        WNDCLASSA windowClass{};
        windowClass.style = CS_DBLCLKS;
        windowClass.lpfnWndProc = TForm::Impl::WindowProc;
        windowClass.hInstance = ModuleInstance();
        windowClass.hIcon = LoadIconA(ModuleInstance(), "MAINICON");
        windowClass.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
        windowClass.lpszClassName = FormClass;
        return RegisterClassA(&windowClass) != 0;
    }();
    (void)registered;
}

int ScreenDensity()
{
    const HDC screen = GetDC(nullptr);
    const int density = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen)
        ReleaseDC(nullptr, screen);
    return density;
}

} // namespace

MONITORINFO MonitorInfo(HMONITOR monitor)
{
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoA(monitor, &info);
    return info;
}

void SetTopmost(HWND window, bool on)
{
    SetWindowPos(window, on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

COLORREF ToColorRef(TColor colour)
{
    if (colour == clWindowText)
        return GetSysColor(COLOR_WINDOWTEXT);
    return RGB((colour >> 16) & 0xFF, (colour >> 8) & 0xFF, colour & 0xFF);
}

TForm* FormOfWindow(HWND window)
{
    if (!window || !Application)
        return nullptr;
    for (TForm* form : Application->Forms()) {
        if (ImplOf(*form).window == window)
            return form;
    }
    return nullptr;
}

SetLayeredWindowAttributesFunction LayeredWindowAttributes()
{
    static const SetLayeredWindowAttributesFunction function = [] {
        const HMODULE user32 = GetModuleHandleA("user32.dll");
        return user32 ? reinterpret_cast<SetLayeredWindowAttributesFunction>(
                            reinterpret_cast<void*>(GetProcAddress(user32, "SetLayeredWindowAttributes")))
                      : nullptr;
    }();
    return function;
}

// --- The form -----------------------------------------------------------------------

TForm::TForm() : m_impl(std::make_unique<Impl>(*this))
{
    FormMade(*this);
}

TForm::~TForm()
{
    FormDestroying(*this);
}

TForm::Impl::~Impl()
{
    // The controls' windows go with the form's.
    if (window)
        DestroyWindow(window);
    for (auto& [control, parts] : controls) {
        if (parts.background)
            DeleteObject(parts.background);
    }
    for (auto& [key, font] : fonts)
        DeleteObject(font);
    if (background)
        DeleteObject(background);
}

void TForm::ApplyProperties()
{
    if (m_impl->Made())
        m_impl->ApplyFormProperties();
}

DWORD TForm::Impl::Style() const
{
    switch (form.BorderStyle()) {
    case TBorderStyle::None:
        return WS_POPUP | WS_CLIPCHILDREN;
    case TBorderStyle::Dialog:
        // A fixed dialog frame whose title bar holds the system menu and its close box.
        return WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    case TBorderStyle::Sizeable:
        break;
    }
    return WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN;
}

DWORD TForm::Impl::ExStyle() const
{
    DWORD exStyle = form.BorderStyle() == TBorderStyle::Dialog ? WS_EX_DLGMODALFRAME : 0;
    // A window with a title bar has a button in the task bar of its own, although the
    // hidden application window owns it.
    if (form.BorderStyle() != TBorderStyle::None)
        exStyle |= WS_EX_APPWINDOW;
    if (keyActive)
        exStyle |= WS_EX_LAYERED;
    return exStyle;
}

RECT TForm::Impl::OuterRect(int left, int top, int width, int height) const
{
    RECT r{left, top, left + width, top + height};
    AdjustWindowRectEx(&r, Style(), FALSE, ExStyle());
    return r;
}

void TForm::Impl::ApplyFormProperties()
{
    SetWindowTextA(window, ToAnsi(form.Caption()).c_str());
    const DWORD style = (static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)) & (WS_VISIBLE | WS_MAXIMIZE)) | Style();
    const DWORD exStyle = (static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE)) & WS_EX_TOPMOST) | ExStyle();
    if (static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)) != style ||
        static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE)) != exStyle) {
        SetWindowLongA(window, GWL_STYLE, static_cast<LONG>(style));
        SetWindowLongA(window, GWL_EXSTYLE, static_cast<LONG>(exStyle));
        SetWindowPos(window, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    }
    SetTopmost(window, form.StayOnTop());
    if (background)
        DeleteObject(background);
    background = CreateSolidBrush(ToColorRef(form.Color()));
    InvalidateRect(window, nullptr, TRUE);
}

RECT TForm::Impl::ScaledRect(int left, int top, int width, int height) const
{
    const FormScale& scale = WindowPlatform::ScaleOf(form);
    const int l = scale.Scaled(left);
    const int t = scale.Scaled(top);
    return RECT{l, t, l + scale.Scaled(width), t + scale.Scaled(height)};
}

HWND TForm::Impl::Window()
{
    if (window)
        return window;
    RegisterFormClass();

    // The density rule: fonts by the ratio of the densities, then every position and
    // size by the ratio of the dialog font's text height to the design one.
    FormScale& scale = WindowPlatform::ScaleOf(form);
    if (scale.TakeScreenDensity(ScreenDensity()))
        scale.TakeTextHeight(TextHeight(Font(form.Font())));

    const Rect& b = designBounds;
    const RECT scaled = ScaledRect(b.Left, b.Top, b.Width(), b.Height());
    // The place as designed, the size by the density rule.
    const RECT outer = boundsSet ? OuterRect(b.Left, b.Top, scaled.right - scaled.left, scaled.bottom - scaled.top)
                                 : OuterRect(scaled.left, scaled.top, scaled.right - scaled.left,
                                             scaled.bottom - scaled.top);
    const HWND owner = Application ? ImplOf(*Application).window : nullptr;
    // Created hidden; the properties follow once the window exists.
    window = CreateWindowExA(ExStyle(), FormClass, "", Style(), outer.left, outer.top, outer.right - outer.left,
                             outer.bottom - outer.top, owner, nullptr, ModuleInstance(), this);
    if (!window)
        return nullptr;
    ApplyFormProperties();

    for (TControl* control : form.Controls())
        ApplyControl(*control);
    // The first control in tab order takes the focus when the form is first active.
    const std::vector<HWND> chain = FocusChain();
    lastFocus = chain.empty() ? nullptr : chain.front();
    if (keyWanted)
        form.SetTransparentColor(true, keyColour);
    return window;
}

void TForm::SetClientBounds(const Rect& bounds)
{
    m_impl->designBounds = bounds;
    m_impl->boundsSet = true;
    if (m_impl->Made()) {
        const RECT scaled = m_impl->ScaledRect(bounds.Left, bounds.Top, bounds.Width(), bounds.Height());
        const RECT outer = m_impl->OuterRect(bounds.Left, bounds.Top, scaled.right - scaled.left,
                                             scaled.bottom - scaled.top);
        SetWindowPos(m_impl->window, nullptr, outer.left, outer.top, outer.right - outer.left,
                     outer.bottom - outer.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

Rect TForm::ClientBounds() const
{
    if (!m_impl->Made())
        return m_impl->designBounds;
    RECT client{};
    GetClientRect(m_impl->window, &client);
    POINT origin{0, 0};
    ClientToScreen(m_impl->window, &origin);
    return Rect::Sized(origin.x, origin.y, client.right, client.bottom);
}

void TForm::MakeWindow() const
{
    m_impl->Window();
}

void TForm::SetTransparentColor(bool on, TColor key)
{
    m_impl->keyWanted = on;
    m_impl->keyColour = key;
    const SetLayeredWindowAttributesFunction layered = LayeredWindowAttributes();
    // Without the call the window shows without the key.
    m_impl->keyActive = on && layered != nullptr;
    if (!m_impl->Made())
        return;
    const HWND w = m_impl->window;
    const LONG exStyle = GetWindowLongA(w, GWL_EXSTYLE);
    if (m_impl->keyActive) {
        SetWindowLongA(w, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
        layered(w, ToColorRef(key), 255, LWA_COLORKEY);
    } else if ((exStyle & WS_EX_LAYERED) != 0) {
        SetWindowLongA(w, GWL_EXSTYLE, exStyle & ~WS_EX_LAYERED);
    }
}

bool TForm::TransparencyActive() const
{
    return m_impl->keyActive;
}

void TForm::Show()
{
    const HWND w = m_impl->Window();
    if (!w)
        return;
    if (IsWindowVisible(w)) {
        SetForegroundWindow(w);
        return;
    }
    if (!m_impl->shownBefore && m_position == TFormPosition::ScreenCenter) {
        // The whole window, frame included, centred on the primary monitor.
        const RECT area = MonitorInfo(MonitorFromPoint(POINT{0, 0}, MONITOR_DEFAULTTOPRIMARY)).rcMonitor;
        RECT outer{};
        GetWindowRect(w, &outer);
        const int width = outer.right - outer.left;
        const int height = outer.bottom - outer.top;
        SetWindowPos(w, nullptr, area.left + (area.right - area.left - width) / 2,
                     area.top + (area.bottom - area.top - height) / 2, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    m_impl->shownBefore = true;
    m_impl->PlaceOnActiveMonitor();
    // The show event comes before the window is put on the screen.
    FormShowing(*this);
    ShowWindow(w, m_windowState == TWindowState::Maximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
    SetForegroundWindow(w);
}

void TForm::Hide()
{
    if (!Visible())
        return;
    const HWND w = m_impl->window;
    const bool wasActive = GetActiveWindow() == w;
    FormHidden(*this);
    ShowWindow(w, SW_HIDE);
    // The next show starts in the form's colour: nothing of this show's frames is kept.
    if (TFrameSurface* surface = WindowPlatform::SurfaceOf(*this))
        ForgetFrames(*surface);
    if (wasActive)
        ActivateAnotherForm(*this);
}

bool TForm::Visible() const
{
    return m_impl->Made() && IsWindowVisible(m_impl->window);
}

bool TForm::Active() const
{
    return m_impl->Made() && GetActiveWindow() == m_impl->window;
}

void TForm::Activate()
{
    if (Visible()) {
        SetForegroundWindow(m_impl->window);
        SetActiveWindow(m_impl->window);
    }
}

void TForm::SetWindowState(TWindowState state)
{
    if (state == m_windowState)
        return;
    m_windowState = state;
    // A hidden window takes the state at its next show.
    if (!Visible())
        return;
    ShowWindow(m_impl->window, state == TWindowState::Maximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
}

int TForm::ClientWidth() const
{
    RECT client{};
    GetClientRect(m_impl->Window(), &client);
    return client.right;
}

int TForm::ClientHeight() const
{
    RECT client{};
    GetClientRect(m_impl->Window(), &client);
    return client.bottom;
}

TMonitor TForm::Monitor() const
{
    const HMONITOR monitor = MonitorFromWindow(m_impl->Window(), MONITOR_DEFAULTTONEAREST);
    const MONITORINFO info = MonitorInfo(monitor);
    const RECT& r = info.rcMonitor;
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    return TMonitor{Rect::Sized(r.left, r.top, width, height), (info.dwFlags & MONITORINFOF_PRIMARY) != 0,
                    ScreenDensity(), width, height};
}

TWindowHandle TForm::Handle() const
{
    return m_impl->Window();
}
