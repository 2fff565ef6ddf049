// Start-up: the picture set-up, mode selection, the two forms, the loop, and the
// report of an error that escapes start-up.
#pragma once

#include <cstdint>
#include <exception>
#include <span>
#include <string>

// Connects to the window system (see TApplication), creates the application object,
// both forms in the order of the mode, runs the loop and destroys the forms. Returns
// the exit status: 0 after a normal run, 1 after an error while the forms were being
// created (reported in the "Application Error" box). pictures is the screen form's
// stored picture blocks.
int RunProject1(int argc, const char* const* argv, std::span<const std::uint8_t> pictures);

// The start-up error box's text: "Exception %s in module %s at %p.\n%s%s".
std::string StartUpErrorText(const std::exception& error, const std::string& moduleName, const void* address);

// The kind name of an error: the class of the system's own errors, EOutOfMemory for
// a failed allocation, Exception for anything else.
const char* ErrorClassName(const std::exception& error);
