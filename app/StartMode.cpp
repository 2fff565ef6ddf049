// The start mode.
#include "app/StartMode.h"

#include <cstring>

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
