// Memory figures of a process for the soak tests: resident pages as the kernel counts
// them, and the bytes the heap has handed out and not yet had back.
#pragma once

#include <cstddef>
#include <sys/types.h>

// Defined in a build with AddressSanitizer (GCC says so one way, clang another).
#if defined(__SANITIZE_ADDRESS__)
#define VESKAN_SOAK_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VESKAN_SOAK_ASAN 1
#endif
#endif

// VmRSS of /proc/PID/status in KiB (pid 0: this process); -1 when it cannot be read
// (the process has gone). Reads into a stack buffer: sampling allocates nothing, so it
// does not disturb the heap it measures.
long ResidentKiB(pid_t pid = 0);
// Any kB field of the same file, such as RssShmem; -1 when it cannot be read.
long StatusKiB(pid_t pid, const char* field);

// The bytes of live heap blocks in this process: the sanitizer allocator's count in a
// sanitizer build (its quarantine of freed blocks is not live), glibc's in-use and
// mapped bytes otherwise.
std::size_t LiveHeapBytes();

// True in a build with AddressSanitizer.
constexpr bool SanitizedBuild()
{
#ifdef VESKAN_SOAK_ASAN
    return true;
#else
    return false;
#endif
}
