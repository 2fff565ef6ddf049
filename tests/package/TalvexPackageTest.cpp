// The Debian package talvex-saver as people install it: into this machine (the one
// test that may), its files where the hosts, man and the desktop find them, both
// hosts running the installed talvex by name, the dialog writing the shared file as
// a user without privileges, and remove and purge. Also: cmake --install with the
// prefix /usr lays out the same files as the package.
#include "support/ScreenSaverHosts.h"
#include "support/SceneOnScreen.h"
#include "support/XServer.h"
#include "support/ReadAll.h"
#include "support/TempFolder.h"
#include "support/Unprivileged.h"
#include "support/WaitUntil.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <set>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

#ifndef VESKAN_SYSTEM_DIR
#error "VESKAN_SYSTEM_DIR must name the build's shared settings folder"
#endif
#ifndef PACKAGE_DIR
#error "PACKAGE_DIR must name the folder tools/build-deb built the package in"
#endif

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

const fs::path Talvex = "/usr/libexec/xscreensaver/talvex";
const fs::path Project1 = "/usr/bin/Project1";
const fs::path Shared = "/var/lib/veskan";

// The package's file: the one talvex-saver_*.deb in the folder.
fs::path PackageFile()
{
    for (const auto& entry : fs::directory_iterator(PACKAGE_DIR))
        if (entry.path().filename().string().starts_with("talvex-saver_") && entry.path().extension() == ".deb")
            return entry.path();
    return {};
}

std::string Output(const std::string& command)
{
    std::string output;
    if (FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r")) {
        char buffer[256];
        while (std::fgets(buffer, sizeof buffer, pipe))
            output += buffer;
        pclose(pipe);
    }
    return output;
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        if (!line.empty())
            lines.push_back(line);
    return lines;
}

// Runs an administrator's command: as it is under root, through sudo otherwise.
// Runs a command as root (through sudo when not root); what it says goes to the test's
// output when it fails.
int AsRoot(const std::string& command)
{
    const TempFolder folder{"talvex-package-root"};
    const std::string log = (folder / "output").string();
    const std::string line = "env DEBIAN_FRONTEND=noninteractive " + std::string(RunningAsRoot() ? "" : "sudo -n ") +
                             command + " >" + log + " 2>&1";
    const int status = std::system(line.c_str());
    if (status != 0)
        std::fprintf(stderr, "%s failed (%d):\n%s\n", command.c_str(), status, ReadAll(log).c_str());
    return status;
}

// apt-get as root. It waits up to five minutes for the package manager's lock, which
// automatic updates or another apt may hold.
int Apt(const std::string& arguments)
{
    return AsRoot("apt-get -o DPkg::Lock::Timeout=300 " + arguments);
}

bool Installed()
{
    return Output("dpkg-query -W -f='${Status}' talvex-saver") == "install ok installed";
}

std::string Mode(const fs::path& path)
{
    struct stat info {};
    if (::lstat(path.c_str(), &info) != 0)
        return "missing";
    std::ostringstream out;
    out << (S_ISDIR(info.st_mode) ? "d" : S_ISREG(info.st_mode) ? "f" : "?") << std::oct << (info.st_mode & 07777)
        << " " << info.st_uid << ":" << info.st_gid;
    return out.str();
}

// Runs its function when it goes out of scope.
struct EndOfScope {
    std::function<void()> end;
    ~EndOfScope() { end(); }
};

// The end of a long log, for a failure's message.
std::string Tail(const std::string& text)
{
    return text.size() > 1500 ? "..." + text.substr(text.size() - 1500) : text;
}

class TalvexSaverPackage : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        // A package left by an earlier run goes first, with its settings.
        if (Installed()) {
            ASSERT_EQ(Apt("purge -y talvex-saver"), 0);
        }
        ASSERT_FALSE(fs::exists(Shared)) << Shared << " exists before the install";
        ASSERT_FALSE(PackageFile().empty()) << "no package in " << PACKAGE_DIR;
        ASSERT_EQ(Apt("install -y " + PackageFile().string()), 0);
        listed = Lines(Output("dpkg -L talvex-saver"));
    }
    static void TearDownTestSuite()
    {
        if (Installed())
            Apt("purge -y talvex-saver");
    }
    void SetUp() override { ASSERT_TRUE(Installed()) << "talvex-saver is not installed"; }

    static inline std::vector<std::string> listed;
};

