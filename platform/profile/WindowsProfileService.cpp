// The private-profile write service on Windows: the system's own
// WritePrivateProfileStringA, which creates the file, the section or the key as
// needed, keeps every other line, matches names regardless of case, and resolves a
// bare file name into the Windows directory.
#include <windows.h>
// windows.h maps the name to its A or W function; here it names the service below.
#undef WritePrivateProfileString

#include "platform/profile/ProfileService.h"

#include "platform/profile/SystemDirectory.h"

namespace {

ProfileServiceFunction g_serviceOverride = nullptr;

bool IsBareName(const std::string& fileName)
{
    return fileName.find_first_of("\\/:") == std::string::npos;
}

} // namespace

// A bare name in the Windows directory goes to the system as it is: its own rule puts
// it there. Only when a test points bare names at a folder of its own
// (SetSystemDirectory) is the folder put in front.
std::string ResolveProfilePath(const std::string& fileName)
{
    if (!IsBareName(fileName))
        return fileName;
    const std::string directory = SystemDirectory();
    if (directory == DefaultSystemDirectory())
        return fileName;
    const char last = directory.back();
    return last == '\\' || last == '/' ? directory + fileName : directory + "\\" + fileName;
}

void SetProfileService(ProfileServiceFunction service)
{
    g_serviceOverride = service;
}

bool WritePrivateProfileString(const char* section, const char* key, const char* value,
                               const std::string& fileName)
{
    if (g_serviceOverride != nullptr)
        return g_serviceOverride(section, key, value, fileName);
    // With section, key and value all absent this flushes the system's cached copy.
    return ::WritePrivateProfileStringA(section, key, value, ResolveProfilePath(fileName).c_str()) != FALSE;
}
