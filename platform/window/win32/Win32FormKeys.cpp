// A Win32 form's placement onto the active monitor, and the dialog keys: Tab and
// Shift+Tab along the focus chain, Enter for the default button, Escape for the cancel
// one.
#include "platform/window/win32/Win32Impl.h"

#include <algorithm>

// --- Placement ----------------------------------------------------------------------

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
