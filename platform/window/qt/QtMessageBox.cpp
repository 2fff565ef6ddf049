// A QMessageBox: the window system's own box over Qt.
#include "platform/window/MessageBox.h"

#include "platform/window/TApplication.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QWidget>

namespace {

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

} // namespace

void ShowSystemMessageBox(const TMessageBoxRequest& request)
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
