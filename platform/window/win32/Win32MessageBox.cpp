// MessageBoxA: the window system's own box over Win32.
#include "platform/window/win32/Win32Impl.h"

namespace {

UINT IconFlag(TMessageBoxIcon icon)
{
    switch (icon) {
    case TMessageBoxIcon::Error:
        return MB_ICONERROR;
    case TMessageBoxIcon::Warning:
        return MB_ICONWARNING;
    case TMessageBoxIcon::Information:
        return MB_ICONINFORMATION;
    case TMessageBoxIcon::None:
        break;
    }
    return 0;
}

} // namespace

void ShowSystemMessageBox(const TMessageBoxRequest& request)
{
    // A task-modal box disables every window of the program; any other box is owned
    // by the active window, and so stays above it, a stay-on-top one included.
    const HWND owner = request.taskModal ? nullptr : GetActiveWindow();
    const UINT flags = MB_OK | IconFlag(request.icon) | (request.taskModal ? MB_TASKMODAL : 0);
    // The box's loop is its own: what it takes from the queue is not offered to the
    // application's message hook.
    if (Application)
        Application->EnterModalLoop();
    MessageBoxA(owner, ToAnsi(request.text).c_str(), ToAnsi(request.title).c_str(), flags);
    if (Application) {
        Application->LeaveModalLoop();
        ImplOf(*Application).ModalLoopEnded();
    }
}
