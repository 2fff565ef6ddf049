// A writer killed at random moments leaves the settings file whole: the old version
// or the new one, never a mix or a truncated file.
#include "platform/profile/ProfileService.h"

#include "ProfileTestDir.h"

#include <gtest/gtest.h>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <random>
#include <string>

namespace {

constexpr int Kills = 120;
// The longest the parent lets a writer run after its first finished write.
constexpr int MaxRunMicroseconds = 3000;
// A writer that has not finished one write by then is stuck; the test gives up.
constexpr int FirstWriteTimeoutMs = 10000;

const std::string FileWithMinusOne = "; the saver's settings\n[Config]\nType=-1\n[Other]\nA=1\n";
const std::string FileWithSeven = "; the saver's settings\n[Config]\nType=7\n[Other]\nA=1\n";

// Writes 7 and -1 in turn, the value the file does not hold first, and reports each
// finished write with one byte on `progress`. Never returns.
[[noreturn]] void RunWriter(bool fileHoldsSeven, int progress)
{
    for (bool seven = !fileHoldsSeven;; seven = !seven) {
        if (!WritePrivateProfileString("Config", "Type", seven ? "7" : "-1", "VESKAN.INI"))
            _exit(2);
        const char byte = seven ? '7' : '-';
        if (::write(progress, &byte, 1) != 1)
            _exit(3);
    }
}

TEST(ProfileKilledWriter, LeavesTheOldOrTheNewFile)
{
    ProfileTestDir dir;
    ASSERT_TRUE(dir.Put("VESKAN.INI", FileWithSeven));
    std::mt19937 random(20240607u);
    std::uniform_int_distribution<int> runFor(0, MaxRunMicroseconds);
    int changes = 0;
    bool holdsSeven = true;

    for (int kill = 0; kill < Kills; ++kill) {
        int pipeEnds[2];
        ASSERT_EQ(::pipe(pipeEnds), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(pipeEnds[0]);
            RunWriter(holdsSeven, pipeEnds[1]);
        }
        ::close(pipeEnds[1]);

        // The first finished write proves the writer works; the kill then lands at a
        // random point of a later one.
        pollfd ready {pipeEnds[0], POLLIN, 0};
        const int polled = ::poll(&ready, 1, FirstWriteTimeoutMs);
        if (polled == 1)
            ::usleep(static_cast<useconds_t>(runFor(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ::close(pipeEnds[0]);
        ASSERT_EQ(polled, 1) << "the writer finished no write";
        ASSERT_TRUE(WIFSIGNALED(status)) << "the writer stopped by itself, status " << status;

        const std::string now = dir.Get("VESKAN.INI").value_or("<missing>");
        ASSERT_TRUE(now == FileWithMinusOne || now == FileWithSeven) << "after kill " << kill << ":\n" << now;
        if ((now == FileWithSeven) != holdsSeven)
            ++changes;
        holdsSeven = now == FileWithSeven;
    }
    // Every writer finished at least one write, and the first one flips the value; a
    // kill during a later write may flip it back, so only at least one change is sure.
    EXPECT_GE(changes, 1);
}

} // namespace
