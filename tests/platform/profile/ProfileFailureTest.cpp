// Failed writes: every failing step leaves the old file byte for byte, no temporary
// file behind, and the profile object reports "Unable to write to VESKAN.INI".
#include "platform/profile/ProfileService.h"
#include "platform/profile/TIniFile.h"

#include "FaultyProfileFiles.h"
#include "ProfileTestDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

const char* const OldFile = "; kept\r\n[Config]\r\nType=7\r\n[Other]\r\nA=1";

// Writes -1 through a profile object and expects the write to fail with the message.
void ExpectFailedWrite()
{
    try {
        TIniFile ini("VESKAN.INI");
        ini.WriteInteger("Config", "Type", -1);
        ADD_FAILURE() << "the write did not fail";
    } catch (const EIniFileException& error) {
        EXPECT_STREQ(error.what(), "Unable to write to VESKAN.INI");
        EXPECT_STREQ(error.ClassName(), "EIniFileException");
    }
}

bool RunningAsRoot()
{
    return ::geteuid() == 0;
}

struct StepCase {
    const char* name;
    FileStep step;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const StepCase& testCase, std::ostream* out)
{
    *out << testCase.name;
}

const StepCase FailingSteps[] = {
    {"ReadExisting", FileStep::ReadExisting},
    {"CanWrite", FileStep::CanWrite},
    {"CreateExclusive", FileStep::CreateExclusive},
    {"Write", FileStep::Write},
    {"SetPermissions", FileStep::SetPermissions},
    {"Flush", FileStep::Flush},
    {"Sync", FileStep::Sync},
    {"Close", FileStep::Close},
    {"Rename", FileStep::Rename},
};

class ProfileFailingStep : public ::testing::TestWithParam<StepCase> {};

TEST_P(ProfileFailingStep, LeavesTheOldFileAndNoTemporaryFile)
{
    ProfileTestDir dir;
    dir.Put("VESKAN.INI", OldFile);
    FaultyProfileFiles files;
    files.failAt = GetParam().step;
    SetProfileFiles(&files);

    ExpectFailedWrite();

    EXPECT_EQ(files.calls[GetParam().step], 1);
    EXPECT_EQ(dir.Get("VESKAN.INI"), OldFile);
    EXPECT_EQ(dir.Names(), std::vector<std::string> {"VESKAN.INI"});
}

// CanWrite and SetPermissions only concern an existing file.
const StepCase FailingStepsOfNewFile[] = {
    {"CreateExclusive", FileStep::CreateExclusive},
    {"Write", FileStep::Write},
    {"Flush", FileStep::Flush},
    {"Sync", FileStep::Sync},
    {"Close", FileStep::Close},
    {"Rename", FileStep::Rename},
};

class ProfileFailingStepOfNewFile : public ::testing::TestWithParam<StepCase> {};

TEST_P(ProfileFailingStepOfNewFile, LeavesNoFileAtAll)
{
    ProfileTestDir dir;
    FaultyProfileFiles files;
    files.failAt = GetParam().step;
    SetProfileFiles(&files);

    ExpectFailedWrite();

    EXPECT_EQ(files.calls[GetParam().step], 1);
    EXPECT_TRUE(dir.Names().empty());
}

INSTANTIATE_TEST_SUITE_P(Steps, ProfileFailingStep, ::testing::ValuesIn(FailingSteps),
                         [](const auto& testCase) { return std::string(testCase.param.name); });
