// The screen form's stored picture blocks, linked in from the file the build packs
// from assets/.
#include "scene/Catalogue.h"

#ifndef _WIN32
#include <sys/mman.h>
#include <unistd.h>
#endif

#ifndef VESKAN_PICTURES_FILE
#error "VESKAN_PICTURES_FILE must name the packed picture blocks"
#endif

#ifdef _WIN32
// PE/COFF has no section stack: the bytes go to the read-only data section, and the
// compiler switches to its own section before its first function.
#define VESKAN_PICTURES_SECTION ".section .rdata,\"dr\"\n"
#define VESKAN_PICTURES_SECTION_END ".text\n"
#else
#define VESKAN_PICTURES_SECTION ".pushsection .rodata\n"
#define VESKAN_PICTURES_SECTION_END ".popsection\n"
#endif

asm(VESKAN_PICTURES_SECTION
    ".balign 16\n"
    ".globl VeskanScreenFormPicturesBegin\n"
    "VeskanScreenFormPicturesBegin:\n"
    ".incbin \"" VESKAN_PICTURES_FILE "\"\n"
    ".globl VeskanScreenFormPicturesEnd\n"
    "VeskanScreenFormPicturesEnd:\n"
    VESKAN_PICTURES_SECTION_END);

extern "C" const std::uint8_t VeskanScreenFormPicturesBegin[];
extern "C" const std::uint8_t VeskanScreenFormPicturesEnd[];

std::span<const std::uint8_t> ScreenFormPictures()
{
    return {VeskanScreenFormPicturesBegin, VeskanScreenFormPicturesEnd};
}

void ReleaseScreenFormPictures()
{
#ifndef _WIN32
    // Only the whole pages inside the blocks: the pages at either end hold other data.
    const auto pageSize = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    const auto begin = reinterpret_cast<std::uintptr_t>(VeskanScreenFormPicturesBegin);
    const auto end = reinterpret_cast<std::uintptr_t>(VeskanScreenFormPicturesEnd);
    const std::uintptr_t first = (begin + pageSize - 1) / pageSize * pageSize;
    const std::uintptr_t last = end / pageSize * pageSize;
    // The mapping is of the program file and never written: dropping its pages loses
    // nothing. A refusal only leaves them resident.
    if (first < last)
        madvise(reinterpret_cast<void*>(first), last - first, MADV_DONTNEED);
#endif
}
