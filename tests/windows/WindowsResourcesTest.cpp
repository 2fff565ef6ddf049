// The program's resources as Windows reads them from the module: the icon MAINICON,
// the one image of assets/MAINICON.ico, and the version information.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

// An icon group as stored in the module: a header, then one 14-byte entry per image.
#pragma pack(push, 2)
struct GroupIconEntry {
    BYTE width;
    BYTE height;
    BYTE colourCount;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytes;
    WORD id;
};
struct GroupIconHeader {
    WORD reserved;
    WORD type;
    WORD count;
};
#pragma pack(pop)

std::vector<std::uint8_t> ReadAsset(const char* name)
{
    std::ifstream in(std::string(VESKAN_SOURCE_DIR) + "/assets/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::uint32_t U32At(const std::vector<std::uint8_t>& bytes, std::size_t at)
{
    return bytes.at(at) | bytes.at(at + 1) << 8 | bytes.at(at + 2) << 16 | static_cast<std::uint32_t>(bytes.at(at + 3)) << 24;
}

TEST(WindowsResources, MainIconIsTheIconFilesOneImage)
{
    const HRSRC group = ::FindResourceA(nullptr, "MAINICON", RT_GROUP_ICON);
    ASSERT_NE(group, nullptr);
    const auto* header = static_cast<const GroupIconHeader*>(::LockResource(::LoadResource(nullptr, group)));
    ASSERT_NE(header, nullptr);
    ASSERT_EQ(header->count, 1);
    GroupIconEntry entry;
    std::memcpy(&entry, header + 1, sizeof entry);
    EXPECT_EQ(entry.width, 32);
    EXPECT_EQ(entry.height, 32);
    EXPECT_EQ(entry.colourCount, 16);

    // The image is the file's own: ICONDIR (6 bytes), then its one 16-byte entry,
    // whose last two fields are the image's size and offset.
    const std::vector<std::uint8_t> file = ReadAsset("MAINICON.ico");
    ASSERT_GE(file.size(), 22u);
    const std::uint32_t size = U32At(file, 14);
    const std::uint32_t offset = U32At(file, 18);
    ASSERT_LE(std::size_t {offset} + size, file.size());
    const HRSRC image = ::FindResourceA(nullptr, MAKEINTRESOURCEA(entry.id), RT_ICON);
    ASSERT_NE(image, nullptr);
    ASSERT_EQ(::SizeofResource(nullptr, image), size);
    const auto* bytes = static_cast<const std::uint8_t*>(::LockResource(::LoadResource(nullptr, image)));
    EXPECT_TRUE(std::equal(bytes, bytes + size, file.begin() + offset));

    EXPECT_NE(::LoadIconA(::GetModuleHandleA(nullptr), "MAINICON"), nullptr);
}

class WindowsVersionInfo : public ::testing::Test {
protected:
    void SetUp() override
    {
        char path[MAX_PATH + 1] {};
        ASSERT_GT(::GetModuleFileNameA(nullptr, path, MAX_PATH), 0u);
        DWORD ignored = 0;
        const DWORD size = ::GetFileVersionInfoSizeA(path, &ignored);
        ASSERT_GT(size, 0u);
        m_data.resize(size);
        ASSERT_TRUE(::GetFileVersionInfoA(path, 0, size, m_data.data()));
    }

    std::string Value(const std::string& name)
    {
        void* text = nullptr;
        UINT length = 0;
        const std::string query = "\\StringFileInfo\\040904E4\\" + name;
        if (!::VerQueryValueA(m_data.data(), query.c_str(), &text, &length) || length == 0)
            return "<missing>";
        return static_cast<const char*>(text);
    }

    std::vector<char> m_data;
};

// The project's version, two numbers (CMake's project()), as Windows' four.
TEST_F(WindowsVersionInfo, SaysTheProjectsVersionOfTalvexSaver)
{
    void* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueA(m_data.data(), "\\", &fixed, &length));
    ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
    const auto* info = static_cast<const VS_FIXEDFILEINFO*>(fixed);
    EXPECT_EQ(info->dwFileVersionMS, (VESKAN_VERSION_MAJOR << 16u) | VESKAN_VERSION_MINOR);
    EXPECT_EQ(info->dwFileVersionLS, 0u);   // .0.0
    EXPECT_EQ(info->dwFileType, static_cast<DWORD>(VFT_APP));

    const struct {
        const char* name;
        std::string value;
    } strings[] = {
        {"FileDescription", "Talvex Saver"}, {"ProductName", "Talvex Saver"},
        {"FileVersion", VESKAN_VERSION ".0.0"}, {"ProductVersion", VESKAN_VERSION},
        {"InternalName", "Project1"},        {"OriginalFilename", "Project1.scr"},
    };
    for (const auto& string : strings)
        EXPECT_EQ(Value(string.name), string.value) << string.name;
}

} // namespace
