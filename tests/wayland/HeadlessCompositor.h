// What the Wayland tests' compositors share: one started as an unprivileged user with a
// private runtime folder, the environment and commands of its session, its screenshots
// compared with the scene's first-cycle frames, and programs started in its session.
#pragma once

#include "support/ChildProgram.h"
#include "support/XServer.h"
#include "support/TempFolder.h"

#include <chrono>
#include <functional>
#include <memory>
#include <spawn.h>
#include <string>
#include <sys/types.h>
#include <utility>
#include <vector>

class HeadlessCompositor {
public:
    // Stops the compositor by its process id, if still running.
    virtual ~HeadlessCompositor();
    HeadlessCompositor(const HeadlessCompositor&) = delete;
    HeadlessCompositor& operator=(const HeadlessCompositor&) = delete;

    bool Started() const { return m_started; }
    pid_t Pid() const { return m_pid; }
    // The environment of a program in the session: HOME, XDG_RUNTIME_DIR, WAYLAND_DISPLAY
    // (the display socket in the runtime folder), PATH and the compositor's own entries,
    // nothing of the test's own.
    std::vector<std::string> Environment() const;
    // The command line that runs argv as the session's user in its environment.
    std::vector<std::string> AsUser(const std::vector<std::string>& argv) const;
    // Runs a shell command as the session's user; its exit status.
    int Run(const std::string& command) const;
    // A screenshot of the output; empty on failure.
    virtual Screenshot Shoot(const std::string& output) const = 0;
    // Polls screenshots of the output until it shows one of the scene's first-cycle
    // frames of width x height, pixel for pixel.
    bool WaitForFirstCycleFrame(const std::string& output, int width, int height) const;
    // The program VirtualInput drives: wayland-test-input, or the compositor's own.
    virtual std::string InputHelper() const;
    // A folder the session's user may write into.
    std::string Shared() const;

protected:
    // Makes the session's folders: home, run (the runtime folder) and shared.
    HeadlessCompositor();
    // One more entry of the session's environment, before PATH.
    void AddToEnvironment(std::string entry) { m_extraEnvironment.push_back(std::move(entry)); }
    // Starts argv as the session's user with settings before it in its environment, its
    // standard error in the file log of the test's folder, and waits (15 s at most) until
    // the display socket is there and ready() holds.
    void Start(const std::vector<std::string>& argv, const std::vector<std::string>& settings, const std::string& log,
               const std::function<bool()>& ready);
    void SetStarted(bool started) { m_started = started; }
    // Starts a session bus of the session's own (a dbus-daemon whose socket is "bus" in
    // the runtime folder) and names it in the environment; false when it did not come.
    bool StartSessionBus();
    // Starts a program of the session beside the compositor, stopped after it.
    void StartService(const std::vector<std::string>& argv);

    TempFolder m_folder{"veskan-wayland"};

private:
    std::vector<std::string> m_extraEnvironment;
    // Declared before the compositor's pid: stopped after it.
    std::vector<std::unique_ptr<ChildProgram>> m_services;
    pid_t m_pid = -1;
    bool m_started = false;
};

// A program started in the compositor's session, its standard error in a file.
class SessionProgram : public ChildProgram {
public:
    SessionProgram(const HeadlessCompositor& session, const std::vector<std::string>& argv);
    // A command line run as it stands (its environment given in it, by env -i).
    explicit SessionProgram(const std::vector<std::string>& line);
};

// One virtual keyboard and pointer for a whole test, driven through the session's input
// helper.
class VirtualInput {
public:
    explicit VirtualInput(const HeadlessCompositor& session);
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
