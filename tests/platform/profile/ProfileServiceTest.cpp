// The profile service on real files: what a write makes of a file, byte for byte.
#include "platform/profile/ProfileService.h"

#include "FaultyProfileFiles.h"
#include "ProfileTestDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

struct EditCase {
    const char* name;
    const char* before; // nullptr: no file
    const char* after;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const EditCase& testCase, std::ostream* out)
{
    *out << testCase.name;
}

// Each case writes Type=-1 into section Config of VESKAN.INI.
const EditCase SetCases[] = {
    {"NoFile", nullptr, "[Config]\nType=-1\n"},
    {"EmptyFile", "", "[Config]\nType=-1\n"},
    {"OnlyBlankLines", "\n\n", "\n\n[Config]\nType=-1\n"},
    {"ValueAmongOtherSectionsAndKeys",
     "; settings\n[Display]\nMode=3\n\n[Config]\nName=x\nType=7\nSpeed=2\n\n[Other]\nType=5\n",
     "; settings\n[Display]\nMode=3\n\n[Config]\nName=x\nType=-1\nSpeed=2\n\n[Other]\nType=5\n"},
    {"SectionAndKeyMatchedRegardlessOfCase", "[config]\ntYpE=7\n", "[config]\ntYpE=-1\n"},
    {"UpperCaseSectionReused", "[CONFIG]\nName=x\n", "[CONFIG]\nName=x\nType=-1\n"},
    {"CrlfValueReplaced", "[Other]\r\nA=1\r\n[Config]\r\nType=7\r\n",
     "[Other]\r\nA=1\r\n[Config]\r\nType=-1\r\n"},
    {"CrlfKeyInserted", "[Config]\r\nName=x\r\n\r\n[Other]\r\nB=2\r\n",
     "[Config]\r\nName=x\r\nType=-1\r\n\r\n[Other]\r\nB=2\r\n"},
    {"CrlfSectionAppended", "[Other]\r\nB=2\r\n", "[Other]\r\nB=2\r\n[Config]\r\nType=-1\r\n"},
    {"CrlfNoFinalLineEnding", "[Config]\r\nType=7", "[Config]\r\nType=-1"},
    {"NoFinalLineEndingValueReplaced", "[Config]\nType=7", "[Config]\nType=-1"},
    {"NoFinalLineEndingSectionAppended", "[Other]\nB=2", "[Other]\nB=2\n[Config]\nType=-1\n"},
    {"NoFinalLineEndingKeyInserted", "[Config]\nName=x", "[Config]\nName=x\nType=-1\n"},
    {"SectionLineOnly", "[Config]\n", "[Config]\nType=-1\n"},
    {"SectionLineOnlyNoLineEnding", "[Config]", "[Config]\nType=-1\n"},
    {"CommentsInSectionKept", "[Config]\n; the type\n# old: Type=3\nType=7\n; end\n",
     "[Config]\n; the type\n# old: Type=3\nType=-1\n; end\n"},
    {"CommentedKeyIsNotTheKey", "[Config]\n;Type=3\n#Type=4\nType=7\n",
     "[Config]\n;Type=3\n#Type=4\nType=-1\n"},
    {"OnlyCommentedKeyGetsRealOneAfterIt", "[Config]\n;Type=3\n\n[Other]\n",
     "[Config]\n;Type=3\nType=-1\n\n[Other]\n"},
    {"LaterSectionOfSameNameUntouched", "[Config]\nName=x\n\n[Config]\nType=7\n",
     "[Config]\nName=x\nType=-1\n\n[Config]\nType=7\n"},
    {"OnlyFirstMatchingKeyReplaced", "[Config]\nType=7\nType=8\n", "[Config]\nType=-1\nType=8\n"},
    {"BlanksAroundNamesIgnoredAndKept", "  [ Config ]  \n  Type  =  7  \n",
     "  [ Config ]  \n  Type  =-1\n"},
    {"TabsAroundKey", "[Config]\n\tType\t=7\n", "[Config]\n\tType\t=-1\n"},
    {"TextAfterSectionBracketIgnored", "[Config] ; main\nType=7\n", "[Config] ; main\nType=-1\n"},
    {"KeyBeforeAnySectionIgnored", "Type=7\n[Other]\nA=1\n",
     "Type=7\n[Other]\nA=1\n[Config]\nType=-1\n"},
    {"SimilarNamesNotMatched", "[Configuration]\nType=7\n[Config]\nTypes=1\nTyp=2\n",
     "[Configuration]\nType=7\n[Config]\nTypes=1\nTyp=2\nType=-1\n"},
    {"KeyInsertedBeforeTrailingBlankLines", "[Config]\nA=1\n\n\n[Next]\nB=2\n",
     "[Config]\nA=1\nType=-1\n\n\n[Next]\nB=2\n"},
    {"EmptyValueReplaced", "[Config]\nType=\n", "[Config]\nType=-1\n"},
    {"ValueHoldingEqualsReplacedWhole", "[Config]\nType=a=b\n", "[Config]\nType=-1\n"},
    {"LineWithoutEqualsIsNotAKey", "[Config]\nType\n", "[Config]\nType\nType=-1\n"},
    {"UnclosedBracketIsNotASection", "[Config\nType=7\n", "[Config\nType=7\n[Config]\nType=-1\n"},
    {"FirstLineEndingSetsTheStyle", "[Other]\nA=1\r\n", "[Other]\nA=1\r\n[Config]\nType=-1\n"},
    {"BytesOutsideAsciiKept", "[Caf\xc3\xa9]\nNom=\xc3\xa9t\xc3\xa9\n[Config]\nType=7\n",
     "[Caf\xc3\xa9]\nNom=\xc3\xa9t\xc3\xa9\n[Config]\nType=-1\n"},
};

