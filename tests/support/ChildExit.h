// Whether a child process has exited, reaping it once: its exit status, or 128 plus
// the signal that ended it.
#pragma once

#include <sys/types.h>
#include <sys/wait.h>

// reaped and exitStatus hold what is known of pid between calls; status gets the exit
// status once it has exited.
inline bool ChildExited(pid_t pid, bool& reaped, int& exitStatus, int& status)
{
    if (!reaped && pid > 0) {
        int raw = 0;
        if (waitpid(pid, &raw, WNOHANG) == pid) {
            reaped = true;
            exitStatus = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
        }
    }
    status = exitStatus;
    return reaped;
}
