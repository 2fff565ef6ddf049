// The program's arguments where the platform hands them over already split.
#include "app/CommandLine.h"

std::vector<std::string> ProgramArguments(int argc, char** argv)
{
    std::vector<std::string> arguments;
    for (int i = 0; i < argc; ++i)
        arguments.emplace_back(argv[i] != nullptr ? argv[i] : "");
    return arguments;
}
