// hold-window: makes a black, mapped window at the screen's top-left corner, as a host
// makes the window for its display program, prints its ID and keeps it until standard
// input ends or SIGTERM comes.
//
//   hold-window WIDTHxHEIGHT
#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <unistd.h>

int main(int argc, char** argv)
{
    int width = 0, height = 0;
    if (argc != 2 || std::sscanf(argv[1], "%dx%d", &width, &height) != 2 || width <= 0 || height <= 0) {
        std::fprintf(stderr, "usage: hold-window WIDTHxHEIGHT\n");
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "hold-window: cannot open the display\n");
        return 1;
    }
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.background_pixel = BlackPixel(display, DefaultScreen(display));
    const Window window =
        XCreateWindow(display, DefaultRootWindow(display), 0, 0, static_cast<unsigned>(width),
                      static_cast<unsigned>(height), 0, CopyFromParent, InputOutput, CopyFromParent,
                      CWOverrideRedirect | CWBackPixel, &attributes);
    XMapWindow(display, window);
    XSync(display, False);
    std::printf("%lu\n", window);
    std::fflush(stdout);
    for (;;)
        pause();
}
