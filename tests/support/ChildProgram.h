// A program the tests start and stop: argv with an environment of its own, its standard
// output and error in files of its own temporary folder, its exit taken once. Stopped
// by its process id (SIGTERM, then SIGKILL) when it is still running at the end.
#pragma once

#include "support/TempFolder.h"

#include <chrono>
#include <spawn.h>
#include <string>
#include <sys/types.h>
#include <vector>

class ChildProgram {
public:
    // argv[0] is looked up in PATH; environment is the whole of the program's ("NAME=value"
    // each). Without captureErrors its standard error is the test's own.
    ChildProgram(const std::vector<std::string>& argv, const std::vector<std::string>& environment,
                 bool captureErrors = true);
    ~ChildProgram();
    ChildProgram(const ChildProgram&) = delete;
    ChildProgram& operator=(const ChildProgram&) = delete;

    pid_t Pid() const { return m_pid; }
    std::string Output() const;
    // Its standard error, when captured.
    std::string Errors() const;
    // True, with status set (the exit status, or 128 plus the signal), once it has exited.
    bool Exited(int& status);
    // Polls Exited until the deadline.
    bool WaitForExit(int& status, std::chrono::milliseconds deadline);
    // Still running through the whole interval (an exit ends the check early).
    bool KeepsRunning(std::chrono::milliseconds interval);

private:
    TempFolder m_folder{"veskan-program"};
    pid_t m_pid = -1;
    bool m_reaped = false;
    int m_status = 0;
};

// Starts argv (looked up in PATH) with environment and the file actions; -1 on failure.
pid_t Spawn(std::vector<std::string> argv, std::vector<std::string> environment,
            const posix_spawn_file_actions_t* actions);
// The processes pid has started and not yet reaped, from /proc; empty once it has ended.
std::vector<pid_t> ChildrenOf(pid_t pid);
// Polls until pid has started exactly one process; that one, or 0 at the deadline.
pid_t WaitForOnlyChild(pid_t pid, std::chrono::milliseconds deadline);
// Ends a child the test started: SIGTERM, SIGKILL after 3 s, and reaps it.
void StopChild(pid_t pid);
