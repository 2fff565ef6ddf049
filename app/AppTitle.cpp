// The application title and the start mode.
#include "app/AppTitle.h"

#include <cstring>

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

bool IsScreenSaverMode(int argc, const char* const* argv)
{
    if (argc < 2 || argv[1] == nullptr)
        return false;
    const char* first = argv[1];
    // Compare byte by byte after upper-casing a to z only: same length, same bytes.
    if (std::strlen(first) != 2)
        return false;
    const auto upper = [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; };
    return upper(first[0]) == '/' && upper(first[1]) == 'S';
}
