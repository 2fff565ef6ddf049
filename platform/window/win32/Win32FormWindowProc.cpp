// A Win32 form's window procedure: the window system's messages turned into the
// form's events (close request, activation, paint, control colours and clicks).
#include "platform/window/win32/Win32Impl.h"

#include <algorithm>

// --- The window procedure -----------------------------------------------------------

LRESULT TForm::Impl::Handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CLOSE:
        // The window system's close request follows the main-window rule; the window
        // is never destroyed by it.
        FormCloseRequested(form);
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
        if (HIWORD(wParam) == 0)
            FormActivated(form);
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
        if (!WindowPlatform::SurfaceOf(form)) {
            RECT client{};
            GetClientRect(window, &client);
            FillRect(reinterpret_cast<HDC>(wParam), &client, background);
        }
        return 1;
    case WM_PAINT: {
        PAINTSTRUCT paint{};
        const HDC dc = BeginPaint(window, &paint);
        TFrameSurface* surface = WindowPlatform::SurfaceOf(form);
        if (dc && surface)
            PaintFrameSurface(*surface, dc, paint.rcPaint);
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
