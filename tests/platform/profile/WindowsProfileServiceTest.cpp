// The settings file as Windows' own profile service writes it, through the profile
// object, in a folder of the test's own that bare names are pointed at; and where a
// bare name goes when they are not.
#include "platform/profile/TIniFile.h"

#include "ProfileTestDir.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>

namespace {

void SaveTypeMinusOne()
{
    TIniFile ini("VESKAN.INI");
    ini.WriteInteger("Config", "Type", -1);
}

struct SettingsCase {
    const char* name;
    std::optional<std::string> before; // nothing: no file
    std::string after;
};

void PrintTo(const SettingsCase& testCase, std::ostream* out)
{
    *out << testCase.name;
}

// What Windows' profile service makes of each file: lines end in CR LF, the key's
// value is replaced in place, names match regardless of case.
const SettingsCase SettingsCases[] = {
    {"NoFile", std::nullopt, "[Config]\r\nType=-1\r\n"},
    {"TypeSevenOthersKept", "[Other]\r\nA=1\r\n[Config]\r\nType=7\r\nB=2\r\n",
     "[Other]\r\nA=1\r\n[Config]\r\nType=-1\r\nB=2\r\n"},
    {"LowerCaseSectionReused", "[config]\r\ntype=7\r\n", "[config]\r\ntype=-1\r\n"},
    {"OtherSectionOnly", "[Other]\r\nA=1\r\n", "[Other]\r\nA=1\r\n[Config]\r\nType=-1\r\n"},
};

class WindowsSettingsFile : public ::testing::TestWithParam<SettingsCase> {};

TEST_P(WindowsSettingsFile, SaveWritesTypeMinusOne)
{
    ProfileTestDir dir;
    if (GetParam().before) {
        ASSERT_TRUE(dir.Put("VESKAN.INI", *GetParam().before));
    }
    SaveTypeMinusOne();
    EXPECT_EQ(dir.Get("VESKAN.INI"), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(Cases, WindowsSettingsFile, ::testing::ValuesIn(SettingsCases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

// A folder that is missing, and a folder where the file should be: the write fails
// with the message, and nothing is made.
TEST(WindowsSettingsFailure, RaisesWithTheBareName)
{
    for (const bool folderInTheWay : {false, true}) {
        SCOPED_TRACE(folderInTheWay ? "a folder in the file's place" : "a missing folder");
        ProfileTestDir dir;
        if (folderInTheWay)
            std::filesystem::create_directory(dir.PathOf("VESKAN.INI"));
        else
            SetSystemDirectory(dir.PathOf("missing"));
        try {
            SaveTypeMinusOne();
            ADD_FAILURE() << "no error raised";
        } catch (const EIniFileException& error) {
            EXPECT_STREQ(error.what(), "Unable to write to VESKAN.INI");
        }
        EXPECT_EQ(std::filesystem::is_directory(dir.PathOf("VESKAN.INI")), folderInTheWay);
        EXPECT_FALSE(std::filesystem::exists(dir.PathOf("missing")));
    }
}

// A bare name reaches the system bare, and the system puts it in the Windows directory;
// a folder of a test's own is put in front; a path stays as it is.
TEST(WindowsProfilePath, BareNameIsLeftToTheSystem)
{
    char windows[MAX_PATH + 1] {};
    ASSERT_GT(::GetWindowsDirectoryA(windows, sizeof windows), 0u);
    EXPECT_EQ(std::string(DefaultSystemDirectory()), windows);
    EXPECT_EQ(ResolveProfilePath("VESKAN.INI"), "VESKAN.INI");

    SetSystemDirectory("C:\\some\\dir");
    EXPECT_EQ(ResolveProfilePath("VESKAN.INI"), "C:\\some\\dir\\VESKAN.INI");
    EXPECT_EQ(ResolveProfilePath("D:\\elsewhere\\VESKAN.INI"), "D:\\elsewhere\\VESKAN.INI");
    EXPECT_EQ(ResolveProfilePath("sub/VESKAN.INI"), "sub/VESKAN.INI");
    SetSystemDirectory("");
}

} // namespace
