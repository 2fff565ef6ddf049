// A child process with the ids of an unprivileged user, for tests of refused writes.
#include "support/Unprivileged.h"

#include <grp.h>
#include <pwd.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// Debian's nobody and nogroup, by name; their usual numbers where the names are unknown.
constexpr uid_t NobodyFallback = 65534;
constexpr gid_t NogroupFallback = 65534;
constexpr int DropFailed = 2;

} // namespace

bool RunningAsRoot()
{
    return ::geteuid() == 0;
}

UserIds UnprivilegedUser()
{
    if (!RunningAsRoot())
        return UserIds{::geteuid(), ::getegid()};
    const passwd* nobody = ::getpwnam("nobody");
    const group* nogroup = ::getgrnam("nogroup");
    return UserIds{nobody ? nobody->pw_uid : NobodyFallback, nogroup ? nogroup->gr_gid : NogroupFallback};
}

std::optional<bool> RunUnprivileged(const std::function<bool()>& body)
{
    const UserIds user = UnprivilegedUser();
    const pid_t pid = ::fork();
    if (pid < 0)
        return std::nullopt;
    if (pid == 0) {
        if (RunningAsRoot() &&
            (::setgroups(0, nullptr) != 0 || ::setresgid(user.gid, user.gid, user.gid) != 0 ||
             ::setresuid(user.uid, user.uid, user.uid) != 0))
            ::_exit(DropFailed);
        ::_exit(body() ? 0 : 1);
    }
    int status = 0;
    if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) > 1)
        return std::nullopt;
    return WEXITSTATUS(status) == 0;
}
