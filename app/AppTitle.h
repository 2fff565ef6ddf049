// The names the program takes from its own file's path: the application title and
// the module name.
#pragma once

#include <string>

// The program file's name without its directory and without everything from its
// first dot, every letter after the first in lower case: MYSAVER.SCR gives Mysaver.
std::string ApplicationTitle(const std::string& programPath);

// The program file's name without its directory, as the start-up error box names it.
std::string ModuleName(const std::string& programPath);
