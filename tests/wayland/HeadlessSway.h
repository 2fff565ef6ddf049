// The Wayland tests' own compositor: sway on its headless backend with the pixman
// renderer and no input devices, started as an unprivileged user (sway refuses root)
// with a private runtime folder; its outputs, screenshots (grim), programs started in
// its session, and a virtual keyboard and pointer (wayland-test-input).
#pragma once

#include "support/XServer.h"
#include "support/TempFolder.h"

#include <chrono>
#include <string>
#include <sys/types.h>
#include <vector>

struct SwayOutput {
    std::string name;   // HEADLESS-1 is there at start; later ones are made in turn
    int width = 1280;   // the mode, in the output's pixels
    int height = 1024;
    int scale = 1;
    int x = 0;          // the position in the layout, in its units
};

class HeadlessSway {
public:
    // Starts sway with HEADLESS-1 set up as outputs[0], makes the rest, and waits until
    // it answers and every output has its mode. Started() tells whether that worked.
    explicit HeadlessSway(const std::vector<SwayOutput>& outputs = {SwayOutput{"HEADLESS-1"}});
    // Stops sway by its process id, if still running.
    ~HeadlessSway();
    HeadlessSway(const HeadlessSway&) = delete;
    HeadlessSway& operator=(const HeadlessSway&) = delete;

    bool Started() const { return m_started; }
    pid_t Pid() const { return m_pid; }
    // Makes one more output (swaymsg create_output) with that mode, scale and place.
    bool AddOutput(const SwayOutput& output);
    // The environment of a program in the session: HOME, XDG_RUNTIME_DIR, WAYLAND_DISPLAY,
    // SWAYSOCK and PATH, nothing of the test's own.
    std::vector<std::string> Environment() const;
    // The command line that runs argv as the session's user in its environment.
    std::vector<std::string> AsUser(const std::vector<std::string>& argv) const;
    // Runs a shell command as the session's user; its exit status.
    int Run(const std::string& command) const;
    // grim -o NAME; empty on failure.
    Screenshot Shoot(const std::string& output) const;
    // Polls screenshots of the output until it shows one of the scene's first-cycle
    // frames of width x height, pixel for pixel.
    bool WaitForFirstCycleFrame(const std::string& output, int width, int height) const;
    // A folder the session's user may write into.
    std::string Shared() const;

private:
    TempFolder m_folder{"veskan-wayland"};
    pid_t m_pid = -1;
    bool m_started = false;
};

// A program started in the compositor's session, its standard error in a file.
class SessionProgram {
public:
    SessionProgram(const HeadlessSway& sway, const std::vector<std::string>& argv);
    ~SessionProgram();   // stopped by its process id if still running
    SessionProgram(const SessionProgram&) = delete;
    SessionProgram& operator=(const SessionProgram&) = delete;

    pid_t Pid() const { return m_pid; }
    std::string Errors() const;
    bool Exited(int& status);
    bool WaitForExit(int& status, std::chrono::milliseconds deadline);
    // Still running through the whole interval (an exit ends the check early).
    bool KeepsRunning(std::chrono::milliseconds interval);

private:
    TempFolder m_folder{"veskan-wayland-program"};
    pid_t m_pid = -1;
    bool m_reaped = false;
    int m_status = 0;
};

// One virtual keyboard and pointer for a whole test, driven through wayland-test-input.
class VirtualInput {
public:
    explicit VirtualInput(const HeadlessSway& sway);
    ~VirtualInput();
    VirtualInput(const VirtualInput&) = delete;
    VirtualInput& operator=(const VirtualInput&) = delete;

    // Both devices exist on the seat.
    bool Ready() const { return m_ready; }
    // One command (see the helper), true once the compositor has taken it.
    bool Send(const std::string& command);

private:
    std::string ReadLine();

    pid_t m_pid = -1;
    int m_in = -1;
    int m_out = -1;
    bool m_ready = false;
};
