// Every message box of the program goes through ShowMessageBox, which tests replace.
#pragma once

#include <QString>
#include <functional>

enum class TMessageBoxIcon { None, Error, Warning, Information };

struct TMessageBoxRequest {
    QString title;
    QString text;
    TMessageBoxIcon icon = TMessageBoxIcon::None;
    bool taskModal = false;   // the start-up error box is task-modal
};

using MessageBoxFunction = std::function<void(const TMessageBoxRequest& request)>;

// Shows a box with an OK button and waits for it to close.
void ShowMessageBox(const TMessageBoxRequest& request);
// Replaces the function that shows the boxes; returns the one it replaced. An empty
// function restores the real box.
MessageBoxFunction SetMessageBoxFunction(MessageBoxFunction function);
