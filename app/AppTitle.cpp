// The application title and the start mode.
#include "app/AppTitle.h"

#include <cstring>

QString ModuleName(const QString& programPath)
{
    const qsizetype slash = programPath.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? programPath : programPath.mid(slash + 1);
}

QString ApplicationTitle(const QString& programPath)
{
    QString name = ModuleName(programPath);
    const qsizetype dot = name.indexOf(QLatin1Char('.'));
    if (dot >= 0)
        name.truncate(dot);
    if (name.size() > 1)
        name = name.left(1) + name.mid(1).toLower();
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
