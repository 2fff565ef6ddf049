// Headless sway as an unprivileged user, and what the tests do in its session.
#include "HeadlessSway.h"

#include "support/ChildExit.h"
#include "support/SceneOnScreen.h"
#include "support/Unprivileged.h"
#include "support/WaitUntil.h"

#include <gtest/gtest.h>

#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <poll.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#ifndef WAYLAND_TEST_INPUT
#error "WAYLAND_TEST_INPUT must name the tests' input helper"
#endif

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

std::vector<char*> Pointers(std::vector<std::string>& strings)
{
    std::vector<char*> pointers;
    for (std::string& s : strings)
        pointers.push_back(s.data());
    pointers.push_back(nullptr);
    return pointers;
}

pid_t Spawn(std::vector<std::string> argv, const posix_spawn_file_actions_t* actions)
{
    std::vector<char*> args = Pointers(argv);
    char* noEnvironment[] = {nullptr};
    pid_t pid = -1;
    if (posix_spawnp(&pid, args.front(), actions, nullptr, args.data(), noEnvironment) != 0)
        return -1;
    return pid;
}

void Stop(pid_t pid)
{
    if (pid <= 0)
        return;
    kill(pid, SIGTERM);
    if (WaitUntil([pid] { return waitpid(pid, nullptr, WNOHANG) == pid; }, 3s))
        return;
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

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

HeadlessSway::HeadlessSway(const std::vector<SwayOutput>& outputs)
{
    m_folder.OpenToOthers();
    GiveToUser(m_folder / "home", 0700);
    GiveToUser(m_folder / "run", 0700);
    GiveToUser(m_folder / "shared", 0755);
    const SwayOutput& first = outputs.front();
    // Without borders a window tiled alone has the geometry it has full-screen: sway
    // 1.7 sends the pointer's motion when a window goes full-screen under it without
    // the frame event that ends it, and Qt then never delivers that motion. No
    // Xwayland: it would take an X display number beside the tests' Xvfb servers.
    m_folder.Put("sway.conf", "default_border none\nxwayland disable\noutput " + first.name + " resolution " +
                                  std::to_string(first.width) + "x" + std::to_string(first.height) +
                                  " position " + std::to_string(first.x) + " 0 scale " +
                                  std::to_string(first.scale) + "\n");
    chmod((m_folder / "sway.conf").c_str(), 0644);

    std::vector<std::string> argv = AsUser({"sway", "-c", (m_folder / "sway.conf").string()});
    // The compositor's own settings, before the program.
    argv.insert(argv.end() - 3, {"WLR_BACKENDS=headless", "WLR_RENDERER=pixman", "WLR_LIBINPUT_NO_DEVICES=1"});
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    const std::string log = (m_folder / "sway.log").string();
    posix_spawn_file_actions_addopen(&actions, 2, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    m_pid = Spawn(argv, &actions);
    posix_spawn_file_actions_destroy(&actions);
    // Its IPC socket (named after its pid) and the display socket, once it listens.
    m_started = m_pid > 0 && WaitUntil(
                                 [this] {
                                     return Run("test -S \"$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY\" && "
                                                "swaymsg -t get_version") == 0;
                                 },
                                 15s, 50ms);
    for (std::size_t i = 1; m_started && i < outputs.size(); ++i)
        m_started = AddOutput(outputs[i]);
}

HeadlessSway::~HeadlessSway()
{
    Stop(m_pid);
}

std::string HeadlessSway::Shared() const
{
    return (m_folder / "shared").string();
}

std::vector<std::string> HeadlessSway::Environment() const
{
    const fs::path run = m_folder / "run";
    // The display socket sway makes in the runtime folder: wayland-N, with its lock file.
    std::string display;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(run, error)) {
        const std::string name = entry.path().filename().string();
        if (name.starts_with("wayland-") && !name.ends_with(".lock"))
            display = name;
    }
    // sway binds its IPC socket where SWAYSOCK says, and swaymsg looks there.
    return {"HOME=" + (m_folder / "home").string(), "XDG_RUNTIME_DIR=" + run.string(), "WAYLAND_DISPLAY=" + display,
            "SWAYSOCK=" + (run / "sway-ipc.sock").string(), "PATH=/usr/local/bin:/usr/bin:/bin"};
}

std::vector<std::string> HeadlessSway::AsUser(const std::vector<std::string>& argv) const
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

int HeadlessSway::Run(const std::string& command) const
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    const pid_t pid = Spawn(AsUser({"sh", "-c", command}), &actions);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    if (pid <= 0 || waitpid(pid, &status, 0) != pid)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool HeadlessSway::AddOutput(const SwayOutput& output)
{
    const std::string mode = std::to_string(output.width) + "x" + std::to_string(output.height);
    const std::string set = "swaymsg output " + output.name + " resolution " + mode + " position " +
                            std::to_string(output.x) + " 0 scale " + std::to_string(output.scale);
    // create_output answers before the output exists; the mode is set once it does.
    return Run("swaymsg create_output") == 0 &&
           WaitUntil([&] { return Run(set) == 0 && !Shoot(output.name).bytes.empty() &&
                                  Shoot(output.name).width == output.width; },
                     10s, 100ms);
}

Screenshot HeadlessSway::Shoot(const std::string& output) const
{
    const std::string path = Shared() + "/" + output + ".png";
    if (Run("grim -o " + output + " " + path) != 0)
        return Screenshot{};
    return ReadPicture(path);
}

bool HeadlessSway::WaitForFirstCycleFrame(const std::string& output, int width, int height) const
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

SessionProgram::SessionProgram(const HeadlessSway& sway, const std::vector<std::string>& argv)
{
    const std::string errors = (m_folder / "errors").string();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    // setpriv and env replace themselves with the program: the pid is the program's.
    m_pid = Spawn(sway.AsUser(argv), &actions);
    posix_spawn_file_actions_destroy(&actions);
}

SessionProgram::~SessionProgram()
{
    if (!m_reaped)
        Stop(m_pid);
}

std::string SessionProgram::Errors() const
{
    return m_folder.Get("errors").value_or("");
}

bool SessionProgram::Exited(int& status)
{
    return ChildExited(m_pid, m_reaped, m_status, status);
}

bool SessionProgram::WaitForExit(int& status, std::chrono::milliseconds deadline)
{
    return WaitUntil([&] { return Exited(status); }, deadline);
}

bool SessionProgram::KeepsRunning(std::chrono::milliseconds interval)
{
    int status = 0;
    return !WaitForExit(status, interval);
}

VirtualInput::VirtualInput(const HeadlessSway& sway)
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
    m_pid = Spawn(sway.AsUser({WAYLAND_TEST_INPUT}), &actions);
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
    Stop(m_pid);
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