TEST_F(TalvexSaverPackage, PutsItsFilesWhereTheHostsManAndTheDesktopFindThem)
{
    const std::pair<fs::path, std::string> files[] = {
        {Project1, "f755 0:0"},
        {Talvex, "f755 0:0"},
        {"/usr/share/xscreensaver/config/talvex.xml", "f644 0:0"},
        {"/usr/share/applications/screensavers/talvex.desktop", "f644 0:0"},
        {"/usr/share/applications/veskan-saver.desktop", "f644 0:0"},
        {"/usr/share/talvex/talvex-idle.desktop", "f644 0:0"},
        {"/usr/share/icons/hicolor/32x32/apps/veskan-saver.png", "f644 0:0"},
        {"/usr/share/icons/hicolor/256x256/apps/veskan-saver.png", "f644 0:0"},
        {"/usr/share/doc/talvex-saver/copyright", "f644 0:0"},
        {"/usr/share/doc/talvex-saver/changelog.Debian.gz", "f644 0:0"},
        // The shared settings, which the maintainer scripts make.
        {Shared, "d755 0:0"},
        {Shared / "VESKAN.INI", "f666 0:0"},
    };
    for (const auto& [path, mode] : files)
        EXPECT_EQ(Mode(path), mode) << path;
    EXPECT_EQ(fs::file_size(Shared / "VESKAN.INI"), 0u);
    for (const char* page : {"talvex", "Project1"})
        EXPECT_EQ(Output(std::string("man -w ") + page), "/usr/share/man/man6/" + std::string(page) + ".6.gz\n");
    EXPECT_NE(ReadAll("/usr/share/applications/veskan-saver.desktop").find("\nExec=/usr/bin/Project1\n"),
              std::string::npos);
    EXPECT_NE(ReadAll("/usr/share/talvex/talvex-idle.desktop").find("\nExec=" + Talvex.string() + " --idle 5\n"),
              std::string::npos);
}

// The daemon finds the program by name in its own folder: "talvex --root".
TEST_F(TalvexSaverPackage, TheXscreensaverDaemonRunsTalvexByName)
{
    const XServer server{XServerSetup{"1280x1024x24", true}};
    ASSERT_TRUE(server.Started()) << "Xvfb did not start";
    const TempFolder home{"talvex-package-home"};
    const UserIds user = UnprivilegedUser();
    ASSERT_EQ(::chown(home.Path().c_str(), user.uid, user.gid), 0);
    ExpectXscreensaverRunsTalvex(server, home.Path(), "talvex --root", Talvex,
                                 [&] { return WaitForFirstCycleFrame(server, 0, 0, 1280, 1024); });
}

// MATE's saver, in a D-Bus session of the unprivileged user, set to show Talvex
// alone and not to lock.
TEST_F(TalvexSaverPackage, TheMateSaverShowsTheFirstFrameAndDeactivateEndsTalvex)
{
    const XServer server{XServerSetup{"1280x1024x24", true}};
    ASSERT_TRUE(server.Started()) << "Xvfb did not start";
    const TempFolder home{"talvex-package-mate"};
    const UserIds user = UnprivilegedUser();
    ASSERT_EQ(::chown(home.Path().c_str(), user.uid, user.gid), 0);
    const std::string session = "echo \"$DBUS_SESSION_BUS_ADDRESS\" >\"$HOME/bus\" &&"
                                " gsettings set org.mate.screensaver mode single &&"
                                " gsettings set org.mate.screensaver themes \"['screensavers-talvex']\" &&"
                                " gsettings set org.mate.screensaver lock-enabled false &&"
                                " exec mate-screensaver --no-daemon --debug";
    const ProgramSetup setup{{"HOME=" + home.Path().string(), "NO_AT_BRIDGE=1", "XDG_RUNTIME_DIR"}, true, true};
    Program bus(server, "dbus-run-session", {"--", "sh", "-c", session}, setup);
    std::string address;
    ASSERT_TRUE(WaitUntil([&] { return !(address = home.Get("bus").value_or("")).empty(); }, 10s, 50ms))
        << Tail(bus.Errors());
    const std::string command = AsUnprivilegedUser() + "env HOME=" + home.Path().string() +
                                " DBUS_SESSION_BUS_ADDRESS=" + address.substr(0, address.find('\n')) +
                                " mate-screensaver-command ";
    // The saver ends on every path, and dbus-run-session with it ends its bus and the
    // bus's services; killing dbus-run-session instead would leave them running.
    const EndOfScope endSession{[&] {
        server.Run(command + "--exit");
        int status = -1;
        bus.WaitForExit(status, 5s);
    }};
    ASSERT_TRUE(WaitUntil([&] { return server.Run(command + "--query") == 0; }, 10s, 100ms)) << Tail(bus.Errors());

    ASSERT_EQ(server.Run(command + "--activate"), 0);
    EXPECT_TRUE(WaitForFirstCycleFrame(server, 0, 0, 1280, 1024)) << "not the first frame";
    const pid_t talvex = FindProcessOf(Talvex);
    ASSERT_NE(talvex, 0) << "the saver did not run talvex: " << Tail(bus.Errors());

    ASSERT_EQ(server.Run(command + "--deactivate"), 0);
    EXPECT_TRUE(WaitUntil([&] { return ProcessState(talvex) == 0 || ProcessState(talvex) == 'Z'; }, 3s))
        << "talvex still runs after --deactivate";
    server.Run(command + "--exit");
    int status = -1;
    EXPECT_TRUE(bus.WaitForExit(status, 5s)) << "the session did not end";
}