INSTANTIATE_TEST_SUITE_P(Steps, ProfileFailingStepOfNewFile, ::testing::ValuesIn(FailingStepsOfNewFile),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(ProfileFailingStep, DirectorySyncDoesNotUndoAFinishedWrite)
{
    ProfileTestDir dir;
    dir.Put("VESKAN.INI", "[Config]\nType=7\n");
    FaultyProfileFiles files;
    files.failAt = FileStep::SyncDirectory;
    SetProfileFiles(&files);

    EXPECT_TRUE(WritePrivateProfileString("Config", "Type", "-1", "VESKAN.INI"));
    EXPECT_EQ(files.calls[FileStep::SyncDirectory], 1);
    EXPECT_EQ(dir.Get("VESKAN.INI"), "[Config]\nType=-1\n");
}

TEST(ProfileFailingStep, SuccessfulWriteGoesThroughEveryStepOnce)
{
    ProfileTestDir dir;
    dir.Put("VESKAN.INI", "[Config]\nType=7\n");
    FaultyProfileFiles files;
    SetProfileFiles(&files);

    EXPECT_TRUE(WritePrivateProfileString("Config", "Type", "-1", "VESKAN.INI"));
    for (FileStep step : {FileStep::ReadExisting, FileStep::CanWrite, FileStep::CreateExclusive,
                          FileStep::Write, FileStep::SetPermissions, FileStep::Flush, FileStep::Sync,
                          FileStep::Close, FileStep::Rename, FileStep::SyncDirectory})
        EXPECT_EQ(files.calls[step], 1) << static_cast<int>(step);
    EXPECT_EQ(files.calls[FileStep::Remove], 0);
}

TEST(ProfileReadOnlyFile, IsAFailedWrite)
{
    if (RunningAsRoot())
        GTEST_SKIP() << "root may write any file; ProfileFailingStep.CanWrite covers this";
    ProfileTestDir dir;
    dir.Put("VESKAN.INI", OldFile);
    ASSERT_EQ(::chmod(dir.PathOf("VESKAN.INI").c_str(), 0444), 0);

    ExpectFailedWrite();

    EXPECT_EQ(dir.Get("VESKAN.INI"), OldFile);
    EXPECT_EQ(dir.Names(), std::vector<std::string> {"VESKAN.INI"});
}

TEST(ProfileUnwritableDirectory, IsAFailedWriteWithoutFile)
{
    if (RunningAsRoot())
        GTEST_SKIP() << "root may write any directory; ProfileFailingStepOfNewFile covers this";
    ProfileTestDir dir;
    ASSERT_EQ(::chmod(dir.Path().c_str(), 0555), 0);

    ExpectFailedWrite();

    ASSERT_EQ(::chmod(dir.Path().c_str(), 0755), 0);
    EXPECT_TRUE(dir.Names().empty());
}

TEST(ProfileUnwritableDirectory, IsAFailedWriteWithFile)
{
    if (RunningAsRoot())
        GTEST_SKIP() << "root may write any directory; ProfileFailingStep covers this";
    ProfileTestDir dir;
    dir.Put("VESKAN.INI", OldFile);
    ASSERT_EQ(::chmod(dir.Path().c_str(), 0555), 0);

    ExpectFailedWrite();

    ASSERT_EQ(::chmod(dir.Path().c_str(), 0755), 0);
    EXPECT_EQ(dir.Get("VESKAN.INI"), OldFile);
    EXPECT_EQ(dir.Names(), std::vector<std::string> {"VESKAN.INI"});
}

TEST(ProfileSettingsFile, ThatIsADirectoryIsAFailedWrite)
{
    ProfileTestDir dir;
    ASSERT_EQ(::mkdir(dir.PathOf("VESKAN.INI").c_str(), 0755), 0);
    ExpectFailedWrite();
    EXPECT_EQ(dir.Names(), std::vector<std::string> {"VESKAN.INI"});
}

TEST(ProfileSettingsFile, ThatIsAFifoIsAFailedWriteWithoutWaiting)
{
    ProfileTestDir dir;
    ASSERT_EQ(::mkfifo(dir.PathOf("VESKAN.INI").c_str(), 0644), 0);
    ExpectFailedWrite();
    struct stat info {};
    ASSERT_EQ(::lstat(dir.PathOf("VESKAN.INI").c_str(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
}

// A link planted at the temporary name, pointing at a file worth protecting.
class ProfilePlantedLink : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_dir.Put("VESKAN.INI", "[Config]\nType=7\n");
        m_dir.Put("victim", "precious\n");
        ASSERT_EQ(::symlink(m_dir.PathOf("victim").c_str(), m_dir.PathOf(".VESKAN.INI.PLANTED.tmp").c_str()), 0);
        SetProfileFiles(&m_files);
    }

    void ExpectLinkAndVictimUntouched() const
    {
        EXPECT_EQ(m_dir.Get("victim"), "precious\n");
        char target[4096] {};
        const ssize_t length = ::readlink(m_dir.PathOf(".VESKAN.INI.PLANTED.tmp").c_str(), target, sizeof target - 1);
        ASSERT_GT(length, 0);
        EXPECT_EQ(std::string(target, static_cast<std::size_t>(length)), m_dir.PathOf("victim"));
    }

    ProfileTestDir m_dir;
    FaultyProfileFiles m_files;
};

TEST_F(ProfilePlantedLink, IsNotFollowedAndAnotherNameIsUsed)
{
    m_files.suffixes = {"PLANTED", "FRESH"};
    EXPECT_TRUE(WritePrivateProfileString("Config", "Type", "-1", "VESKAN.INI"));
    ExpectLinkAndVictimUntouched();
    EXPECT_EQ(m_dir.Get("VESKAN.INI"), "[Config]\nType=-1\n");
    EXPECT_EQ(m_dir.Names(), (std::vector<std::string> {".VESKAN.INI.PLANTED.tmp", "VESKAN.INI", "victim"}));
    EXPECT_EQ(m_files.calls[FileStep::CreateExclusive], 2);
}

TEST_F(ProfilePlantedLink, AtEveryNameFailsCleanly)
{
    m_files.repeatSuffix = "PLANTED";
    ExpectFailedWrite();
    ExpectLinkAndVictimUntouched();
    EXPECT_EQ(m_dir.Get("VESKAN.INI"), "[Config]\nType=7\n");
    EXPECT_EQ(m_dir.Names(), (std::vector<std::string> {".VESKAN.INI.PLANTED.tmp", "VESKAN.INI", "victim"}));
    // The give-up is bounded: one hundred names, not forever.
    EXPECT_EQ(m_files.calls[FileStep::CreateExclusive], 100);
}

TEST_F(ProfilePlantedLink, DanglingCreatesNothingAtItsTarget)
{
    ASSERT_EQ(::symlink(m_dir.PathOf("nowhere").c_str(), m_dir.PathOf(".VESKAN.INI.DANGLING.tmp").c_str()), 0);
    m_files.suffixes = {"DANGLING", "FRESH"};
    EXPECT_TRUE(WritePrivateProfileString("Config", "Type", "-1", "VESKAN.INI"));
    EXPECT_EQ(m_dir.Get("nowhere"), "<missing>");
    EXPECT_EQ(m_dir.Get("VESKAN.INI"), "[Config]\nType=-1\n");
}

} // namespace
