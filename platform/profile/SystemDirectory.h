// Where a bare settings-file name lives: the directory that stands for the Windows
// directory, fixed at build time and replaceable by tests.
#pragma once

#include <string>

// The build's directory (VESKAN_SYSTEM_DIR). Defined by the library the program links
// beside `profile`: `profile_sysdir`, or a variant built with another directory.
const char* DefaultSystemDirectory();

// The directory a bare file name resolves into: the override if one is set, else
// DefaultSystemDirectory(), which when relative is taken from the directory that
// holds the running program's file.
std::string SystemDirectory();

// Points bare names at another directory (tests); an empty string restores the default.
void SetSystemDirectory(std::string directory);
