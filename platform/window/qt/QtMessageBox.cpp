// The one road of every message box: the replaceable function, or a real QMessageBox.
#include "platform/window/MessageBox.h"

#include "platform/window/TApplication.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QWidget>

namespace {

MessageBoxFunction& CurrentFunction()
{
    static MessageBoxFunction function;
    return function;
}

QMessageBox::Icon ToQt(TMessageBoxIcon icon)
{
    switch (icon) {
    case TMessageBoxIcon::Error:
        return QMessageBox::Critical;
    case TMessageBoxIcon::Warning:
        return QMessageBox::Warning;
    case TMessageBoxIcon::Information:
        return QMessageBox::Information;
    case TMessageBoxIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

void ShowRealBox(const TMessageBoxRequest& request)
{
    // Owned by the active window so that the window manager stacks it above that
    // window, a stay-on-top one included.
    QPointer<QWidget> owner = QApplication::activeWindow();
    QMessageBox box(ToQt(request.icon), QString::fromStdString(request.title), QString::fromStdString(request.text),
                    QMessageBox::Ok, owner);
    box.setWindowModality(Qt::ApplicationModal);
    // The box's loop is its own: what it takes from the queue is not offered to the
    // application's message hook.
    if (Application)
        Application->EnterModalLoop();
    box.exec();
    if (Application)
        Application->LeaveModalLoop();
    // Closing the box does not give the activation back by itself.
    if (owner && owner->isVisible())
        owner->activateWindow();
}

} // namespace

void ShowMessageBox(const TMessageBoxRequest& request)
{
    // A copy: the function may replace itself while it runs.
    const MessageBoxFunction function = CurrentFunction();
    if (function)
        function(request);
    else
        ShowRealBox(request);
}

MessageBoxFunction SetMessageBoxFunction(MessageBoxFunction function)
{
    MessageBoxFunction previous = std::move(CurrentFunction());
    CurrentFunction() = std::move(function);
    return previous;
}
