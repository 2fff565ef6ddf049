// A headless compositor's session as an unprivileged user, and programs started in it.
#include "HeadlessCompositor.h"

#include "support/ReadAll.h"
#include "support/SceneOnScreen.h"
#include "support/Unprivileged.h"
#include "support/WaitUntil.h"

#include <gtest/gtest.h>

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <iostream>
#include <poll.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#ifndef WAYLAND_TEST_INPUT
#error "WAYLAND_TEST_INPUT must name the tests' input helper"
#endif

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// A folder of the session's user alone (the runtime folder must be its own, mode 700).
void GiveToUser(const fs::path& path, mode_t mode)
{
    fs::create_directories(path);
    const UserIds user = UnprivilegedUser();
    if (RunningAsRoot() && chown(path.c_str(), user.uid, user.gid) != 0)
        ADD_FAILURE() << "chown " << path;
    chmod(path.c_str(), mode);
}

} // namespace

HeadlessCompositor::HeadlessCompositor()
{
    m_folder.OpenToOthers();
    GiveToUser(m_folder / "home", 0700);
    GiveToUser(m_folder / "run", 0700);
    GiveToUser(m_folder / "shared", 0755);
}

HeadlessCompositor::~HeadlessCompositor()
{
    StopChild(m_pid);
}

void HeadlessCompositor::Start(const std::vector<std::string>& argv, const std::vector<std::string>& settings,
                               const std::string& log, const std::function<bool()>& ready)
{
    std::vector<std::string> line = AsUser(argv);
    line.insert(line.end() - static_cast<std::ptrdiff_t>(argv.size()), settings.begin(), settings.end());
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    const std::string logPath = (m_folder / log).string();
    posix_spawn_file_actions_addopen(&actions, 2, logPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    m_pid = Spawn(line, {}, &actions);
    posix_spawn_file_actions_destroy(&actions);
    m_started = m_pid > 0 &&
                WaitUntil([&] { return Run("test -S \"$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY\"") == 0 && ready(); }, 15s, 50ms);
    // The test that needed it fails next; what the compositor said is why.
    if (!m_started) {
        const std::string said = ReadAll(logPath);
        std::cerr << argv.front() << " did not come up within 15 s; the end of its log:\n"
                  << said.substr(said.size() > 4000 ? said.size() - 4000 : 0) << "\n";
    }
}

bool HeadlessCompositor::StartSessionBus()
{
    // Where libdbus and GLib look for the session bus when no address is given.
    const std::string bus = (m_folder / "run" / "bus").string();
    AddToEnvironment("DBUS_SESSION_BUS_ADDRESS=unix:path=" + bus);
    StartService({"dbus-daemon", "--session", "--nofork", "--nopidfile", "--address=unix:path=" + bus});
    return WaitUntil([&] { return fs::exists(bus); }, 5s, 20ms);
}

void HeadlessCompositor::StartService(const std::vector<std::string>& argv)
{
    m_services.push_back(std::make_unique<SessionProgram>(*this, argv));
}

std::string HeadlessCompositor::InputHelper() const
{
    return WAYLAND_TEST_INPUT;
}

std::string HeadlessCompositor::Shared() const
{
    return (m_folder / "shared").string();
}

std::vector<std::string> HeadlessCompositor::Environment() const
{
    const fs::path run = m_folder / "run";
    // The display socket the compositor makes in the runtime folder: wayland-N, with its
    // lock file.
    std::string display;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(run, error)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with("wayland-") && !name.ends_with(".lock"))
            display = name;
    }
    std::vector<std::string> environment = {"HOME=" + (m_folder / "home").string(), "XDG_RUNTIME_DIR=" + run.string(),
                                            "WAYLAND_DISPLAY=" + display};
    environment.insert(environment.end(), m_extraEnvironment.begin(), m_extraEnvironment.end());
    environment.push_back("PATH=/usr/local/bin:/usr/bin:/bin");
    return environment;
}

std::vector<std::string> HeadlessCompositor::AsUser(const std::vector<std::string>& argv) const
{
    std::vector<std::string> line;
    if (RunningAsRoot())
        line = {"setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups"};
    line.push_back("env");
    line.push_back("-i");
    for (const std::string& entry : Environment())
        line.push_back(entry);
    line.insert(line.end(), argv.begin(), argv.end());
    return line;
}

int HeadlessCompositor::Run(const std::string& command) const
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const pid_t pid = Spawn(AsUser({"sh", "-c", command}), {}, &actions);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    if (pid <= 0 || waitpid(pid, &status, 0) != pid)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool HeadlessCompositor::WaitForFirstCycleFrame(const std::string& output, int width, int height) const
{
    const FirstCycle& frames = FirstCycleFrames(width, height);
    if (frames.eyesOpen.width != width)
        return false;
    return WaitUntil(
        [&] {
            const Screenshot shot = Shoot(output);
            return shot.width == width && shot.height == height &&
                   (shot.Shows(0, 0, frames.eyesOpen) || shot.Shows(0, 0, frames.eyesShut));
        },
        10s, 50ms);
}

SessionProgram::SessionProgram(const HeadlessCompositor& session, const std::vector<std::string>& argv)
    : SessionProgram(session.AsUser(argv))
{
}

// The line carries its environment (env -i ...): the program starts with none of the
// test's own.
SessionProgram::SessionProgram(const std::vector<std::string>& line) : ChildProgram(line, {}) {}

VirtualInput::VirtualInput(const HeadlessCompositor& session)
{
    int toHelper[2];
    int fromHelper[2];
    if (pipe2(toHelper, O_CLOEXEC) != 0)
        return;
    if (pipe2(fromHelper, O_CLOEXEC) != 0) {
        close(toHelper[0]);
        close(toHelper[1]);
        return;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, toHelper[0], 0);
    posix_spawn_file_actions_adddup2(&actions, fromHelper[1], 1);
    m_pid = Spawn(session.AsUser({session.InputHelper()}), {}, &actions);
    posix_spawn_file_actions_destroy(&actions);
    close(toHelper[0]);
    close(fromHelper[1]);
    m_in = toHelper[1];
    m_out = fromHelper[0];
    m_ready = m_pid > 0 && ReadLine() == "ready";
}

VirtualInput::~VirtualInput()
{
    if (m_in >= 0)
        close(m_in);   // the helper ends at the end of its input
    if (m_out >= 0)
        close(m_out);
    StopChild(m_pid);
}

std::string VirtualInput::ReadLine()
{
    std::string line;
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (std::chrono::steady_clock::now() < deadline) {
        pollfd p{m_out, POLLIN, 0};
        if (poll(&p, 1, 100) <= 0)
            continue;
        char c = 0;
        if (read(m_out, &c, 1) != 1)
            break;
        if (c == '\n')
            return line;
        line += c;
    }
    return "";
}

bool VirtualInput::Send(const std::string& command)
{
    const std::string line = command + "\n";
    return m_ready && write(m_in, line.data(), line.size()) == static_cast<ssize_t>(line.size()) && ReadLine() == "ok";
}
