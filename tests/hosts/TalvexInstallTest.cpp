// What cmake --install puts where the hosts and the desktop look: talvex in the hosts'
// own folder of display programs, its description for xscreensaver's settings
// program, its desktop savers' entry, and the icon in the hicolor theme, named by
// theme name in every desktop entry.
#include "support/ReadAll.h"
#include "support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

#ifndef CMAKE_COMMAND
#error "CMAKE_COMMAND must name cmake"
#endif

namespace fs = std::filesystem;

namespace {

// Width and height from a PNG's header chunk, which follows the 8-byte signature:
// length, "IHDR", then both as 32-bit big-endian numbers.
bool PngSize(const std::string& bytes, int& width, int& height)
{
    if (bytes.size() < 24 || bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0 || bytes.compare(12, 4, "IHDR") != 0)
        return false;
    const auto be32 = [&](std::size_t at) {
        return (static_cast<unsigned char>(bytes[at]) << 24) | (static_cast<unsigned char>(bytes[at + 1]) << 16) |
               (static_cast<unsigned char>(bytes[at + 2]) << 8) | static_cast<unsigned char>(bytes[at + 3]);
    };
    width = be32(16);
    height = be32(20);
    return true;
}

bool HasLine(const std::string& text, const std::string& line)
{
    return ("\n" + text).find("\n" + line + "\n") != std::string::npos;
}

// The install of talvex's and the program's folders, into a temporary folder given
// as DESTDIR (an absolute folder such as the shared settings' lands inside it too),
// through their own install scripts: the build's top one would also write its
// manifest into the build tree.
class Installed : public ::testing::Test {
protected:
    void SetUp() override
    {
        prefix = destination / fs::path(VESKAN_INSTALL_PREFIX).relative_path();
        for (const char* folder : {"hosts", "app"}) {
            const std::string command = "DESTDIR=\"" + destination.Path().string() + "\" \"" + CMAKE_COMMAND +
                                        "\" -P \"" + VESKAN_BINARY_DIR + "/" + folder +
                                        "/cmake_install.cmake\" >/dev/null";
            ASSERT_EQ(std::system(command.c_str()), 0) << command;
        }
    }
    TempFolder destination{"veskan-install"};
    fs::path prefix;
};

TEST_F(Installed, PutsTalvexAndTheIconWhereTheHostsAndTheDesktopFindThem)
{
    EXPECT_EQ(access((prefix / "libexec/xscreensaver/talvex").c_str(), X_OK), 0);

    const std::string description = ReadAll(prefix / "share/xscreensaver/config/talvex.xml");
    EXPECT_NE(description.find("<screensaver name=\"talvex\" _label=\"Talvex\">"), std::string::npos) << description;
    EXPECT_NE(description.find("<command arg=\"--root\"/>"), std::string::npos);
    EXPECT_NE(description.find("<_description>"), std::string::npos);

    const std::string entry = ReadAll(prefix / "share/applications/screensavers/talvex.desktop");
    EXPECT_TRUE(HasLine(entry, "[Desktop Entry]")) << entry;
    EXPECT_TRUE(HasLine(entry, "Exec=talvex --root"));
    EXPECT_TRUE(HasLine(entry, "Categories=Screensaver;"));
    EXPECT_TRUE(HasLine(entry, "Icon=veskan-saver"));

    // The autostart entry users copy names the installed program by its full path.
    const std::string autostart = ReadAll(prefix / "share/talvex/talvex-idle.desktop");
    EXPECT_TRUE(HasLine(autostart, std::string("Exec=") + VESKAN_INSTALL_PREFIX + "/libexec/xscreensaver/talvex --idle 5"))
        << autostart;

    // The icon in the hicolor theme, which the entries name by theme name.
    for (const int size : {32, 256}) {
        const std::string dir = std::to_string(size) + "x" + std::to_string(size);
        int width = 0, height = 0;
        ASSERT_TRUE(PngSize(ReadAll(prefix / "share/icons/hicolor" / dir / "apps/veskan-saver.png"), width, height))
            << dir;
        EXPECT_EQ(width, size);
        EXPECT_EQ(height, size);
    }
#if VESKAN_HAVE_PROJECT1
    const std::string program = ReadAll(prefix / "share/applications/veskan-saver.desktop");
    EXPECT_TRUE(HasLine(program, "Icon=veskan-saver")) << program;
#endif
}

} // namespace
