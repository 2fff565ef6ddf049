// first-frame-probe: starts a program and measures the real time until a chosen
// colour shows at one pixel of the X screen, i.e. until its first frame is on the
// screen, not merely drawn.
//
//   first-frame-probe [--keep] [--timeout MS] X Y R G B TOLERANCE -- PROGRAM [ARGS...]
//
// Connects to $DISPLAY first, so that the probe's own connection is not counted; then
// takes the start time, spawns the program and reads the pixel (X, Y) of the root
// window every millisecond. Prints "first-frame-ms N" (the time from the spawn to the
// first read that saw every channel within TOLERANCE of R, G, B), "mapped-ms N" (when
// the first top-level window was mapped, which splits start-up from the first
// frame's own wait) and "pid P". With
// --keep the program is left running for the caller (who stops it by that pid);
// otherwise it is sent SIGTERM and waited for. Exits 0 when the colour showed, 1 on a
// timeout (default 10,000 ms) or when the program ended first, 2 on bad usage.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

struct Target {
    int x = 0;
    int y = 0;
    int rgb[3] = {0, 0, 0};
    int tolerance = 0;
};

double NowMs()
{
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1e6;
}

bool ParseInt(const char* text, int& value)
{
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(text, &end, 10);
    if (errno != 0 || end == text || *end != '\0' || v < -1'000'000 || v > 1'000'000)
        return false;
    value = static_cast<int>(v);
    return true;
}

// The pixel's channels from an image of any depth, by the visual's masks.
int Channel(unsigned long pixel, unsigned long mask)
{
    if (mask == 0)
        return 0;
    int shift = 0;
    while (((mask >> shift) & 1u) == 0)
        ++shift;
    const unsigned long bits = mask >> shift;
    const unsigned long value = (pixel & mask) >> shift;
    return static_cast<int>(value * 255u / bits);
}

bool Shows(Display* display, Window root, const Target& target, int seen[3])
{
    XImage* image = XGetImage(display, root, target.x, target.y, 1, 1, AllPlanes, ZPixmap);
    if (image == nullptr)
        return false;
    const unsigned long pixel = XGetPixel(image, 0, 0);
    seen[0] = Channel(pixel, image->red_mask);
    seen[1] = Channel(pixel, image->green_mask);
    seen[2] = Channel(pixel, image->blue_mask);
    XDestroyImage(image);
    for (int c = 0; c < 3; ++c)
        if (std::abs(seen[c] - target.rgb[c]) > target.tolerance)
            return false;
    return true;
}

int Usage()
{
    std::fprintf(stderr,
                 "usage: first-frame-probe [--keep] [--timeout MS] X Y R G B TOLERANCE -- PROGRAM [ARGS...]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    bool keep = false;
    int timeoutMs = 10'000;
    int i = 1;
    for (; i < argc && std::strncmp(argv[i], "--", 2) == 0 && argv[i][2] != '\0'; ++i) {
        if (std::strcmp(argv[i], "--keep") == 0)
            keep = true;
        else if (std::strcmp(argv[i], "--timeout") == 0 && i + 1 < argc && ParseInt(argv[i + 1], timeoutMs))
            ++i;
        else
            return Usage();
    }
    Target target;
    int* fields[] = {&target.x, &target.y, &target.rgb[0], &target.rgb[1], &target.rgb[2], &target.tolerance};
    for (int* field : fields) {
        if (i >= argc || !ParseInt(argv[i], *field))
            return Usage();
        ++i;
    }
    if (i >= argc || std::strcmp(argv[i], "--") != 0 || i + 1 >= argc)
        return Usage();
    char** program = argv + i + 1;

    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "first-frame-probe: cannot open display %s\n", std::getenv("DISPLAY"));
        return 1;
    }
    const Window root = DefaultRootWindow(display);
    int seen[3] = {0, 0, 0};
    if (Shows(display, root, target, seen)) {
        std::fprintf(stderr, "first-frame-probe: the colour shows at (%d, %d) before the start\n", target.x, target.y);
        return 1;
    }

    // Map notifications of the root's children: the program's top-level windows.
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);
    double mapped = -1;

    const double start = NowMs();
    pid_t child = 0;
    if (const int error = posix_spawn(&child, program[0], nullptr, nullptr, program, environ); error != 0) {
        std::fprintf(stderr, "first-frame-probe: cannot start %s: %s\n", program[0], std::strerror(error));
        return 1;
    }

    int status = 1;
    double elapsed = 0;
    for (;;) {
        const bool shown = Shows(display, root, target, seen);
        elapsed = NowMs() - start;
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify && mapped < 0)
                mapped = elapsed;
        }
        if (shown) {
            status = 0;
            break;
        }
        int childStatus = 0;
        if (waitpid(child, &childStatus, WNOHANG) == child) {
            std::fprintf(stderr, "first-frame-probe: %s ended before its first frame\n", program[0]);
            child = 0;
            break;
        }
        if (elapsed > timeoutMs) {
            std::fprintf(stderr, "first-frame-probe: no frame after %d ms; (%d, %d) shows %d,%d,%d\n", timeoutMs,
                         target.x, target.y, seen[0], seen[1], seen[2]);
            break;
        }
        usleep(1000);
    }
    XCloseDisplay(display);
    if (status == 0)
        std::printf("first-frame-ms %.1f\n", elapsed);
    if (mapped >= 0)
        std::printf("mapped-ms %.1f\n", mapped);
    if (child != 0)
        std::printf("pid %d\n", static_cast<int>(child));
    std::fflush(stdout);
    if (child != 0 && (!keep || status != 0)) {
        kill(child, SIGTERM);
        waitpid(child, nullptr, 0);
    }
    return status;
}
