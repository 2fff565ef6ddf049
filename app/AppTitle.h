// The application title and the start mode, both read from the command line.
#pragma once

#include <string>

// The program file's name without its directory and without everything from its
// first dot, every letter after the first in lower case: MYSAVER.SCR gives Mysaver.
std::string ApplicationTitle(const std::string& programPath);

// The program file's name without its directory, as the start-up error box names it.
std::string ModuleName(const std::string& programPath);

// Screen-saver mode when the first argument, its letters a to z turned to A to Z and
// no other byte changed, is exactly "/S". argc counts the program path too.
bool IsScreenSaverMode(int argc, const char* const* argv);
