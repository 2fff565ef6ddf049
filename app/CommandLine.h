// The program's arguments: the one-string command line split into arguments, where
// the platform hands the program its command line whole.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// True for a byte that begins a double-byte character of the system's code page.
using LeadBytePredicate = bool (*)(unsigned char byte);

// Splits a command line into arguments, argument 0 being the program's path:
// - runs of characters 1 to 32 (the blank and the control characters) separate them;
// - a double quote opens a stretch that runs to the next double quote or to the end,
//   in which blanks belong to the argument; the quotes themselves are dropped, and
//   quoted stretches and plain characters may alternate within one argument;
// - where an argument would begin, two adjacent double quotes are skipped like
//   separators, so an empty quoted argument does not count;
// - a character whose first byte isLeadByte accepts is stepped whole, so its second
//   byte is never taken for a blank or a quote.
// The line ends at its end or at a NUL character.
std::vector<std::string> SplitCommandLine(std::string_view line, LeadBytePredicate isLeadByte);

// The program's arguments as the platform gives them: on Windows the process's own
// command line split by the rule above (the C runtime's argc and argv are not used);
// elsewhere argv as it stands.
std::vector<std::string> ProgramArguments(int argc, char** argv);
