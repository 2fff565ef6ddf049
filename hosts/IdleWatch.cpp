// The idle watch and the show it starts.
#include "hosts/IdleWatch.h"

#include "hosts/EndSignals.h"
#include "hosts/TalvexError.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <poll.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

// How long a show has to end after SIGTERM before it is killed.
constexpr int StopWaitMs = 5000;

// The show: talvex started again, watched through a pidfd.
class Show {
public:
    Show() = default;
    ~Show() { Stop(); }
    Show(const Show&) = delete;
    Show& operator=(const Show&) = delete;

    bool Running() const { return m_pid > 0; }
    int Fd() const { return m_fd; }

    void Start(const std::vector<std::string>& args)
    {
        std::vector<std::string> line{"talvex"};
        line.insert(line.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (std::string& arg : line)
            argv.push_back(arg.data());
        argv.push_back(nullptr);
        // The watch blocks the ending signals and ignores SIGPIPE; the show starts
        // with neither, as any program does.
        posix_spawnattr_t attributes;
        posix_spawnattr_init(&attributes);
        sigset_t none;
        sigemptyset(&none);
        sigset_t defaults;
        sigemptyset(&defaults);
        sigaddset(&defaults, SIGPIPE);
        posix_spawnattr_setsigmask(&attributes, &none);
        posix_spawnattr_setsigdefault(&attributes, &defaults);
        posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
        pid_t pid = -1;
        const int error = posix_spawn(&pid, "/proc/self/exe", nullptr, &attributes, argv.data(), environ);
        posix_spawnattr_destroy(&attributes);
        if (error != 0)
            throw ETalvexError(FailureStatus, std::string("cannot start the scene: ") + std::strerror(error));
        m_pid = pid;
        // Through syscall: Debian 12's C library declares pidfd_open for C alone.
        m_fd = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
        if (m_fd < 0) {
            Stop();
            throw ETalvexError(FailureStatus, "cannot watch the scene's program (pidfd_open failed)");
        }
    }

    // After the show has ended: takes its status.
    void Reap()
    {
        if (m_pid > 0 && waitpid(m_pid, nullptr, WNOHANG) == m_pid)
            Forget();
    }

    // Ends the show: SIGTERM, and SIGKILL when it has not ended after a while.
    void Stop()
    {
        if (m_pid <= 0)
            return;
        kill(m_pid, SIGTERM);
        if (m_fd >= 0) {
            pollfd ended{m_fd, POLLIN, 0};
            if (poll(&ended, 1, StopWaitMs) <= 0)
                kill(m_pid, SIGKILL);
        }
        waitpid(m_pid, nullptr, 0);
        Forget();
    }

private:
    void Forget()
    {
        if (m_fd >= 0)
            close(m_fd);
        m_fd = -1;
        m_pid = -1;
    }

    pid_t m_pid = -1;
    int m_fd = -1;
};

} // namespace

std::chrono::milliseconds IdleTime(double minutes)
{
    return std::chrono::milliseconds(static_cast<long long>(minutes * 60 * 1000 + 0.5));
}

int RunIdleWatch(IdleSource& source, const std::vector<std::string>& showArgs)
{
    EndSignals signals;
    Show show;
    std::printf("talvex: the scene shows after the set idle time (%s); SIGTERM or SIGINT ends it\n",
                source.Name().c_str());
    std::fflush(stdout);
    for (;;) {
        const int wait = source.ReadyWait();
        pollfd waits[] = {{source.Fd(), POLLIN, 0}, {signals.Fd(), POLLIN, 0}, {show.Fd(), POLLIN, 0}};
        const int ready = poll(waits, 3, wait);
        if (ready < 0 && errno != EINTR) {
            source.AfterWait(0);
            throw ETalvexError(FailureStatus, "the idle watch's poll failed");
        }
        const bool idled = source.AfterWait(ready > 0 ? waits[0].revents : 0);
        if (signals.Received())
            return 0;
        if (ready > 0 && waits[2].revents != 0)
            show.Reap();
        if (idled && !show.Running())
            show.Start(showArgs);
    }
}
