// Project1: the screen saver. "/S" shows the night scene full-screen; any other start
// opens the configuration dialog.
#include "app/StartUp.h"
#include "scene/Catalogue.h"

#include <QApplication>
#include <QIcon>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace {

// While the platform connects to the display, a failure is fatal inside Qt; say it in
// one line and end with status 1 instead of aborting.
void StartUpMessageHandler(QtMsgType type, const QMessageLogContext&, const QString& message)
{
    if (type != QtFatalMsg)
        return;
    const QByteArray text = message.section(QLatin1Char('\n'), 0, 0).toLocal8Bit();
    std::fprintf(stderr, "Project1: cannot open a window: no display to connect to (%s)\n", text.constData());
    std::fflush(stderr);
    _exit(1);
}

} // namespace

int main(int argc, char** argv)
{
    if (std::getenv("DISPLAY") == nullptr && std::getenv("WAYLAND_DISPLAY") == nullptr &&
        std::getenv("QT_QPA_PLATFORM") == nullptr) {
        std::fprintf(stderr, "Project1: cannot open a window: no display to connect to (DISPLAY is not set)\n");
        return 1;
    }
    // Qt is given the program's path alone: it would take the options it knows
    // (-reverse, -style, -platform) out of the list, and the mode is decided by the
    // program's own first argument, whatever it is.
    static char fallbackName[] = "Project1";
    int qtArgc = 1;
    char* qtArgv[] = {argc > 0 && argv[0] != nullptr ? argv[0] : fallbackName, nullptr};
    qInstallMessageHandler(StartUpMessageHandler);
    QApplication qtApplication(qtArgc, qtArgv);
    qInstallMessageHandler(nullptr);
    // The program's icon MAINICON, for the dialog's title bar and the task list.
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/MAINICON.ico")));
    return RunProject1(argc, argv, ScreenFormPictures());
}
