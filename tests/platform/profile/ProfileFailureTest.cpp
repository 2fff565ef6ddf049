// Failed writes: every failing step leaves the old file byte for byte, no temporary
// file behind, and the profile object reports "Unable to write to VESKAN.INI".
#include "platform/profile/ProfileService.h"
#include "platform/profile/TIniFile.h"

#include "FaultyProfileFiles.h"
#include "ProfileTestDir.h"
#include "support/Unprivileged.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <optional>
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

struct StepCase {
    const char* name;
    FileStep step;
    // The folder refuses a temporary file, so the file is rewritten in place.
    bool inPlace = false;
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
    // Rewritten in place: a step that fails before the first byte is written leaves
    // the file as it was.
    {"OpenForRewrite", FileStep::OpenForRewrite, true},
    {"Reserve", FileStep::Reserve, true},
};

class ProfileFailingStep : public ::testing::TestWithParam<StepCase> {};

TEST_P(ProfileFailingStep, LeavesTheOldFileAndNoTemporaryFile)
{
    ProfileTestDir dir;
    ASSERT_TRUE(dir.Put("VESKAN.INI", OldFile));
    FaultyProfileFiles files;
    files.refuseTemporary = GetParam().inPlace;
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
    ASSERT_TRUE(dir.Put("VESKAN.INI", "[Config]\nType=7\n"));
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
    ASSERT_TRUE(dir.Put("VESKAN.INI", "[Config]\nType=7\n"));
    FaultyProfileFiles files;
    SetProfileFiles(&files);

    EXPECT_TRUE(WritePrivateProfileString("Config", "Type", "-1", "VESKAN.INI"));
    for (FileStep step : {FileStep::ReadExisting, FileStep::CanWrite, FileStep::CreateExclusive,
                          FileStep::Write, FileStep::SetOwner, FileStep::SetPermissions, FileStep::Flush,
                          FileStep::Sync, FileStep::Close, FileStep::Rename, FileStep::SyncDirectory})
        EXPECT_EQ(files.calls[step], 1) << static_cast<int>(step);
    EXPECT_EQ(files.calls[FileStep::Remove], 0);
}

// The permissions a person meets, tried as a user without privileges (nobody, when
// the tests run as root). Owner "root" is the file's owner when the tests run as root,
// so that the user is not the owner; otherwise the user owns every file.
enum class Entry { None, File, LinkToVictim };
struct PermissionCase {
    const char* name;
    unsigned directoryMode;
    Entry entry;
    unsigned fileMode;
    bool fileOwnedByRoot;
    bool written;
};

void PrintTo(const PermissionCase& testCase, std::ostream* out)
{
    *out << testCase.name;
}

const PermissionCase PermissionCases[] = {
    {"ReadOnlyFile", 0755, Entry::File, 0444, false, false},
    {"UnwritableDirectoryWithoutFile", 0555, Entry::None, 0, false, false},
    {"UnwritableDirectoryAndFile", 0555, Entry::File, 0444, false, false},
    // The installed layout: a shared file every user may write, in a directory only
    // root may change. The file is rewritten in place and stays root's.
    {"SharedFileInUnwritableDirectory", 0555, Entry::File, 0666, true, true},
    // Not followed: the write fails and the link's target stays as it was.
    {"LinkInUnwritableDirectory", 0555, Entry::LinkToVictim, 0666, false, false},
    // Replaced through a temporary file, the file would pass to its last writer;
    // rewritten in place it keeps its owner.
    {"SomeoneElsesFileInOpenDirectory", 0777, Entry::File, 0666, true, true},
};

class ProfilePermissions : public ::testing::TestWithParam<PermissionCase> {};

TEST_P(ProfilePermissions, AsAnUnprivilegedUser)
{
    const PermissionCase& c = GetParam();
    if (c.fileOwnedByRoot && c.directoryMode == 0777 && !RunningAsRoot())
        GTEST_SKIP() << "needs a file of another user, which only root can make";
    ProfileTestDir dir;
    const UserIds user = UnprivilegedUser();
    const UserIds fileOwner = c.fileOwnedByRoot && RunningAsRoot() ? UserIds{0, 0} : user;
    const std::string ini = dir.PathOf("VESKAN.INI");
    if (c.entry == Entry::File) {
        ASSERT_TRUE(dir.Put("VESKAN.INI", OldFile));
        ASSERT_EQ(::chown(ini.c_str(), fileOwner.uid, fileOwner.gid), 0);
        ASSERT_EQ(::chmod(ini.c_str(), c.fileMode), 0);
    } else if (c.entry == Entry::LinkToVictim) {
        ASSERT_TRUE(dir.Put("victim", OldFile));
        ASSERT_EQ(::chmod(dir.PathOf("victim").c_str(), c.fileMode), 0);
        ASSERT_EQ(::symlink(dir.PathOf("victim").c_str(), ini.c_str()), 0);
    }
    ASSERT_EQ(::chown(dir.Path().c_str(), user.uid, user.gid), 0);
    ASSERT_EQ(::chmod(dir.Path().c_str(), c.directoryMode), 0);
    const std::vector<std::string> namesBefore = dir.Names();

    const std::optional<bool> written =
        RunUnprivileged([] { return WritePrivateProfileString("Config", "Type", "-1", "VESKAN.INI"); });
    ASSERT_TRUE(written.has_value()) << "could not run as the unprivileged user";
    EXPECT_EQ(*written, c.written);

    EXPECT_EQ(dir.Names(), namesBefore) << "no temporary file is left, no file added";
    if (c.entry == Entry::LinkToVictim) {
        struct stat link {};
        ASSERT_EQ(::lstat(ini.c_str(), &link), 0);
        EXPECT_TRUE(S_ISLNK(link.st_mode));
        EXPECT_EQ(dir.Get("victim"), OldFile);
    }
    if (c.entry != Entry::File)
        return;
    EXPECT_EQ(dir.Get("VESKAN.INI"), c.written ? "; kept\r\n[Config]\r\nType=-1\r\n[Other]\r\nA=1" : OldFile);
    struct stat info {};
    ASSERT_EQ(::lstat(ini.c_str(), &info), 0);
    EXPECT_TRUE(S_ISREG(info.st_mode));
    EXPECT_EQ(info.st_uid, fileOwner.uid);
    EXPECT_EQ(info.st_gid, fileOwner.gid);
    EXPECT_EQ(info.st_mode & 07777, c.fileMode);
}

INSTANTIATE_TEST_SUITE_P(Cases, ProfilePermissions, ::testing::ValuesIn(PermissionCases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

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
        ASSERT_TRUE(m_dir.Put("VESKAN.INI", "[Config]\nType=7\n"));
        ASSERT_TRUE(m_dir.Put("victim", "precious\n"));
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
    EXPECT_FALSE(m_dir.Get("nowhere").has_value());
    EXPECT_EQ(m_dir.Get("VESKAN.INI"), "[Config]\nType=-1\n");
}

} // namespace
