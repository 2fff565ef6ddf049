// Every message box of the program goes through ShowMessageBox, which tests replace.
#pragma once

#include <functional>
#include <string>

enum class TMessageBoxIcon { None, Error, Warning, Information };

struct TMessageBoxRequest {
    std::string title;   // UTF-8, as every text of the window layer
    std::string text;
    TMessageBoxIcon icon = TMessageBoxIcon::None;
    bool taskModal = false;   // the start-up error box is task-modal
};

using MessageBoxFunction = std::function<void(const TMessageBoxRequest& request)>;

// Shows a box with an OK button and waits for it to close. The box's own loop takes
// the messages meanwhile; none of them reaches the application message hook.
void ShowMessageBox(const TMessageBoxRequest& request);
// Replaces the function that shows the boxes; returns the one it replaced. An empty
// function restores the real box.
MessageBoxFunction SetMessageBoxFunction(MessageBoxFunction function);
// The window system's own box, which ShowMessageBox shows unless a function replaces
// it; each implementation of the window layer defines it.
void ShowSystemMessageBox(const TMessageBoxRequest& request);
