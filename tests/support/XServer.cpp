// Xvfb started with -displayfd, so that it picks a display number no other run holds;
// commands, screenshots and programs on it; everything it started stopped by pid.
#include "support/XServer.h"

#include "support/ChildExit.h"
#include "support/WaitUntil.h"

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <poll.h>
#include <spawn.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

// The environment of this process with DISPLAY and the Qt platform replaced and no
// Wayland session of the person running the tests, then the changes applied:
// "NAME=value" sets, "NAME" removes.
std::vector<std::string> ProgramEnvironment(const std::string& display, const std::vector<std::string>& changes)
{
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string entry(*e);
        if (entry.rfind("DISPLAY=", 0) == 0 || entry.rfind("QT_QPA_PLATFORM=", 0) == 0 ||
            entry.rfind("WAYLAND_DISPLAY=", 0) == 0)
            continue;
        env.push_back(entry);
    }
    env.push_back("DISPLAY=" + display);
    env.push_back("QT_QPA_PLATFORM=xcb");
    for (const std::string& change : changes) {
        const std::string name = change.substr(0, change.find('='));
        std::erase_if(env, [&](const std::string& entry) { return entry.rfind(name + "=", 0) == 0; });
        if (change.find('=') != std::string::npos)
            env.push_back(change);
    }
    return env;
}

// This process's environment, each entry.
std::vector<std::string> OwnEnvironment()
{
    std::vector<std::string> env;
    for (char** e = environ; *e; ++e)
        env.emplace_back(*e);
    return env;
}

// The command line of a program started on the server.
std::vector<std::string> ProgramLine(const std::string& path, const std::vector<std::string>& arguments,
                                     const ProgramSetup& setup)
{
    std::vector<std::string> args;
    if (setup.unprivileged && geteuid() == 0)
        args = {"setpriv", "--reuid=nobody", "--regid=nogroup", "--clear-groups"};
    args.push_back(path);
    args.insert(args.end(), arguments.begin(), arguments.end());
    return args;
}

// Skips blanks and # comments of a PPM header, then reads a number.
bool ReadPpmNumber(std::istream& in, int& value)
{
    for (;;) {
        const int c = in.peek();
        if (c == '#') {
            std::string comment;
            std::getline(in, comment);
        } else if (c == ' ' || c == '\n' || c == '\r' || c == '\t') {
            in.get();
        } else {
            break;
        }
    }
    return static_cast<bool>(in >> value);
}

} // namespace

bool Screenshot::Shows(int left, int top, const Screenshot& picture) const
{
    if (picture.width <= 0 || left < 0 || top < 0 || left + picture.width > width || top + picture.height > height)
        return false;
    const std::size_t row = static_cast<std::size_t>(picture.width) * 3;
    for (int y = 0; y < picture.height; ++y) {
        const auto here = bytes.begin() + static_cast<std::ptrdiff_t>(
                                              (static_cast<std::size_t>(top + y) * static_cast<std::size_t>(width) +
                                               static_cast<std::size_t>(left)) * 3);
        const auto there = picture.bytes.begin() + static_cast<std::ptrdiff_t>(static_cast<std::size_t>(y) * row);
        if (!std::equal(there, there + static_cast<std::ptrdiff_t>(row), here))
            return false;
    }
    return true;
}

Rgb8 Screenshot::At(int x, int y) const
{
    const std::size_t i = (static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x)) * 3;
    return Rgb8{bytes.at(i), bytes.at(i + 1), bytes.at(i + 2)};
}

