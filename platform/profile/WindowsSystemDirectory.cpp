// The system directory on Windows: the override of a test, else the Windows
// directory (DefaultSystemDirectory, from `profile_sysdir`).
#include "platform/profile/SystemDirectory.h"

#include <utility>

namespace {

// Empty while no override is set.
std::string g_systemDirectoryOverride;

} // namespace

std::string SystemDirectory()
{
    if (!g_systemDirectoryOverride.empty())
        return g_systemDirectoryOverride;
    return DefaultSystemDirectory();
}

void SetSystemDirectory(std::string directory)
{
    g_systemDirectoryOverride = std::move(directory);
}
