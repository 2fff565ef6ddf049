// A small program for the end-to-end tests: shows ScrnFrm as the main window on the
// X server in DISPLAY and prints its state to stdout once it is up, and again after
// the loop has ended and the window is gone.
#include "platform/window/Cursor.h"
#include "platform/window/TApplication.h"
#include "screen/TScrnFrm.h"

#include <QApplication>
#include <QScreen>
#include <QTimer>
#include <cstdio>
#include <exception>
#include <memory>

int main(int argc, char** argv)
{
    QApplication qtApp(argc, argv);
    TApplication app;
    app.SetTitle(QStringLiteral("Screenharness"));
    std::unique_ptr<TScrnFrm> screen;
    try {
        QScreen* primary = QGuiApplication::primaryScreen();
        const JpegDepth depth = primary && primary->depth() <= 8 ? JpegDepth::Quantised236 : JpegDepth::TrueColour;
        screen = std::make_unique<TScrnFrm>(depth);
        ScrnFrm = screen.get();
    } catch (const std::exception& error) {
        std::printf("error %s\n", error.what());
        return 1;
    }

    // "shown X Y W H COUNT HIDDEN KEYED" once the window is maximized.
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (!screen->isVisible() || screen->WindowState() != TWindowState::Maximized)
            return;
        const QRect g = screen->geometry();
        std::printf("shown %d %d %d %d %d %d %d\n", g.x(), g.y(), g.width(), g.height(), CursorDisplayCount(),
                    CursorHidden() ? 1 : 0, screen->TransparencyActive() ? 1 : 0);
        std::fflush(stdout);
        poll.stop();
    });
    poll.start(20);

    const int status = app.Run();
    screen.reset();
    ScrnFrm = nullptr;
    std::printf("ended %d %d\n", CursorDisplayCount(), CursorHidden() ? 1 : 0);
    std::fflush(stdout);
    return status;
}
