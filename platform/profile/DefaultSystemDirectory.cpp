// The build's system directory, compiled in from VESKAN_SYSTEM_DIR_VALUE. Built into
// `profile_sysdir`, and into variants that point the program at another directory.
#include "platform/profile/SystemDirectory.h"

#ifndef VESKAN_SYSTEM_DIR_VALUE
#error "VESKAN_SYSTEM_DIR_VALUE must name the directory that holds the settings file"
#endif

const char* DefaultSystemDirectory()
{
    return VESKAN_SYSTEM_DIR_VALUE;
}
