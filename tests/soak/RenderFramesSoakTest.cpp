// The soak of the real render-frames program: 30,000 ticks (100 scene cycles) at
// 640 x 480 in a process of its own, built as this test is (with the sanitizers in a
// sanitizer build). It must end with status 0 and no sanitizer report, and its
// resident memory, sampled from outside while it runs, must stay flat.
#include "support/ProcessMemory.h"
#include "support/ReadAll.h"
#include "support/TempFolder.h"

#include "scene/Catalogue.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <memory>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace fs = std::filesystem;

namespace {

constexpr int Ticks = 30000;
// The second half of the run, from tick 15,000, is checked against its own start.
constexpr int FlatFromTick = Ticks / 2;
// As in the in-process soak: page-level movement and the small pictures that may
// still be decoded late, while half a decoded sky (3.8 MiB) already shows. It also
// holds render-frames' own record of each tick's compose time for its median, 8 bytes
// a tick (117 KiB over the second half), reserved at start and touched as it fills.
constexpr long MarginKiB = 2048;
constexpr long FrameKiB = 640 * 480 * 4 / 1024;
// Often enough for many samples in each half, however fast the ticks have become
// (a normal build now runs the whole soak in about two seconds).
constexpr auto SampleEvery = std::chrono::milliseconds(5);
// Far above the run's time in a sanitizer build (about a minute); a hung run fails.
constexpr auto Deadline = std::chrono::minutes(9);

struct Sample {
    double seconds;
    int tick;   // the last tick the program reported; 0 before the first report
    long rssKiB;
};

// render-frames reports "\rtick N of M, ..." on its error stream every 100 ticks; the
// last report tells how far it is.
int LastReportedTick(const fs::path& errorFile)
{
    const int fd = ::open(errorFile.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return 0;
    char text[256];
    const off_t size = ::lseek(fd, 0, SEEK_END);
    const off_t from = size > 200 ? size - 200 : 0;
    const ssize_t got = ::pread(fd, text, sizeof text - 1, from);
    ::close(fd);
    if (got <= 0)
        return 0;
    text[got] = '\0';
    const std::string tail(text);
    const std::size_t at = tail.rfind("tick ");
    if (at == std::string::npos)
        return 0;
    return std::atoi(tail.c_str() + at + 5);
}

// The pixels of all JPEG pictures once decoded, from their headers alone: the most
// that lazy decoding can add to a run.
long AllJpegPixelsKiB()
{
    std::unique_ptr<Catalogue> catalogue = Catalogue::Load(ScreenFormPictures(), JpegDepth::TrueColour);
    long total = 0;
    for (int holder = 1; holder <= PictureCount; ++holder) {
        const Picture& picture = catalogue->Image(holder);
        if (picture.Kind() == PictureKind::Jpeg)
            total += static_cast<long>(picture.Width()) * picture.Height() * 4 / 1024;
    }
    return total;
}

TEST(RenderFramesSoak, ThirtyThousandTicksEndCleanlyAndStayFlat)
{
    const TempFolder folder("veskan-soak");
    const fs::path out = folder / "frames";
    const fs::path outFile = folder / "stdout.txt";
    const fs::path errFile = folder / "stderr.txt";
    const std::string program = VESKAN_RENDER_FRAMES;
    std::vector<std::string> args = {program,    "--size",  "640x480", "--start", "02:00:00.250",
                                     "--ticks",  std::to_string(Ticks), "--out", out.string()};
    std::vector<char*> argv;
    for (std::string& arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    ASSERT_EQ(posix_spawn_file_actions_init(&actions), 0);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    ASSERT_EQ(spawned, 0) << "cannot start " << program;

    // Samples until the program ends; the resident figure is read before the exit
    // status is collected, while /proc still has the process.
    const auto begin = std::chrono::steady_clock::now();
    std::vector<Sample> samples;
    int status = 0;
    bool ended = false;
    while (!ended) {
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
        const int tick = LastReportedTick(errFile);
        const long rss = ResidentKiB(pid);
        const pid_t done = ::waitpid(pid, &status, WNOHANG);
        ASSERT_NE(done, -1) << "waitpid: errno " << errno;
        ended = done == pid;
        if (!ended && rss > 0)
            samples.push_back({seconds, tick, rss});
        if (!ended && std::chrono::steady_clock::now() - begin > Deadline) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &status, 0);
            FAIL() << "render-frames did not end within the deadline";
        }
        if (!ended)
            std::this_thread::sleep_for(SampleEvery);
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();

    const std::string errors = ReadAll(errFile);
    const std::string output = ReadAll(outFile);
    std::printf("render-frames soak: %d ticks at 640x480 in %.1f s, %s build\n%s", Ticks, seconds,
                SanitizedBuild() ? "sanitizer" : "normal", output.c_str());
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0)
                                   << "\n" << errors;
    EXPECT_EQ(WEXITSTATUS(status), 0) << errors;
    for (const char* report : {"AddressSanitizer", "LeakSanitizer", "UndefinedBehaviorSanitizer", "runtime error:"})
        EXPECT_EQ(errors.find(report), std::string::npos) << "a sanitizer reported:\n" << errors;
    EXPECT_NE(output.find(std::to_string(Ticks) + " ticks at 640x480, 0 frames written to " + out.string() +
                          ", 0 failed ticks"),
              std::string::npos)
        << output;

    // From the first report on (tick 100), the program has loaded its pictures and
    // made its first frame. After the last report it only ends: its summary, the
    // release of the catalogue and, in a sanitizer build, the leak check at exit,
    // which takes memory of its own. Those samples are shown but not held to the
    // flat line; a leak is the leak check's to report.
    const auto ending = std::find_if(samples.begin(), samples.end(), [](const Sample& s) { return s.tick >= Ticks; });
    const auto first = std::find_if(samples.begin(), ending, [](const Sample& s) { return s.tick >= 100; });
    const auto half = std::find_if(samples.begin(), ending, [](const Sample& s) { return s.tick >= FlatFromTick; });
    ASSERT_NE(first, ending) << "no sample after the first report";
    ASSERT_NE(half, ending) << "no sample in the second half of the run";
    ASSERT_GE(ending - half, 10) << "too few samples in the second half to call it flat";

    std::printf("seconds   tick  VmRSS KiB\n");
    int nextTick = 0;
    long peak = 0;
    for (const Sample& s : samples) {
        peak = std::max(peak, s.rssKiB);
        if (s.tick >= nextTick || &s == &samples.back()) {
            std::printf("%7.1f %6d %10ld\n", s.seconds, s.tick, s.rssKiB);
            nextTick = s.tick + 3000;
        }
    }
    std::printf("%zu samples; from tick %d: %ld KiB, peak %ld KiB; from tick %d: %ld KiB\n", samples.size(),
                first->tick, first->rssKiB, peak, half->tick, half->rssKiB);

    // In a sanitizer build each 8 bytes touched add a shadow byte.
    const long shadowEighths = SanitizedBuild() ? 9 : 8;
    const long lazyKiB = (AllJpegPixelsKiB() + FrameKiB) * shadowEighths / 8;
    for (auto s = first; s != ending; ++s) {
        EXPECT_LE(s->rssKiB - first->rssKiB, lazyKiB + MarginKiB) << "at tick " << s->tick;
        if (s >= half) {
            EXPECT_LE(s->rssKiB - half->rssKiB, MarginKiB) << "at tick " << s->tick;
        }
    }
}

} // namespace
