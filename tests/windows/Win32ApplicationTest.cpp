// The application's loop over Win32, under Wine: a quit request that a message box's
// own loop takes leaves the box up until it is acknowledged, then ends the
// application's loop.
#include "platform/window/MessageBox.h"
#include "platform/window/TApplication.h"
#include "platform/window/TForm.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

// The message box of this thread that is up, if one is: dialog class "#32770".
HWND MessageBoxWindow()
{
    HWND found = nullptr;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM result) -> BOOL {
            char name[16] = {};
            GetClassNameA(window, name, sizeof name);
            if (lstrcmpA(name, "#32770") == 0 && IsWindowVisible(window)) {
                *reinterpret_cast<HWND*>(result) = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// Ends a loop that would otherwise hang a failing test: acknowledges a box that is up
// and ends the application's loop.
void CALLBACK Deadline(HWND, UINT, UINT_PTR, DWORD)
{
    if (HWND box = MessageBoxWindow())
        PostMessageA(box, WM_COMMAND, IDOK, 0);
    PostQuitMessage(1);
}

bool g_boxUpAfterTheQuitRequest = false;

// A timer's message comes only once the queue holds no posted message and no quit
// request: by then a loop that ends on the request has ended.
void CALLBACK AcknowledgeTheBox(HWND, UINT, UINT_PTR timer, DWORD)
{
    KillTimer(nullptr, timer);
    const HWND box = MessageBoxWindow();
    g_boxUpAfterTheQuitRequest = box != nullptr;
    if (box)
        PostMessageA(box, WM_COMMAND, IDOK, 0);
}

TEST(MainWindowRule, QuitRequestTakenByAMessageBoxWaitsUntilItIsAcknowledged)
{
    TApplication app;
    TForm main;
    main.SetClientBounds(Rect::Sized(100, 100, 200, 150));
    bool boxReturned = false;
    const UINT_PTR deadline = SetTimer(nullptr, 0, 10000, Deadline);
    app.QueueCall([&] {
        // Taken by the box's loop.
        app.QueueCall([&] {
            main.Close();
            SetTimer(nullptr, 0, 50, AcknowledgeTheBox);
        });
        ShowMessageBox({"Project1", "Error.", TMessageBoxIcon::Error, false});
        boxReturned = true;
    });
    EXPECT_EQ(app.Run(), 0);
    KillTimer(nullptr, deadline);
    EXPECT_TRUE(g_boxUpAfterTheQuitRequest);
    EXPECT_TRUE(boxReturned);
    EXPECT_TRUE(app.Terminated());
}

} // namespace