XServer::XServer(const XServerSetup& setup)
{
    int fds[2];
    if (pipe(fds) != 0)
        return;
    std::vector<std::string> args = {"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0", setup.screen,
                                     "-noreset", setup.tcp ? "-listen" : "-nolisten", "tcp"};
    if (!setup.sharedMemory) {
        args.push_back("-extension");
        args.push_back("MIT-SHM");
    }
    if (setup.anyUser)
        args.push_back("-ac");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    const std::string log = (m_folder / "xvfb.log").string();
    posix_spawn_file_actions_addopen(&actions, 2, log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    m_pid = Spawn(args, OwnEnvironment(), &actions);
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    if (m_pid <= 0) {
        m_pid = -1;
        close(fds[0]);
        return;
    }

    // The server writes its display number once it listens.
    std::string number;
    const auto deadline = Clock::now() + std::chrono::seconds(15);
    while (Clock::now() < deadline) {
        pollfd p{fds[0], POLLIN, 0};
        if (poll(&p, 1, 100) <= 0)
            continue;
        char buffer[32];
        const ssize_t n = read(fds[0], buffer, sizeof buffer);
        if (n <= 0)
            break;
        number.append(buffer, static_cast<std::size_t>(n));
        if (number.find('\n') != std::string::npos)
            break;
    }
    close(fds[0]);
    if (number.empty() || number.find('\n') == std::string::npos)
        return;
    m_display = std::atoi(number.c_str());
    if (!WaitUntil([this] { return Run("xdpyinfo") == 0; }, 15s, 50ms))
        m_display = -1;
}

XServer::XServer(const ExistingDisplay& existing)
{
    const std::size_t colon = existing.display.find(':');
    if (colon == std::string::npos)
        return;
    m_display = std::atoi(existing.display.c_str() + colon + 1);
    if (Run("xdpyinfo") != 0)
        m_display = -1;
}

XServer::~XServer()
{
    StopChild(m_pid);
}

int XServer::Run(const std::string& command) const
{
    const std::string line = "DISPLAY=" + Display() + " " + command + " >/dev/null 2>&1";
    const int status = std::system(line.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string XServer::Output(const std::string& command) const
{
    const std::string line = "DISPLAY=" + Display() + " " + command + " 2>/dev/null";
    std::string output;
    if (FILE* pipe = popen(line.c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe))
            output += buffer;
        pclose(pipe);
    }
    return output;
}

namespace {

Screenshot ReadPpm(const std::string& path)
{
    Screenshot shot;
    std::ifstream in(path, std::ios::binary);
    std::string magic;
    int maxValue = 0;
    if (!(in >> magic) || magic != "P6" || !ReadPpmNumber(in, shot.width) || !ReadPpmNumber(in, shot.height) ||
        !ReadPpmNumber(in, maxValue) || maxValue != 255) {
        return Screenshot{};
    }
    in.get();   // the single blank after the header
    shot.bytes.resize(static_cast<std::size_t>(shot.width) * static_cast<std::size_t>(shot.height) * 3);
    in.read(reinterpret_cast<char*>(shot.bytes.data()), static_cast<std::streamsize>(shot.bytes.size()));
    if (in.gcount() != static_cast<std::streamsize>(shot.bytes.size()))
        return Screenshot{};
    return shot;
}

} // namespace

Screenshot ReadPicture(const std::string& path)
{
    const std::string ppm = path + ".ppm";
    const std::string command = "convert '" + path + "' -depth 8 'ppm:" + ppm + "' >/dev/null 2>&1";
    if (std::system(command.c_str()) != 0)
        return Screenshot{};
    Screenshot picture = ReadPpm(ppm);
    std::remove(ppm.c_str());
    return picture;
}

Screenshot XServer::Shoot() const
{
    const std::string path = (m_folder / "shot.ppm").string();
    if (Run("import -window root -depth 8 ppm:" + path) != 0)
        return Screenshot{};
    return ReadPpm(path);
}

std::vector<std::string> XServer::VisibleWindows(pid_t pid) const
{
    std::istringstream ids(Output("xdotool search --onlyvisible --pid " + std::to_string(pid)));
    std::vector<std::string> windows;
    std::string id;
    while (ids >> id)
        windows.push_back(id);
    return windows;
}

std::string XServer::WaitForWindow(pid_t pid, const std::string& name, std::chrono::milliseconds deadline) const
{
    std::string id;
    WaitUntil(
        [&] {
            std::istringstream ids(Output("xdotool search --all --onlyvisible --pid " + std::to_string(pid) +
                                          " --name '^" + name + "$'"));
            return static_cast<bool>(ids >> id);
        },
        deadline, 50ms);
    return id;
}

Program::Program(const XServer& server, const std::string& path, const std::vector<std::string>& arguments,
                 const ProgramSetup& setup)
    : ChildProgram(ProgramLine(path, arguments, setup), ProgramEnvironment(server.Display(), setup.environment),
                   setup.captureErrors)
{
}
