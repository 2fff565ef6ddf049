// render-frames as a person runs it: the same frames run to run and as they were
// before the tick kept what stands still, exit status 2 and no files for bad arguments.
#include "support/ReadAll.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <utility>
#include <vector>
#include <sys/wait.h>

namespace fs = std::filesystem;

namespace {

int RenderFrames(const std::string& args)
{
    const std::string command = std::string(VESKAN_RENDER_FRAMES) + " " + args + " >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

class RenderFramesTest : public ::testing::Test {
protected:
    TempFolder m_dir{"render-frames-test"};
};

TEST_F(RenderFramesTest, SameStartGivesIdenticalFrames)
{
    const std::string common = "--size 320x240 --start 12:00:00.000 --ticks 301 --save 1,300,301 --out ";
    ASSERT_EQ(RenderFrames(common + (m_dir / "a").string()), 0);
    ASSERT_EQ(RenderFrames(common + (m_dir / "b").string()), 0);
    for (const char* name : {"frame-000001.png", "frame-000300.png", "frame-000301.png"}) {
        const std::string a = ReadAll(m_dir / "a" / name);
        ASSERT_FALSE(a.empty()) << name;
        EXPECT_EQ(a, ReadAll(m_dir / "b" / name)) << name;
    }
    // The plan is re-drawn after tick 300: frame 301 differs from frame 300.
    EXPECT_NE(ReadAll(m_dir / "a" / "frame-000300.png"), ReadAll(m_dir / "a" / "frame-000301.png"));
    // Only the chosen frames, and no temporary files.
    EXPECT_EQ(std::distance(fs::directory_iterator(m_dir / "a"), fs::directory_iterator()), 3);
}

// The committed runs, one per line: SIZE START TICKS STEP-MS SAVE HASH.
struct CommittedRun {
    std::string size, start, ticks, step, save, hash;
};

std::vector<CommittedRun> CommittedRuns()
{
    std::ifstream runs(std::string(VESKAN_SOURCE_DIR) + "/tests/tools/render-frames-frames.txt");
    std::vector<CommittedRun> all;
    std::string line;
    while (std::getline(runs, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        CommittedRun run;
        fields >> run.size >> run.start >> run.ticks >> run.step >> run.save >> run.hash;
        all.push_back(run);
    }
    return all;
}

// Runs render-frames as the committed run says, with extra arguments, into out; the
// SHA-256 of its saved frames in tick order, joined; empty when it failed.
std::string HashOfRun(const CommittedRun& run, const std::string& extra, const std::string& out)
{
    const std::string saveFlag = run.save.starts_with("every:") ? "--save-every " + run.save.substr(6)
                                                                : "--save " + run.save.substr(5);
    if (RenderFrames("--size " + run.size + " --start " + run.start + " --ticks " + run.ticks + " --step-ms " +
                     run.step + " " + saveFlag + " " + extra + " --out " + out) != 0)
        return {};
    // The shell sorts the names, which carry the tick with leading zeros.
    FILE* pipe = ::popen(("cat " + out + "/frame-*.png | sha256sum").c_str(), "r");
    if (pipe == nullptr)
        return {};
    char digest[65] = {};
    const std::size_t got = std::fread(digest, 1, 64, pipe);
    ::pclose(pipe);
    fs::remove_all(out);
    return std::string(digest, got);
}

TEST_F(RenderFramesTest, FramesAreByteForByteThoseOfTheCommittedRuns)
{
    int checked = 0;
    for (const CommittedRun& run : CommittedRuns()) {
        const std::string out = (m_dir / std::to_string(++checked)).string();
        EXPECT_EQ(HashOfRun(run, "", out), run.hash) << run.size << " from " << run.start;
    }
    EXPECT_GE(checked, 7);
}

// A second scene of another size ticking beside the first, as one process draws on
// two screens, leaves the first scene's frames those of the committed runs.
TEST_F(RenderFramesTest, FramesStayThoseOfTheCommittedRunsWithASecondSceneBeside)
{
    const std::pair<const char*, const char*> pairs[] = {{"640x480", "300x200"}, {"300x200", "1024x542"}};
    int checked = 0;
    for (const CommittedRun& run : CommittedRuns()) {
        for (const auto& [size, beside] : pairs) {
            if (run.size != size)
                continue;
            const std::string out = (m_dir / ("beside-" + std::to_string(++checked))).string();
            EXPECT_EQ(HashOfRun(run, std::string("--beside ") + beside, out), run.hash) << size << " beside " << beside;
        }
    }
    EXPECT_EQ(checked, 2);
}

TEST_F(RenderFramesTest, BadArgumentsExitWithTwoAndWriteNothing)
{
    const std::string out = (m_dir / "out").string();
    EXPECT_EQ(RenderFrames("--size 10 --start 12:00:00.000 --ticks 2 --out " + out), 2);
    EXPECT_EQ(RenderFrames("--size 10x10 --start noon --ticks 2 --out " + out), 2);
    EXPECT_EQ(RenderFrames("--size 10x10 --start 12:00:00.000 --ticks 2 --save 1,x --out " + out), 2);
    EXPECT_FALSE(fs::exists(out));
    // A folder that cannot be made: its parent is a file.
    std::ofstream(m_dir / "file") << "x";
    EXPECT_EQ(RenderFrames("--size 10x10 --start 12:00:00.000 --ticks 2 --save 1 --out " + (m_dir / "file" / "sub").string()), 2);
}

} // namespace
