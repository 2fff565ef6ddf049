// A form over a Win32 top-level window: made hidden from the description at first
// need and owned by the application window, the density rule, the show, activate and
// hide events in their order, the main-window rule on close, the maximized state,
// stay-on-top and its loss while another application is active, the colour key, and
// the dialog keys.
#include "platform/window/win32/Win32Impl.h"

#include <algorithm>

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

int CALLBACK FaceFound(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM found)
{
    *reinterpret_cast<bool*>(found) = true;
    return 0;
}

// The face where the system has it; otherwise the face of the system's dialog font.
std::string AvailableFace(const std::string& face)
{
    LOGFONTA wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    lstrcpynA(wanted.lfFaceName, face.c_str(), LF_FACESIZE);
    bool found = false;
    if (const HDC screen = GetDC(nullptr)) {
        EnumFontFamiliesExA(screen, &wanted, FaceFound, reinterpret_cast<LPARAM>(&found), 0);
        ReleaseDC(nullptr, screen);
    }
    if (found)
        return face;
    LOGFONTA fallback{};
    if (GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof fallback, &fallback) != 0)
        return fallback.lfFaceName;
    return face;
}

// The height of a font's text line in pixels.
int TextHeight(HFONT font)
{
    const HDC screen = GetDC(nullptr);
    if (!screen)
        return 0;
    const HGDIOBJ previous = SelectObject(screen, font);
    TEXTMETRICA metrics{};
    GetTextMetricsA(screen, &metrics);
    SelectObject(screen, previous);
    ReleaseDC(nullptr, screen);
    return metrics.tmHeight;
}

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

} // namespace

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
        if (form->GetImpl().window == window)
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
    if (Application)
        Application->RegisterForm(this);
}

