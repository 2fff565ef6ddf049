// SIGTERM and SIGINT through a signalfd.
#include "hosts/EndSignals.h"

#include "hosts/TalvexError.h"

#include <csignal>
#include <sys/signalfd.h>
#include <unistd.h>

namespace {

sigset_t EndingSet()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGINT);
    return set;
}

} // namespace

void EndSignals::Block()
{
    const sigset_t set = EndingSet();
    pthread_sigmask(SIG_BLOCK, &set, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

EndSignals::EndSignals()
{
    const sigset_t set = EndingSet();
    m_fd = signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC);
    if (m_fd < 0)
        throw ETalvexError(FailureStatus, "cannot watch for SIGTERM and SIGINT (signalfd failed)");
}

EndSignals::~EndSignals()
{
    close(m_fd);
}

bool EndSignals::Received()
{
    signalfd_siginfo info;
    while (read(m_fd, &info, sizeof info) == static_cast<ssize_t>(sizeof info))
        m_received = true;
    return m_received;
}
