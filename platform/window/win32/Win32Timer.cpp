// The periodic timer over SetTimer on a hidden window of its own: the system makes one
// WM_TIMER at a time, when the queue holds nothing more urgent, so a slow handler
// delays the next tick and missed ones are not made up.
#include "platform/window/win32/Win32Impl.h"

#include "platform/Exception.h"

namespace {

constexpr const char* TimerClass = "VeskanTimer";
constexpr UINT_PTR TimerId = 1;

void RegisterTimerClass()
{
    static const bool registered = [] {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = TTimer::Impl::WindowProc;
        windowClass.hInstance = ModuleInstance();
        windowClass.lpszClassName = TimerClass;
        return RegisterClassA(&windowClass) != 0;
    }();
    (void)registered;
}

} // namespace

TTimer::TTimer() : m_impl(std::make_unique<Impl>(*this)) {}

TTimer::~TTimer()
{
    if (m_impl->window) {
        if (m_impl->running)
            KillTimer(m_impl->window, TimerId);
        DestroyWindow(m_impl->window);
    }
}

bool TTimer::Running() const
{
    return m_impl->running;
}

void TTimer::UpdateTimer()
{
    Impl& t = *m_impl;
    if (t.running) {
        KillTimer(t.window, TimerId);
        t.running = false;
    }
    if (m_interval == 0 || !m_enabled || !m_onTimer)
        return;
    if (!t.window) {
        RegisterTimerClass();
        // A message-only window: it takes the timer's messages and nothing else.
        t.window = CreateWindowExA(0, TimerClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, ModuleInstance(), &t);
    }
    if (!t.window || SetTimer(t.window, TimerId, static_cast<UINT>(m_interval), nullptr) == 0)
        throw EOutOfResources("Not enough timers available");
    t.running = true;
}

LRESULT CALLBACK TTimer::Impl::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* impl = reinterpret_cast<Impl*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_TIMER && wParam == TimerId && impl && impl->running) {
        // Tick reports what escapes the handler and drops a tick that falls due while
        // the handler still runs (in a message box's loop, say).
        WindowPlatform::TimerFired(impl->timer);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
