// The system directory on Windows: the Windows directory, as the system reports it.
// Built into `profile_sysdir` by the Windows build.
#include <windows.h>

#include "platform/profile/SystemDirectory.h"

const char* DefaultSystemDirectory()
{
    // Asked once; the Windows directory does not move while a program runs. Empty
    // when the system cannot say, and then bare names are left to the system.
    static const std::string directory = [] {
        char path[MAX_PATH + 1] {};
        const UINT length = ::GetWindowsDirectoryA(path, sizeof path);
        return length > 0 && length < sizeof path ? std::string(path, length) : std::string();
    }();
    return directory.c_str();
}
