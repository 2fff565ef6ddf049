// render-frames as a person runs it: the same frames run to run, exit status 2 and no
// files for bad arguments.
#include "support/ReadAll.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
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
    void SetUp() override
    {
        m_dir = fs::temp_directory_path() / ("render-frames-test-" + std::to_string(::getpid()));
        fs::remove_all(m_dir);
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }
    fs::path m_dir;
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
