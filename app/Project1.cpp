// Project1: the screen saver. "/S" shows the night scene full-screen; any other start
// opens the configuration dialog.
#include "app/CommandLine.h"
#include "app/StartUp.h"
#include "scene/Catalogue.h"

#include <string>
#include <vector>

int main(int argc, char** argv)
{
    // On Windows the arguments come from the process's one-string command line, split
    // by the program's own rule.
    const std::vector<std::string> arguments = ProgramArguments(argc, argv);
    std::vector<const char*> pointers;
    for (const std::string& argument : arguments)
        pointers.push_back(argument.c_str());
    pointers.push_back(nullptr);
    return RunProject1(static_cast<int>(arguments.size()), pointers.data(), ScreenFormPictures());
}
