// talvex under the real screen-saver hosts, as the e2e and the package tests run it.
#include "support/ScreenSaverHosts.h"

#include "support/Unprivileged.h"
#include "support/WaitUntil.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;
using namespace std::chrono_literals;

int SegmentsMadeBy(pid_t pid)
{
    // The kernel's list (what ipcs -m shows): key shmid perms size cpid ...
    std::ifstream list("/proc/sysvipc/shm");
    std::string line;
    std::getline(list, line);   // the heading
    int count = 0;
    while (std::getline(list, line)) {
        std::istringstream fields(line);
        long key = 0, id = 0, perms = 0, size = 0, creator = 0;
        if (fields >> key >> id >> perms >> size >> creator && creator == pid)
            ++count;
    }
    return count;
}

char ProcessState(pid_t pid)
{
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
    const auto close = text.rfind(')');
    return close == std::string::npos || close + 2 >= text.size() ? 0 : text[close + 2];
}

pid_t FindProcessOf(const fs::path& program)
{
    for (const auto& entry : fs::directory_iterator("/proc")) {
        std::error_code error;
        if (fs::read_symlink(entry.path() / "exe", error) == program)
            return std::atoi(entry.path().filename().c_str());
    }
    return 0;
}

std::string AsUnprivilegedUser()
{
    return RunningAsRoot() ? "setpriv --reuid=nobody --regid=nogroup --clear-groups " : "";
}

void ExpectXscreensaverRunsTalvex(const XServer& server, const fs::path& home, const std::string& command,
                                  const fs::path& program, const std::function<bool()>& showsScene)
{
    ASSERT_EQ(std::system("command -v xscreensaver xscreensaver-command >/dev/null"), 0)
        << "xscreensaver is not installed (tools/setup.sh installs it)";
    std::ofstream(home / ".xscreensaver") << "mode: one\nselected: 0\nfade: False\nunfade: False\n"
                                             "splash: False\nlock: False\ntimeout: 2:00:00\n"
                                             "programs: "
                                          << command << "\n";
    const UserIds user = UnprivilegedUser();
    ASSERT_EQ(::chown((home / ".xscreensaver").c_str(), user.uid, user.gid), 0);

    const std::string asUser = AsUnprivilegedUser() + "env HOME=" + home.string() + " ";
    ProgramSetup setup{{"HOME=" + home.string()}, true, true};
    Program daemon(server, "xscreensaver", {"--no-splash"}, setup);
    ASSERT_TRUE(WaitUntil([&] { return server.Run(asUser + "xscreensaver-command -time") == 0; }, 10s, 100ms))
        << "the daemon did not answer: " << daemon.Errors();

    ASSERT_EQ(server.Run(asUser + "xscreensaver-command -activate"), 0);
    EXPECT_TRUE(showsScene()) << "no first scene: " << daemon.Errors();
    const pid_t talvex = FindProcessOf(program);
    ASSERT_NE(talvex, 0) << "the daemon did not run " << program << ": " << daemon.Errors();
    EXPECT_EQ(SegmentsMadeBy(talvex), 1) << "not drawn through a shared segment";

    ASSERT_EQ(server.Run(asUser + "xscreensaver-command -deactivate"), 0);
    // Ended: gone, or exited and waiting for its parent (the daemon) to collect it.
    EXPECT_TRUE(WaitUntil(
        [&] { return ProcessState(talvex) == 0 || ProcessState(talvex) == 'Z' || FindProcessOf(program) == 0; }, 3s))
        << "talvex still runs after -deactivate";
    EXPECT_TRUE(WaitUntil([&] { return SegmentsMadeBy(talvex) == 0; }, 2s)) << "a shared segment was left";

    server.Run(asUser + "xscreensaver-command -exit");
    int status = 0;
    daemon.WaitForExit(status, 3s);
}