class ProfileWrite : public ::testing::TestWithParam<EditCase> {};

TEST_P(ProfileWrite, GivesTheExpectedFile)
{
    ProfileTestDir dir;
    if (GetParam().before != nullptr) {
        ASSERT_TRUE(dir.Put("VESKAN.INI", GetParam().before));
    }
    ASSERT_TRUE(WritePrivateProfileString("Config", "Type", "-1", "VESKAN.INI"));
    EXPECT_EQ(dir.Get("VESKAN.INI"), GetParam().after);
    EXPECT_EQ(dir.Names(), std::vector<std::string> {"VESKAN.INI"});
}

TEST_P(ProfileWrite, TwiceGivesTheSameBytes)
{
    ProfileTestDir dir;
    if (GetParam().before != nullptr) {
        ASSERT_TRUE(dir.Put("VESKAN.INI", GetParam().before));
    }
    ASSERT_TRUE(WritePrivateProfileString("Config", "Type", "-1", "VESKAN.INI"));
    ASSERT_TRUE(WritePrivateProfileString("Config", "Type", "-1", "VESKAN.INI"));
    EXPECT_EQ(dir.Get("VESKAN.INI"), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(Cases, ProfileWrite, ::testing::ValuesIn(SetCases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

// Removing keys and sections is no part of the program's use; checked here so that
// what the service offers works.
struct RemoveCase {
    const char* name;
    const char* key; // nullptr: remove the section
    const char* before;
    const char* after;
};

void PrintTo(const RemoveCase& testCase, std::ostream* out)
{
    *out << testCase.name;
}

const RemoveCase RemoveCases[] = {
    {"KeyLineRemoved", "Type", "[Config]\nA=1\nType=7\nB=2\n", "[Config]\nA=1\nB=2\n"},
    {"LastKeyWithoutLineEnding", "Type", "[Config]\nA=1\nType=7", "[Config]\nA=1\n"},
    {"MissingKeyChangesNothing", "Type", "[Config]\nA=1\n", "[Config]\nA=1\n"},
    {"SectionRemovedUpToNext", nullptr, "[A]\nx=1\n[config]\nType=7\n\n[B]\ny=2\n",
     "[A]\nx=1\n[B]\ny=2\n"},
    {"LastSectionRemoved", nullptr, "[A]\nx=1\n[Config]\nType=7", "[A]\nx=1\n"},
};

class ProfileRemove : public ::testing::TestWithParam<RemoveCase> {};

TEST_P(ProfileRemove, GivesTheExpectedFile)
{
    ProfileTestDir dir;
    ASSERT_TRUE(dir.Put("VESKAN.INI", GetParam().before));
    ASSERT_TRUE(WritePrivateProfileString("Config", GetParam().key, nullptr, "VESKAN.INI"));
    EXPECT_EQ(dir.Get("VESKAN.INI"), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(Cases, ProfileRemove, ::testing::ValuesIn(RemoveCases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(ProfileRemoveWithoutFile, CreatesNoFile)
{
    ProfileTestDir dir;
    EXPECT_TRUE(WritePrivateProfileString("Config", "Type", nullptr, "VESKAN.INI"));
    EXPECT_TRUE(WritePrivateProfileString("Config", nullptr, nullptr, "VESKAN.INI"));
    EXPECT_TRUE(dir.Names().empty());
}

TEST(ProfileFlush, CreatesNoFileAndTouchesNothing)
{
    ProfileTestDir dir;
    FaultyProfileFiles files;
    SetProfileFiles(&files);
    EXPECT_TRUE(WritePrivateProfileString(nullptr, nullptr, nullptr, "VESKAN.INI"));
    EXPECT_TRUE(dir.Names().empty());
    EXPECT_EQ(files.TotalCalls(), 0);
}

TEST(ProfileFlush, LeavesAnExistingFileAsItIs)
{
    ProfileTestDir dir;
    ASSERT_TRUE(dir.Put("VESKAN.INI", "[Config]\r\nType=7"));
    struct stat before {};
    ASSERT_EQ(::stat(dir.PathOf("VESKAN.INI").c_str(), &before), 0);
    EXPECT_TRUE(WritePrivateProfileString(nullptr, nullptr, nullptr, "VESKAN.INI"));
    struct stat after {};
    ASSERT_EQ(::stat(dir.PathOf("VESKAN.INI").c_str(), &after), 0);
    EXPECT_EQ(dir.Get("VESKAN.INI"), "[Config]\r\nType=7");
    EXPECT_EQ(after.st_ino, before.st_ino);
}

TEST(ProfileWriteOfSameValue, LeavesTheFileInPlace)
{
    ProfileTestDir dir;
    ASSERT_TRUE(dir.Put("VESKAN.INI", "[Config]\nType=-1\n"));
    struct stat before {};
    ASSERT_EQ(::stat(dir.PathOf("VESKAN.INI").c_str(), &before), 0);
    EXPECT_TRUE(WritePrivateProfileString("config", "TYPE", "-1", "VESKAN.INI"));
    struct stat after {};
    ASSERT_EQ(::stat(dir.PathOf("VESKAN.INI").c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(dir.Get("VESKAN.INI"), "[Config]\nType=-1\n");
}

TEST(ProfileWrite, KeepsTheOldPermissionBits)
{
    ProfileTestDir dir;
    ASSERT_TRUE(dir.Put("VESKAN.INI", "[Config]\nType=7\n"));
    ASSERT_EQ(::chmod(dir.PathOf("VESKAN.INI").c_str(), 0640), 0);
    ASSERT_TRUE(WritePrivateProfileString("Config", "Type", "-1", "VESKAN.INI"));
    struct stat info {};
    ASSERT_EQ(::stat(dir.PathOf("VESKAN.INI").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0640u);
    EXPECT_EQ(dir.Get("VESKAN.INI"), "[Config]\nType=-1\n");
}

TEST(ProfileWrite, CreatesANewFileWithTheUmaskApplied)
{
    ProfileTestDir dir;
    const mode_t old = ::umask(027);
    const bool written = WritePrivateProfileString("Config", "Type", "-1", "VESKAN.INI");
    ::umask(old);
    ASSERT_TRUE(written);
    struct stat info {};
    ASSERT_EQ(::stat(dir.PathOf("VESKAN.INI").c_str(), &info), 0);
    // 0666 without the group's write bit and the others' bits.
    EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST(ProfileWrite, ReplacesASymbolicLinkAndLeavesItsTargetAlone)
{
    ProfileTestDir dir;
    ASSERT_TRUE(dir.Put("target.ini", "[Config]\nType=7\n"));
    ASSERT_EQ(::symlink(dir.PathOf("target.ini").c_str(), dir.PathOf("VESKAN.INI").c_str()), 0);
    ASSERT_TRUE(WritePrivateProfileString("Config", "Type", "-1", "VESKAN.INI"));
    struct stat info {};
    ASSERT_EQ(::lstat(dir.PathOf("VESKAN.INI").c_str(), &info), 0);
    EXPECT_TRUE(S_ISREG(info.st_mode));
    EXPECT_EQ(dir.Get("VESKAN.INI"), "[Config]\nType=-1\n");
    EXPECT_EQ(dir.Get("target.ini"), "[Config]\nType=7\n");
}

struct BadInput {
    const char* name;
    const char* section;
    const char* key;
    const char* value;
};

void PrintTo(const BadInput& testCase, std::ostream* out)
{
    *out << testCase.name;
}

// Names and values that would change how the file reads are refused at the door.
const BadInput BadInputs[] = {
    {"LineFeedInValue", "Config", "Type", "-1\n[Evil]"},
    {"CarriageReturnInValue", "Config", "Type", "-1\r"},
    {"LineFeedInSection", "Con\nfig", "Type", "-1"},
    {"BracketInSection", "Con]fig", "Type", "-1"},
    {"EqualsInKey", "Config", "Ty=pe", "-1"},
    {"EmptyKey", "Config", "", "-1"},
    {"BlankKey", "Config", "  ", "-1"},
    {"KeyReadingAsSection", "Config", "[Type", "-1"},
    {"KeyReadingAsComment", "Config", ";Type", "-1"},
    {"NoSection", nullptr, "Type", "-1"},
};

class ProfileBadInput : public ::testing::TestWithParam<BadInput> {};

TEST_P(ProfileBadInput, FailsAndLeavesTheFile)
{
    ProfileTestDir dir;
    ASSERT_TRUE(dir.Put("VESKAN.INI", "[Config]\nType=7\n"));
    EXPECT_FALSE(WritePrivateProfileString(GetParam().section, GetParam().key, GetParam().value,
                                           "VESKAN.INI"));
    EXPECT_EQ(dir.Get("VESKAN.INI"), "[Config]\nType=7\n");
    EXPECT_EQ(dir.Names(), std::vector<std::string> {"VESKAN.INI"});
}

INSTANTIATE_TEST_SUITE_P(Cases, ProfileBadInput, ::testing::ValuesIn(BadInputs),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(ProfileBadInput, EmptyFileNameFails)
{
    ProfileTestDir dir;
    EXPECT_FALSE(WritePrivateProfileString("Config", "Type", "-1", ""));
    EXPECT_TRUE(dir.Names().empty());
}

TEST(ProfilePath, BareNameLiesInTheSystemDirectory)
{
    ProfileTestDir dir;
    EXPECT_EQ(ResolveProfilePath("VESKAN.INI"), dir.Path().string() + "/VESKAN.INI");
    SetSystemDirectory("/some/dir/");
    EXPECT_EQ(ResolveProfilePath("VESKAN.INI"), "/some/dir/VESKAN.INI");
}

TEST(ProfilePath, NameWithSlashIsUsedAsItIs)
{
    ProfileTestDir dir;
    EXPECT_EQ(ResolveProfilePath("/elsewhere/VESKAN.INI"), "/elsewhere/VESKAN.INI");
    EXPECT_EQ(ResolveProfilePath("sub/VESKAN.INI"), "sub/VESKAN.INI");
    ASSERT_TRUE(WritePrivateProfileString("Config", "Type", "-1", dir.PathOf("OTHER.INI")));
    EXPECT_EQ(dir.Get("OTHER.INI"), "[Config]\nType=-1\n");
}

TEST(ProfilePath, EmptyOverrideRestoresTheBuildDirectory)
{
    ProfileTestDir dir;
    EXPECT_EQ(SystemDirectory(), dir.Path().string());
    SetSystemDirectory("");
    EXPECT_EQ(SystemDirectory(), std::string(VESKAN_EXPECTED_SYSTEM_DIR));
    EXPECT_EQ(std::string(DefaultSystemDirectory()), VESKAN_EXPECTED_SYSTEM_DIR);
}

} // namespace
