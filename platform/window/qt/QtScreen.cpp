// The screen over Qt: colour depth and monitors.
#include "platform/window/Screen.h"

#include <QGuiApplication>
#include <QScreen>

int ScreenColourDepth()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? screen->depth() : 24;
}

std::vector<TMonitor> Monitors()
{
    std::vector<TMonitor> monitors;
    const QScreen* primary = QGuiApplication::primaryScreen();
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect r = screen->geometry();
        TMonitor monitor{Rect::Sized(r.x(), r.y(), r.width(), r.height()), screen == primary,
                         qRound(screen->logicalDotsPerInch()),
                         qRound(r.width() * screen->devicePixelRatio()), qRound(r.height() * screen->devicePixelRatio())};
        if (monitor.Primary)
            monitors.insert(monitors.begin(), monitor);
        else
            monitors.push_back(monitor);
    }
    return monitors;
}
