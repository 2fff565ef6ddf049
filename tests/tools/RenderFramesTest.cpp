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

TEST_F(RenderFramesTest, FramesAreByteForByteThoseOfTheCommittedRuns)
{
    std::ifstream runs(std::string(VESKAN_SOURCE_DIR) + "/tests/tools/render-frames-frames.txt");
    std::string line;
    int checked = 0;
    while (std::getline(runs, line)) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        std::string size, start, ticks, step, save, expected;
        fields >> size >> start >> ticks >> step >> save >> expected;
        const std::string out = (m_dir / std::to_string(++checked)).string();
        const std::string saveFlag = save.starts_with("every:") ? "--save-every " + save.substr(6)
                                                                 : "--save " + save.substr(5);
        ASSERT_EQ(RenderFrames("--size " + size + " --start " + start + " --ticks " + ticks + " --step-ms " + step +
                               " " + saveFlag + " --out " + out),
                  0)
            << line;
        // The shell sorts the names, which carry the tick with leading zeros.
        FILE* pipe = ::popen(("cat " + out + "/frame-*.png | sha256sum").c_str(), "r");
        ASSERT_NE(pipe, nullptr);
        char digest[65] = {};
        const std::size_t got = std::fread(digest, 1, 64, pipe);
        ::pclose(pipe);
        EXPECT_EQ(std::string(digest, got), expected) << line;
        fs::remove_all(out);
    }
    EXPECT_GE(checked, 7);
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
