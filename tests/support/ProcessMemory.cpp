// Memory figures of a process: VmRSS and others from /proc, live heap bytes from the allocator.
#include "support/ProcessMemory.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

#ifdef VESKAN_SOAK_ASAN
// The sanitizer runtime's count of live heap bytes. Declared here: GCC ships the
// runtime but not its interface headers.
extern "C" std::size_t __sanitizer_get_current_allocated_bytes();
#else
#include <malloc.h>
#endif

long ResidentKiB(pid_t pid)
{
    return StatusKiB(pid, "VmRSS");
}

long StatusKiB(pid_t pid, const char* field)
{
    char path[64];
    if (pid == 0)
        std::snprintf(path, sizeof path, "/proc/self/status");
    else
        std::snprintf(path, sizeof path, "/proc/%d/status", static_cast<int>(pid));
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    // The status file is about 1.5 KiB.
    char text[8192];
    std::size_t length = 0;
    while (length + 1 < sizeof text) {
        const ssize_t got = ::read(fd, text + length, sizeof text - 1 - length);
        if (got <= 0)
            break;
        length += static_cast<std::size_t>(got);
    }
    ::close(fd);
    text[length] = '\0';
    // "\nVmRSS:\t   12345 kB"
    char name[32];
    std::snprintf(name, sizeof name, "\n%s:", field);
    const char* line = std::strstr(text, name);
    if (line == nullptr)
        return -1;
    return std::strtol(line + std::strlen(name), nullptr, 10);
}

std::size_t LiveHeapBytes()
{
#ifdef VESKAN_SOAK_ASAN
    return __sanitizer_get_current_allocated_bytes();
#else
    const struct mallinfo2 info = ::mallinfo2();
    return info.uordblks + info.hblkhd;
#endif
}
