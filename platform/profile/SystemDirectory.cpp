// The system directory override and the choice between it and the build's directory.
#include "platform/profile/SystemDirectory.h"

#include <climits>
#include <unistd.h>
#include <utility>

namespace {

// Empty while no override is set.
std::string g_systemDirectoryOverride;

// The directory of the running program's file, links resolved; empty when it cannot
// be read.
std::string ProgramDirectory()
{
    char path[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", path, sizeof path);
    if (length <= 0 || length >= static_cast<ssize_t>(sizeof path))
        return {};
    const std::string program(path, static_cast<std::size_t>(length));
    const std::size_t slash = program.rfind('/');
    return slash == std::string::npos || slash == 0 ? std::string("/") : program.substr(0, slash);
}

} // namespace

std::string SystemDirectory()
{
    if (!g_systemDirectoryOverride.empty())
        return g_systemDirectoryOverride;
    const std::string directory = DefaultSystemDirectory();
    if (directory.empty() || directory.front() == '/')
        return directory;
    // A relative directory lies beside the program file (the build tree's program
    // keeps its settings there, wherever the tree is).
    const std::string program = ProgramDirectory();
    return program.empty() ? std::string() : program + "/" + directory;
}

void SetSystemDirectory(std::string directory)
{
    g_systemDirectoryOverride = std::move(directory);
}
