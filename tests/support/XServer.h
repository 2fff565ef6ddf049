// The end-to-end tests' own X server (Xvfb on a free display it picks itself), the
// commands run against it, its screenshots, and a program started on it.
#pragma once

#include "support/Colour.h"
#include "support/ChildProgram.h"
#include "support/TempFolder.h"

#include <chrono>
#include <cstdint>
#include <string>
#include <sys/types.h>
#include <vector>

struct Rgb8 {
    int r = 0;
    int g = 0;
    int b = 0;
};

inline bool Near(Rgb8 p, Rgb8 expected, int tolerance)
{
    const auto packed = [](Rgb8 c) { return static_cast<std::uint32_t>(c.r << 16 | c.g << 8 | c.b); };
    return Near(packed(p), packed(expected), tolerance);
}

// A screenshot of the root window, read from a binary PPM.
struct Screenshot {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> bytes;   // RGB, rows top-down
    Rgb8 At(int x, int y) const;
    // Whether the area of width x height at (left, top) shows exactly the pixels of
    // picture (same layout), every one of them.
    bool Shows(int left, int top, const Screenshot& picture) const;
};

// A picture file of any kind ImageMagick reads, as a screenshot; empty on failure.
Screenshot ReadPicture(const std::string& path);

struct XServerSetup {
    // Xvfb's -screen 0 value.
    std::string screen = "1280x1024x24";
    // -ac: any local user may connect (a test that runs a client as another user).
    bool anyUser = false;
    // Also listens on TCP (port 6000 + display), for clients that connect as remote
    // ones do.
    bool tcp = false;
    // Offers MIT-SHM, as Xvfb does unless told otherwise; without it clients put
    // their images through the connection.
    bool sharedMemory = true;
};

// A server that runs already (":N"), used as it is and left running.
struct ExistingDisplay {
    std::string display;
};

class XServer {
public:
    // Starts Xvfb with one screen (1280x1024x24 unless set up otherwise), -noreset, no
    // TCP unless set up, and waits until xdpyinfo answers. Started() tells whether that worked.
    explicit XServer(const XServerSetup& setup = {});
    // Takes a server that runs already; Started() tells whether it answers.
    explicit XServer(const ExistingDisplay& existing);
    // Stops the server it started, by its process id.
    ~XServer();
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;

    bool Started() const { return m_display >= 0; }
    std::string Display() const { return ":" + std::to_string(m_display); }
    // Runs a shell command with DISPLAY set; its exit status.
    int Run(const std::string& command) const;
    // Runs a shell command with DISPLAY set; its standard output.
    std::string Output(const std::string& command) const;
    // The ids of the process's windows that are mapped, by xdotool.
    std::vector<std::string> VisibleWindows(pid_t pid) const;
    // The first mapped window of the process whose name is name, once there is one;
    // empty after the deadline.
    std::string WaitForWindow(pid_t pid, const std::string& name,
                              std::chrono::milliseconds deadline = std::chrono::seconds(10)) const;
    // import -window root; empty on failure.
    Screenshot Shoot() const;

private:
    pid_t m_pid = -1;
    int m_display = -1;
    TempFolder m_folder{"veskan-e2e"};
};

struct ProgramSetup {
    // Changes to the program's environment: "NAME=value" sets, "NAME" alone removes
    // (DISPLAY too).
    std::vector<std::string> environment;
    // Standard error to a file as well, for Errors(), instead of the test's own.
    bool captureErrors = false;
    // Started as an unprivileged user (nobody, through setpriv) when the tests run as
    // root; as the tests' own user otherwise.
    bool unprivileged = false;
};

// A program started on the server with its standard output in a file.
class Program : public ChildProgram {
public:
    Program(const XServer& server, const std::string& path, const std::vector<std::string>& arguments = {},
            const ProgramSetup& setup = {});
};
