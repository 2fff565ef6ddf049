// The program's arguments on Windows: the process's command line (GetCommandLineA),
// split by the program's own rule, stepping whole characters of the system's code
// page.
#include "app/CommandLine.h"

#include <windows.h>

namespace {

bool IsSystemLeadByte(unsigned char byte)
{
    return IsDBCSLeadByte(byte) != FALSE;
}

} // namespace

std::vector<std::string> ProgramArguments(int /*argc*/, char** /*argv*/)
{
    return SplitCommandLine(GetCommandLineA(), IsSystemLeadByte);
}
