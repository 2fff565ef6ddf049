// Splitting the one-string command line into arguments.
#include "app/CommandLine.h"

namespace {

bool IsSeparator(unsigned char c)
{
    return c >= 1 && c <= 32;
}

} // namespace

std::vector<std::string> SplitCommandLine(std::string_view line, LeadBytePredicate isLeadByte)
{
    // The NUL that ends a C string ends the line as well.
    line = line.substr(0, line.find('\0'));
    const std::size_t end = line.size();
    const auto at = [&](std::size_t i) { return static_cast<unsigned char>(line[i]); };
    // Appends the character at i, both bytes of a double-byte one, and steps past it.
    const auto takeCharacter = [&](std::string& argument, std::size_t& i) {
        const std::size_t length = isLeadByte && isLeadByte(at(i)) && i + 1 < end ? 2 : 1;
        argument.append(line.substr(i, length));
        i += length;
    };

    std::vector<std::string> arguments;
    std::size_t i = 0;
    for (;;) {
        // Separators, and empty quoted pairs where an argument would begin.
        for (;;) {
            while (i < end && IsSeparator(at(i)))
                ++i;
            if (i + 1 < end && line[i] == '"' && line[i + 1] == '"')
                i += 2;
            else
                break;
        }
        if (i >= end)
            break;
        std::string argument;
        while (i < end && !IsSeparator(at(i))) {
            if (line[i] != '"') {
                takeCharacter(argument, i);
                continue;
            }
            // A quoted stretch: up to the closing quote or the end of the line.
            ++i;
            while (i < end && line[i] != '"')
                takeCharacter(argument, i);
            if (i < end)
                ++i;
        }
        arguments.push_back(std::move(argument));
    }
    return arguments;
}