// The installed dialog's OK, clicked by a user without privileges, writes the one
// shared file, which stays root's and open to every user.
TEST_F(TalvexSaverPackage, OkAsAUserWithoutPrivilegesWritesTheSharedFile)
{
    const XServer server{XServerSetup{"1280x1024x24", true}};
    ASSERT_TRUE(server.Started()) << "Xvfb did not start";
    const TempFolder home{"talvex-package-dialog"};
    const UserIds user = UnprivilegedUser();
    ASSERT_EQ(::chown(home.Path().c_str(), user.uid, user.gid), 0);
    Program dialog(server, Project1.string(), {}, ProgramSetup{{"HOME=" + home.Path().string()}, true, true});
    const std::string window = server.WaitForWindow(dialog.Pid(), "Configuration");
    ASSERT_FALSE(window.empty()) << dialog.Errors();
    const ScreenBox r = Geometry(server, window);
    ASSERT_EQ(server.Run("xdotool mousemove " + std::to_string(r.x + 45) + " " + std::to_string(r.y + 52) +
                         " click 1"),
              0);
    int status = -1;
    ASSERT_TRUE(dialog.WaitForExit(status, 5s)) << "OK did not end the program";
    EXPECT_EQ(status, 0) << dialog.Errors();
    EXPECT_EQ(ReadAll(Shared / "VESKAN.INI"), "[Config]\nType=-1\n");
    EXPECT_EQ(Mode(Shared / "VESKAN.INI"), "f666 0:0");
}

// Reinstalling and removing keep the shared file as it is; purging leaves nothing of
// the package: no file it listed, no folder only it had, no shared settings.
TEST_F(TalvexSaverPackage, RemoveKeepsTheSharedFileAndPurgeRemovesEverything)
{
    const std::string text = "; kept\n[Config]\nType=-1\n";
    ASSERT_EQ(AsRoot("sh -c \"printf '; kept\\n[Config]\\nType=-1\\n' >" + (Shared / "VESKAN.INI").string() + "\""),
              0);
    ASSERT_EQ(Apt("install -y --reinstall " + PackageFile().string()), 0);
    EXPECT_EQ(ReadAll(Shared / "VESKAN.INI"), text) << "a reinstall changed the file";
    ASSERT_EQ(Apt("remove -y talvex-saver"), 0);
    EXPECT_FALSE(fs::exists(Talvex));
    EXPECT_EQ(ReadAll(Shared / "VESKAN.INI"), text) << "remove changed the file";
    EXPECT_EQ(Mode(Shared / "VESKAN.INI"), "f666 0:0");
    ASSERT_EQ(Apt("install -y " + PackageFile().string()), 0);
    EXPECT_EQ(ReadAll(Shared / "VESKAN.INI"), text) << "installing again changed the file";

    ASSERT_EQ(Apt("purge -y talvex-saver"), 0);
    ASSERT_GT(listed.size(), 10u);
    for (const std::string& path : listed) {
        if (path == "/." || !fs::exists(path))
            continue;
        // A folder that another package also lists stays.
        EXPECT_TRUE(fs::is_directory(path) && !Output("dpkg -S '" + path + "'").empty()) << path << " was left";
    }
    EXPECT_FALSE(fs::exists(Shared)) << "purge left " << Shared;
}

// The package's files against cmake --install of this build with the prefix /usr,
// both without what only one of them has: the package's copyright, changelog and
// lintian overrides, and the shared settings folder, which the package's maintainer
// scripts make. Debian compresses the manual pages.
TEST(CmakeInstall, WithThePrefixUsrLaysOutTheSameFilesAsThePackage)
{
    ASSERT_FALSE(PackageFile().empty()) << "no package in " << PACKAGE_DIR;
    std::set<std::string> packaged;
    for (std::string line : Lines(Output("dpkg-deb -c " + PackageFile().string()))) {
        if (line.front() == 'd')
            continue;
        std::string path = line.substr(line.find("./") + 1);
        if (path.starts_with("/usr/share/doc/") || path.starts_with("/usr/share/lintian/"))
            continue;
        if (path.starts_with("/usr/share/man/") && path.ends_with(".gz"))
            path.resize(path.size() - 3);
        packaged.insert(path);
    }
    const TempFolder destination{"veskan-install-usr"};
    std::set<std::string> installed;
    for (const char* folder : {"hosts", "app"}) {
        const std::string command = "DESTDIR=" + destination.Path().string() + " cmake -DCMAKE_INSTALL_PREFIX=/usr -P " +
                                    VESKAN_BINARY_DIR + "/" + folder + "/cmake_install.cmake >/dev/null";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }
    for (const auto& entry : fs::recursive_directory_iterator(destination.Path())) {
        const std::string path = "/" + fs::relative(entry.path(), destination.Path()).string();
        if (!entry.is_directory() && !path.starts_with(VESKAN_SYSTEM_DIR))
            installed.insert(path);
    }
    EXPECT_EQ(packaged.count("/usr/libexec/xscreensaver/talvex"), 1u) << "the package listing was not read";
    EXPECT_EQ(installed, packaged);
}

} // namespace