TForm::~TForm()
{
    // A visible form is hidden before it is destroyed, so that OnHide runs.
    if (Visible())
        Hide();
    if (Application)
        Application->UnregisterForm(this);
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

int TForm::Impl::FontPixels(const TFont& font) const
{
    return designDensity > 0 ? MulDiv(font.Height, builtForDensity, designDensity) : font.Height;
}

HFONT TForm::Impl::Font(const TFont& font)
{
    const int pixels = FontPixels(font);
    const auto key = std::make_pair(font.Name, pixels);
    const auto found = fonts.find(key);
    if (found != fonts.end())
        return found->second;
    // A negative height asks for the character height, without the internal leading.
    const HFONT made = CreateFontA(-pixels, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                   OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                   DEFAULT_PITCH | FF_DONTCARE, AvailableFace(font.Name).c_str());
    fonts[key] = made;
    return made;
}

RECT TForm::Impl::ScaledRect(int left, int top, int width, int height) const
{
    // MulDiv rounds to the nearest integer, halves away from zero.
    const int l = MulDiv(left, scaleNumerator, scaleDenominator);
    const int t = MulDiv(top, scaleNumerator, scaleDenominator);
    return RECT{l, t, l + MulDiv(width, scaleNumerator, scaleDenominator),
                t + MulDiv(height, scaleNumerator, scaleDenominator)};
}

HWND TForm::Impl::Window()
{
    if (window)
        return window;
    RegisterFormClass();

    // The density rule: fonts by the ratio of the densities, then every position and
    // size by the ratio of the dialog font's text height to the design one.
    if (designDensity > 0) {
        const int density = ScreenDensity();
        builtForDensity = density > 0 ? density : designDensity;
        if (builtForDensity != designDensity) {
            scaleNumerator = TextHeight(Font(form.Font()));
            scaleDenominator = designTextHeight;
        }
    }

    const TRect& b = designBounds;
    const RECT scaled = ScaledRect(b.Left, b.Top, b.Width, b.Height);
    // The place as designed, the size by the density rule.
    const RECT outer = boundsSet ? OuterRect(b.Left, b.Top, scaled.right - scaled.left, scaled.bottom - scaled.top)
                                 : OuterRect(scaled.left, scaled.top, scaled.right - scaled.left,
                                             scaled.bottom - scaled.top);
    const HWND owner = Application ? Application->GetImpl().window : nullptr;
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

void TForm::SetClientBounds(const TRect& bounds)
{
    m_impl->designBounds = bounds;
    m_impl->boundsSet = true;
    if (m_impl->Made()) {
        const RECT scaled = m_impl->ScaledRect(bounds.Left, bounds.Top, bounds.Width, bounds.Height);
        const RECT outer = m_impl->OuterRect(bounds.Left, bounds.Top, scaled.right - scaled.left,
                                             scaled.bottom - scaled.top);
        SetWindowPos(m_impl->window, nullptr, outer.left, outer.top, outer.right - outer.left,
                     outer.bottom - outer.top, SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

TRect TForm::ClientBounds() const
{
    if (!m_impl->Made())
        return m_impl->designBounds;
    RECT client{};
    GetClientRect(m_impl->window, &client);
    POINT origin{0, 0};
    ClientToScreen(m_impl->window, &origin);
    return TRect{origin.x, origin.y, client.right, client.bottom};
}

void TForm::SetDesignDensity(int pixelsPerInch, int textHeight)
{
    m_impl->designDensity = pixelsPerInch;
    m_impl->designTextHeight = textHeight;
}

int TForm::BuiltForDensity() const
{
    m_impl->Window();
    return m_impl->builtForDensity;
}

int TForm::ScaleNumerator() const
{
    m_impl->Window();
    return m_impl->scaleNumerator;
}

int TForm::ScaleDenominator() const
{
    m_impl->Window();
    return m_impl->scaleDenominator;
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
    if (OnShow)
        RunHandler(OnShow);
    ShowWindow(w, m_windowState == TWindowState::Maximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
    SetForegroundWindow(w);
}

void TForm::Hide()
{
    if (!Visible())
        return;
    const HWND w = m_impl->window;
    const bool wasActive = GetActiveWindow() == w;
    if (OnHide)
        RunHandler(OnHide);
    ShowWindow(w, SW_HIDE);
    // The next show starts in the form's colour: nothing of this show's frames is kept.
    if (m_impl->surface)
        m_impl->surface->Forget();
    if (wasActive)
        m_impl->ActivateAnotherForm();
}

void TForm::Close()
{
    if (Application && Application->MainForm() == this)
        Application->Terminate();
    else
        Hide();
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
    return TMonitor{TRect{r.left, r.top, width, height}, (info.dwFlags & MONITORINFOF_PRIMARY) != 0,
                    ScreenDensity(), width, height};
}

TWindowHandle TForm::Handle() const
{
    return m_impl->Window();
}

// --- Placement, activation ----------------------------------------------------------

void TForm::Impl::PlaceOnActiveMonitor()
{
    // Onto the monitor of the application's active window, keeping the offset from
    // the monitor's corner, pulled back inside at the right and bottom.
    const HWND active = GetActiveWindow();
    if (!active || active == window || !FormOfWindow(active))
        return;
    const HMONITOR target = MonitorFromWindow(active, MONITOR_DEFAULTTONEAREST);
    const HMONITOR current = MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST);
    if (target == current)
        return;
    const RECT from = MonitorInfo(current).rcMonitor;
    const RECT to = MonitorInfo(target).rcMonitor;
    RECT outer{};
    GetWindowRect(window, &outer);
    const int width = outer.right - outer.left;
    const int height = outer.bottom - outer.top;
    int x = to.left + (outer.left - from.left);
    int y = to.top + (outer.top - from.top);
    x = std::min<int>(x, to.right - width);
    y = std::min<int>(y, to.bottom - height);
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::Impl::ActivateAnotherForm()
{
    if (!Application)
        return;
    TForm* next = nullptr;
    TForm* main = Application->MainForm();
    if (main && main != &form && main->Visible())
        next = main;
    for (TForm* other : Application->Forms()) {
        if (!next && other != &form && other->Visible())
            next = other;
    }
    if (next)
        next->Activate();
}

// --- The dialog keys ----------------------------------------------------------------

std::vector<HWND> TForm::Impl::FocusChain() const
{
    std::vector<TControl*> byTab = form.Controls();
    std::stable_sort(byTab.begin(), byTab.end(),
                     [](const TControl* a, const TControl* b) { return a->TabOrder() < b->TabOrder(); });
    std::vector<HWND> chain;
    for (const TControl* control : byTab) {
        const auto found = controls.find(control);
        if (found == controls.end() || !control->Visible())
            continue;
        if (dynamic_cast<const TBitBtn*>(control)) {
            if (IsWindowEnabled(found->second.window))
                chain.push_back(found->second.window);
        } else if (dynamic_cast<const TRadioGroup*>(control) && !found->second.items.empty()) {
            // A radio group takes the focus on its chosen item, or its first.
            HWND item = found->second.items.front();
            for (HWND candidate : found->second.items) {
                if (SendMessageA(candidate, BM_GETCHECK, 0, 0) == BST_CHECKED)
                    item = candidate;
            }
            chain.push_back(item);
        }
    }
    return chain;
}

TControl* TForm::Impl::ControlOf(HWND control) const
{
    if (!control)
        return nullptr;
    // Through the form's live list: a control already destroyed is never found.
    for (TControl* candidate : form.Controls()) {
        const auto found = controls.find(candidate);
        if (found == controls.end())
            continue;
        const ControlWindows& parts = found->second;
        if (parts.window == control ||
            std::find(parts.items.begin(), parts.items.end(), control) != parts.items.end())
            return candidate;
    }
    return nullptr;
}

TBitBtn* TForm::Impl::ButtonOf(HWND control) const
{
    return dynamic_cast<TBitBtn*>(ControlOf(control));
}

bool TForm::Impl::DialogKey(WPARAM key)
{
    const bool shift = GetKeyState(VK_SHIFT) < 0;
    const bool control = GetKeyState(VK_CONTROL) < 0;
    const bool alt = GetKeyState(VK_MENU) < 0;
    switch (key) {
    case VK_TAB: {
        if (control || alt)
            return false;
        const std::vector<HWND> chain = FocusChain();
        if (chain.empty())
            return false;
        const auto current = std::find(chain.begin(), chain.end(), GetFocus());
        std::size_t next = 0;
        if (current != chain.end()) {
            const std::size_t at = static_cast<std::size_t>(current - chain.begin());
            next = shift ? (at + chain.size() - 1) % chain.size() : (at + 1) % chain.size();
        } else if (shift) {
            next = chain.size() - 1;
        }
        SetFocus(chain[next]);
        return true;
    }
    case VK_RETURN:
    case VK_ESCAPE: {
        if (shift || control || alt)
            return false;
        // Enter presses the focused button, else the default one; Escape the cancel one
        // wherever the focus is.
        TBitBtn* button = key == VK_RETURN ? ButtonOf(GetFocus()) : nullptr;
        for (TControl* candidate : form.Controls()) {
            auto* b = dynamic_cast<TBitBtn*>(candidate);
            if (!button && b && b->Visible() && (key == VK_RETURN ? b->Default() : b->Cancel()))
                button = b;
        }
        if (!button)
            return false;
        button->Click();
        return true;
    }
    default:
        return false;
    }
}

// --- The window procedure -----------------------------------------------------------

LRESULT TForm::Impl::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CLOSE:
        // The window system's close request follows the main-window rule; the window
        // is never destroyed by it.
        form.Close();
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) == WA_INACTIVE) {
            const HWND focus = GetFocus();
            if (focus && IsChild(window, focus))
                lastFocus = focus;
            return 0;
        }
        SetFocus(lastFocus && IsWindowVisible(lastFocus) ? lastFocus : window);
        // Not while minimised.
        if (HIWORD(wParam) == 0 && form.OnActivate)
            RunHandler(form.OnActivate);
        return 0;
    case WM_SETFOCUS:
        if (lastFocus && IsWindowVisible(lastFocus))
            SetFocus(lastFocus);
        return 0;
    case WM_ACTIVATEAPP:
        // While another application is active, a stay-on-top window other than the
        // main window gives up its place above the others.
        if (form.StayOnTop() && Application && Application->MainForm() != &form)
            SetTopmost(window, wParam != FALSE);
        break;
    case WM_ERASEBKGND:
        // A form with a frame surface paints all of its client area itself.
        if (!surface) {
            RECT client{};
            GetClientRect(window, &client);
            FillRect(reinterpret_cast<HDC>(wParam), &client, background);
        }
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT paint{};
        const HDC dc = BeginPaint(window, &paint);
        if (dc && surface)
            surface->Paint(dc, paint.rcPaint);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_CTLCOLORSTATIC: {
        const HDC dc = reinterpret_cast<HDC>(wParam);
        TControl* control = ControlOf(reinterpret_cast<HWND>(lParam));
        if (auto* label = dynamic_cast<TLabel*>(control)) {
            // Each label on a background of its own colour.
            SetTextColor(dc, ToColorRef(label->Font().Color));
            SetBkColor(dc, ToColorRef(label->Color()));
            return reinterpret_cast<LRESULT>(controls[control].background);
        }
        SetTextColor(dc, ToColorRef(control ? control->Font().Color : form.Font().Color));
        SetBkColor(dc, ToColorRef(form.Color()));
        return reinterpret_cast<LRESULT>(background);
    }
    case WM_CTLCOLORBTN:
        return reinterpret_cast<LRESULT>(background);
    case WM_DRAWITEM: {
        const auto* item = reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
        if (item && item->CtlType == ODT_BUTTON) {
            DrawButton(*item);
            return TRUE;
        }
        break;
    }
    case WM_COMMAND:
        if (HIWORD(wParam) == BN_CLICKED && lParam != 0) {
            const HWND from = reinterpret_cast<HWND>(lParam);
            TControl* control = ControlOf(from);
            if (auto* button = dynamic_cast<TBitBtn*>(control)) {
                button->Click();
            } else if (auto* group = dynamic_cast<TRadioGroup*>(control)) {
                const std::vector<HWND>& items = controls[control].items;
                const auto at = std::find(items.begin(), items.end(), from);
                if (at != items.end())
                    group->SetItemIndex(static_cast<int>(at - items.begin()));
            }
            return 0;
        }
        break;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK TForm::Impl::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        auto* impl = static_cast<Impl*>(create->lpCreateParams);
        impl->window = window;
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(impl));
    }
    auto* impl = reinterpret_cast<Impl*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!impl || message == WM_NCDESTROY) {
        if (impl)
            SetWindowLongPtrA(window, GWLP_USERDATA, 0);
        return DefWindowProcA(window, message, wParam, lParam);
    }
    // Nothing may leave a window procedure: what escapes goes to the error report.
    LRESULT result = 0;
    RunHandler([&] { result = impl->Handle(message, wParam, lParam); });
    return result;
}
