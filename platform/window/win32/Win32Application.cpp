// The application over Win32: the hidden application window, the message loop that
// offers each message it takes to the hook before the dialog keys, translation and
// dispatch, the quit request and the queued calls.
#include "platform/window/win32/Win32Impl.h"

namespace {

constexpr const char* ApplicationClass = "VeskanApplication";

void RegisterApplicationClass()
{
    static const bool registered = [] {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = TApplication::Impl::WindowProc;
        windowClass.hInstance = ModuleInstance();
        windowClass.hIcon = LoadIconA(ModuleInstance(), "MAINICON");
        windowClass.lpszClassName = ApplicationClass;
        return RegisterClassA(&windowClass) != 0;
    }();
    (void)registered;
}

// Where the system scales the windows of programs that do not say they know the
// density, the program says so: the dialog follows the density itself, and frames
// go to the screen one raster pixel to one screen pixel.
void DeclareDensityAware()
{
    using Function = BOOL(WINAPI*)();
    const HMODULE user32 = GetModuleHandleA("user32.dll");
    if (!user32)
        return;
    if (const auto function = reinterpret_cast<Function>(
            reinterpret_cast<void*>(GetProcAddress(user32, "SetProcessDPIAware"))))
        function();
}

} // namespace

HINSTANCE ModuleInstance()
{
    return GetModuleHandleA(nullptr);
}

std::string ToAnsi(const std::string& utf8)
{
    if (utf8.empty())
        return utf8;
    const int wideLength = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    if (wideLength <= 0)
        return utf8;
    std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), wideLength);
    const int length = WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    if (length <= 0)
        return utf8;
    std::string ansi(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.data(), wideLength, ansi.data(), length, nullptr, nullptr);
    return ansi;
}

TApplication::TApplication(const std::string& /*programPath*/) : m_impl(std::make_unique<Impl>(*this))
{
    DeclareDensityAware();
    // Looked up once, at start.
    LayeredWindowAttributes();
    RegisterApplicationClass();
    // Never shown unless the application is started minimised; then its caption and
    // icon stand for the application.
    m_impl->window = CreateWindowExA(0, ApplicationClass, "", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                                     0, 0, 0, 0, nullptr, nullptr, ModuleInstance(), m_impl.get());
    Application = this;
}

TApplication::~TApplication()
{
    if (m_impl->window)
        DestroyWindow(m_impl->window);
    if (Application == this)
        Application = nullptr;
}

void TApplication::ShowMainForm()
{
    m_impl->ShowMainForm();
}

void TApplication::RunLoop()
{
    MSG msg;
    // GetMessageA gives 0 for the quit request (WM_QUIT), -1 on failure.
    while (GetMessageA(&msg, nullptr, 0, 0) > 0)
        m_impl->Process(msg);
}

void TApplication::Terminate()
{
    m_terminated = true;
    // Posted to the application window rather than posting WM_QUIT at once: a message
    // box's loop would end on WM_QUIT and take the box down with it. Whichever loop
    // takes this request, the window procedure decides (see WindowProc).
    PostMessageA(m_impl->window, QuitRequestMessage, 0, 0);
}

void TApplication::QueueCall(std::function<void()> call)
{
    m_impl->calls.push_back(std::move(call));
    PostMessageA(m_impl->window, QueuedCallMessage, 0, 0);
}

void TApplication::Impl::Process(MSG& msg)
{
    TMsg offered;
    offered.hwnd = msg.hwnd;
    offered.message = msg.message;
    offered.wParam = static_cast<std::uint32_t>(msg.wParam);
    offered.lParam = static_cast<std::int32_t>(msg.lParam);
    offered.time = msg.time;
    offered.pt = TPoint{msg.pt.x, msg.pt.y};
    if (app.OfferMessage(offered))
        return;
    // The dialog keys of the form the key is for: after the hook, which has seen the
    // key already, and instead of translation, so no character follows them.
    if (msg.message == WM_KEYDOWN && msg.hwnd) {
        if (TForm* form = FormOfWindow(GetAncestor(msg.hwnd, GA_ROOT))) {
            if (ImplOf(*form).DialogKey(msg.wParam))
                return;
        }
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
}

void TApplication::Impl::ShowMainForm()
{
    TForm* main = app.MainForm();
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    GetStartupInfoA(&startup);
    const int command = (startup.dwFlags & STARTF_USESHOWWINDOW) != 0 ? startup.wShowWindow : SW_SHOWNORMAL;
    if (command == SW_SHOWMINNOACTIVE) {
        // Minimised, not activated: the application window stands for the program until
        // it is restored.
        SetWindowTextA(window, ToAnsi(app.Title()).c_str());
        ShowWindow(window, SW_SHOWMINNOACTIVE);
        return;
    }
    if (command == SW_SHOWMAXIMIZED)
        main->SetWindowState(TWindowState::Maximized);
    main->Show();
}

void TApplication::Impl::ModalLoopEnded()
{
    if (quitHeld && !app.InModalLoop()) {
        quitHeld = false;
        PostQuitMessage(0);
    }
}

LRESULT CALLBACK TApplication::Impl::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* impl = reinterpret_cast<Impl*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (!impl)
        return DefWindowProcA(window, message, wParam, lParam);
    switch (message) {
    case QuitRequestMessage:
        // Taken by a message box's loop, the request waits until the box has been
        // acknowledged; taken by the application's loop, the loop ends next.
        if (impl->app.InModalLoop())
            impl->quitHeld = true;
        else
            PostQuitMessage(0);
        return 0;
    case QueuedCallMessage:
        if (!impl->calls.empty()) {
            const std::function<void()> call = std::move(impl->calls.front());
            impl->calls.pop_front();
            RunHandler(call);
        }
        return 0;
    case WM_SYSCOMMAND:
        // Restoring the minimised application shows the main form in its place.
        if ((wParam & 0xFFF0) == SC_RESTORE && IsIconic(window)) {
            ShowWindow(window, SW_HIDE);
            if (TForm* main = impl->app.MainForm())
                RunHandler([main] { main->Show(); });
            return 0;
        }
        break;
    case WM_CLOSE:
        impl->app.Terminate();
        return 0;
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
