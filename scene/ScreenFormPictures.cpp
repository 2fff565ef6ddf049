// The screen form's stored picture blocks, linked in from the file the build packs
// from assets/.
#include "scene/Catalogue.h"

#ifndef VESKAN_PICTURES_FILE
#error "VESKAN_PICTURES_FILE must name the packed picture blocks"
#endif

asm(".pushsection .rodata\n"
    ".balign 16\n"
    ".globl VeskanScreenFormPicturesBegin\n"
    "VeskanScreenFormPicturesBegin:\n"
    ".incbin \"" VESKAN_PICTURES_FILE "\"\n"
    ".globl VeskanScreenFormPicturesEnd\n"
    "VeskanScreenFormPicturesEnd:\n"
    ".popsection\n");

extern "C" const std::uint8_t VeskanScreenFormPicturesBegin[];
extern "C" const std::uint8_t VeskanScreenFormPicturesEnd[];

std::span<const std::uint8_t> ScreenFormPictures()
{
    return {VeskanScreenFormPicturesBegin, VeskanScreenFormPicturesEnd};
}
