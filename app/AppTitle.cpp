// The application title and the module name.
#include "app/AppTitle.h"

std::string ModuleName(const std::string& programPath)
{
#if defined(_WIN32)
    const std::size_t slash = programPath.find_last_of("/\\:");
#else
    const std::size_t slash = programPath.rfind('/');
#endif
    return slash == std::string::npos ? programPath : programPath.substr(slash + 1);
}

std::string ApplicationTitle(const std::string& programPath)
{
    std::string name = ModuleName(programPath);
    const std::size_t dot = name.find('.');
    if (dot != std::string::npos)
        name.resize(dot);
    // Every letter after the first in lower case.
    for (std::size_t i = 1; i < name.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(name[i]);
        if (c >= 'A' && c <= 'Z')
            name[i] = static_cast<char>(c - 'A' + 'a');
    }
    return name;
}
