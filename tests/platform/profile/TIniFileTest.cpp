// The profile object: what it asks of the profile service, what it raises, and that
// it flushes on every path out.
#include "platform/profile/TIniFile.h"

#include "platform/profile/ProfileService.h"

#ifndef _WIN32
// The cases on disk run the Linux service; Windows' has WindowsProfileServiceTest.
#include "FaultyProfileFiles.h"
#include "ProfileTestDir.h"
#endif

#include <gtest/gtest.h>

#include <climits>
#include <ostream>
#include <string>
#include <vector>

namespace {

// One call the profile service received; "<null>" stands for an absent argument.
struct ServiceCall {
    std::string section;
    std::string key;
    std::string value;
    std::string fileName;
    bool operator==(const ServiceCall&) const = default;
};

std::vector<ServiceCall> g_calls;
bool g_writesSucceed = true;
bool g_flushSucceeds = true;

std::string OrNull(const char* text)
{
    return text != nullptr ? text : "<null>";
}

bool RecordingService(const char* section, const char* key, const char* value, const std::string& fileName)
{
    g_calls.push_back({OrNull(section), OrNull(key), OrNull(value), fileName});
    const bool flush = section == nullptr && key == nullptr && value == nullptr;
    return flush ? g_flushSucceeds : g_writesSucceed;
}

class TIniFileCalls : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_calls.clear();
        g_writesSucceed = true;
        g_flushSucceeds = true;
        SetProfileService(&RecordingService);
    }
    void TearDown() override { SetProfileService(nullptr); }
};

const ServiceCall Flush {"<null>", "<null>", "<null>", "VESKAN.INI"};

TEST_F(TIniFileCalls, WritesThenFlushesWhenReleased)
{
    {
        TIniFile ini("VESKAN.INI");
        EXPECT_EQ(ini.FileName(), "VESKAN.INI");
        ini.WriteInteger("Config", "Type", -1);
        EXPECT_EQ(g_calls, (std::vector<ServiceCall> {{"Config", "Type", "-1", "VESKAN.INI"}}));
    }
    EXPECT_EQ(g_calls, (std::vector<ServiceCall> {{"Config", "Type", "-1", "VESKAN.INI"}, Flush}));
}

TEST_F(TIniFileCalls, FlushesWhenTheWriteThrows)
{
    g_writesSucceed = false;
    std::string message;
    try {
        TIniFile ini("VESKAN.INI");
        ini.WriteInteger("Config", "Type", -1);
    } catch (const EIniFileException& error) {
        message = error.what();
        // The object is gone by the time the handler runs.
        EXPECT_EQ(g_calls.size(), 2u);
    }
    EXPECT_EQ(message, "Unable to write to VESKAN.INI");
    EXPECT_EQ(g_calls, (std::vector<ServiceCall> {{"Config", "Type", "-1", "VESKAN.INI"}, Flush}));
}

TEST_F(TIniFileCalls, IgnoresAFailedFlush)
{
    g_flushSucceeds = false;
    {
        TIniFile ini("VESKAN.INI");
        ini.WriteString("Config", "Type", "-1");
    }
    EXPECT_EQ(g_calls.size(), 2u);
}

TEST_F(TIniFileCalls, NamesTheBareFileInTheMessage)
{
    g_writesSucceed = false;
    TIniFile ini("OTHER.INI");
    try {
        ini.WriteString("Config", "Type", "x");
        ADD_FAILURE() << "no error raised";
    } catch (const Exception& error) {
        EXPECT_STREQ(error.what(), "Unable to write to OTHER.INI");
        EXPECT_STREQ(error.ClassName(), "EIniFileException");
    }
}

TEST_F(TIniFileCalls, NamesWithANulByteFailWithoutWriting)
{
    using namespace std::string_literals;
    const std::vector<std::vector<std::string>> writes = {
        {"Con\0fig"s, "Type", "-1"}, {"Config", "Ty\0pe"s, "-1"}, {"Config", "Type", "-\0" "1"s}};
    for (const auto& w : writes) {
        g_calls.clear();
        {
            TIniFile ini("VESKAN.INI");
            EXPECT_THROW(ini.WriteString(w[0], w[1], w[2]), EIniFileException);
        }
        // Only the release's flush reached the service.
        EXPECT_EQ(g_calls, (std::vector<ServiceCall> {Flush}));
    }
}

TEST_F(TIniFileCalls, ReleasedUnusedOnlyFlushes)
{
    {
        TIniFile ini("VESKAN.INI");
    }
    EXPECT_EQ(g_calls, std::vector<ServiceCall> {Flush});
}

#ifndef _WIN32
struct Formatting {
    const char* name;
    int value;
    const char* text;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const Formatting& testCase, std::ostream* out)
{
    *out << testCase.name;
}

const Formatting Formats[] = {
    {"Zero", 0, "0"},
    {"Seven", 7, "7"},
    {"MinusOne", -1, "-1"},
    {"Ten", 10, "10"},
    {"MinusHundred", -100, "-100"},
    {"Smallest", INT_MIN, "-2147483648"},
    {"Largest", INT_MAX, "2147483647"},
};

class TIniFileInteger : public ::testing::TestWithParam<Formatting> {};

TEST_P(TIniFileInteger, IsWrittenInDecimal)
{
    ProfileTestDir dir;
    {
        TIniFile ini("VESKAN.INI");
        ini.WriteInteger("Config", "Type", GetParam().value);
    }
    EXPECT_EQ(dir.Get("VESKAN.INI"), std::string("[Config]\nType=") + GetParam().text + "\n");
}

INSTANTIATE_TEST_SUITE_P(Values, TIniFileInteger, ::testing::ValuesIn(Formats),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

// The real service under a failing rename: the write throws, the old file stays, and
// releasing the object afterwards (its flush) touches no file.
TEST(TIniFileOnDisk, FailedRenameThrowsAndReleaseTouchesNothing)
{
    ProfileTestDir dir;
    ASSERT_TRUE(dir.Put("VESKAN.INI", "[Config]\nType=7\n"));
    FaultyProfileFiles files;
    files.failAt = FileStep::Rename;
    SetProfileFiles(&files);
    int callsBeforeRelease = -1;
    try {
        TIniFile ini("VESKAN.INI");
        struct CountOnUnwind {
            FaultyProfileFiles& files;
            int& count;
            ~CountOnUnwind() { count = files.TotalCalls(); }
        } counter {files, callsBeforeRelease};
        ini.WriteInteger("Config", "Type", -1);
        ADD_FAILURE() << "no error raised";
    } catch (const EIniFileException& error) {
        EXPECT_STREQ(error.what(), "Unable to write to VESKAN.INI");
    }
    EXPECT_EQ(files.TotalCalls(), callsBeforeRelease);
    EXPECT_EQ(dir.Get("VESKAN.INI"), "[Config]\nType=7\n");
    EXPECT_EQ(dir.Names(), std::vector<std::string> {"VESKAN.INI"});
}

#endif

} // namespace
