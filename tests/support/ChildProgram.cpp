// The programs the tests start and stop.
#include "support/ChildProgram.h"

#include "support/ChildExit.h"
#include "support/WaitUntil.h"

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sys/wait.h>

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

} // namespace

pid_t Spawn(std::vector<std::string> argv, std::vector<std::string> environment,
            const posix_spawn_file_actions_t* actions)
{
    std::vector<char*> args = Pointers(argv);
    std::vector<char*> envp = Pointers(environment);
    pid_t pid = -1;
    if (posix_spawnp(&pid, args.front(), actions, nullptr, args.data(), envp.data()) != 0)
        return -1;
    return pid;
}

std::vector<pid_t> ChildrenOf(pid_t pid)
{
    std::vector<pid_t> children;
    std::error_code error;
    const std::filesystem::path tasks = "/proc/" + std::to_string(pid) + "/task";
    for (const auto& task : std::filesystem::directory_iterator(tasks, error)) {
        std::ifstream list(task.path() / "children");
        for (pid_t child = 0; list >> child;)
            children.push_back(child);
    }
    return children;
}

pid_t WaitForOnlyChild(pid_t pid, std::chrono::milliseconds deadline)
{
    pid_t only = 0;
    WaitUntil(
        [&] {
            const std::vector<pid_t> children = ChildrenOf(pid);
            only = children.size() == 1 ? children.front() : 0;
            return only != 0;
        },
        deadline, std::chrono::milliseconds(50));
    return only;
}

void StopChild(pid_t pid)
{
    if (pid <= 0)
        return;
    kill(pid, SIGTERM);
    if (WaitUntil([pid] { return waitpid(pid, nullptr, WNOHANG) == pid; }, 3s))
        return;
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

ChildProgram::ChildProgram(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
                           bool captureErrors)
{
    const std::string output = (m_folder / "output").string();
    const std::string errors = (m_folder / "errors").string();
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (captureErrors)
        posix_spawn_file_actions_addopen(&actions, 2, errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    // setpriv and env replace themselves with the program: the process id stays the
    // program's.
    m_pid = Spawn(argv, environment, &actions);
    posix_spawn_file_actions_destroy(&actions);
}

ChildProgram::~ChildProgram()
{
    if (!m_reaped)
        StopChild(m_pid);
}

std::string ChildProgram::Output() const
{
    return m_folder.Get("output").value_or("");
}

std::string ChildProgram::Errors() const
{
    return m_folder.Get("errors").value_or("");
}

bool ChildProgram::Exited(int& status)
{
    return ChildExited(m_pid, m_reaped, m_status, status);
}

bool ChildProgram::WaitForExit(int& status, std::chrono::milliseconds deadline)
{
    return WaitUntil([&] { return Exited(status); }, deadline);
}

bool ChildProgram::KeepsRunning(std::chrono::milliseconds interval)
{
    int status = 0;
    return !WaitForExit(status, interval);
}
