// first-frame-floor: the least a program of this kind needs to put its first frame on
// an X screen, for bench/measure-saver to hold the saver's first frame to: a plain Xlib
// program that maps a window over the whole screen, waits the first 100 ms tick from
// the map and fills it with one colour (the sky's, which the probe looks for), then
// waits to be stopped.
//
//   first-frame-floor R G B
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <unistd.h>

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: first-frame-floor R G B\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "first-frame-floor: cannot open display\n");
        return 1;
    }
    const int screen = DefaultScreen(display);
    const Window root = RootWindow(display, screen);
    const unsigned width = static_cast<unsigned>(DisplayWidth(display, screen));
    const unsigned height = static_cast<unsigned>(DisplayHeight(display, screen));
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.background_pixel = BlackPixel(display, screen);
    attributes.event_mask = ExposureMask;
    const Window window = XCreateWindow(display, root, 0, 0, width, height, 0, CopyFromParent, InputOutput,
                                        CopyFromParent, CWOverrideRedirect | CWBackPixel | CWEventMask, &attributes);
    XMapRaised(display, window);
    XSync(display, False);
    timespec mapped{};
    clock_gettime(CLOCK_MONOTONIC, &mapped);
    // The first tick, 100 ms after the window went up.
    timespec tick = mapped;
    tick.tv_nsec += 100'000'000;
    if (tick.tv_nsec >= 1'000'000'000) {
        tick.tv_nsec -= 1'000'000'000;
        ++tick.tv_sec;
    }
    clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &tick, nullptr);
    const unsigned long colour = (std::strtoul(argv[1], nullptr, 10) << 16) |
                                 (std::strtoul(argv[2], nullptr, 10) << 8) | std::strtoul(argv[3], nullptr, 10);
    const GC gc = XCreateGC(display, window, 0, nullptr);
    XSetForeground(display, gc, colour);
    XFillRectangle(display, window, gc, 0, 0, width, height);
    XSync(display, False);
    pause();
    return 0;
}
