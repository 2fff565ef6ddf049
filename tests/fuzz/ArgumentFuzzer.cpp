// fuzz-arguments: the command-line rule. The input, cut at its NUL bytes, is the
// argument vector (program path first); the mode must follow the rule stated again
// here, and the title made from the program path must follow the title rule.
#include "FuzzCheck.h"
#include "app/AppTitle.h"
#include "app/StartMode.h"


#include <cstdint>
#include <string>
#include <vector>

namespace {

// Screen-saver mode: the first argument after the program path, with a to z made
// upper case and nothing else changed, is exactly the two bytes "/S".
bool ExpectedScreenSaverMode(const std::vector<std::string>& arguments)
{
    if (arguments.size() < 2)
        return false;
    std::string first = arguments[1];
    for (char& c : first) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return first == "/S";
}

// The program file's name after its last '/', cut at its first '.', every letter but
// the first in lower case (ASCII names only; others are not checked).
std::string ExpectedTitle(const std::string& path)
{
    std::string name = path.substr(path.rfind('/') == std::string::npos ? 0 : path.rfind('/') + 1);
    name = name.substr(0, name.find('.'));
    for (std::size_t i = 1; i < name.size(); ++i) {
        if (name[i] >= 'A' && name[i] <= 'Z')
            name[i] = static_cast<char>(name[i] - 'A' + 'a');
    }
    return name;
}

bool IsAscii(const std::string& text)
{
    for (unsigned char c : text) {
        if (c >= 0x80)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    // The pieces between NULs; an empty input is an empty vector (argc 0).
    std::vector<std::string> arguments;
    if (size > 0) {
        arguments.emplace_back();
        for (std::size_t i = 0; i < size; ++i) {
            if (bytes[i] == 0)
                arguments.emplace_back();
            else
                arguments.back() += static_cast<char>(bytes[i]);
        }
    }
    std::vector<const char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(argument.c_str());
    argv.push_back(nullptr);
    const int argc = static_cast<int>(arguments.size());

    FUZZ_CHECK(IsScreenSaverMode(argc, argv.data()) == ExpectedScreenSaverMode(arguments),
               "argc %d, first argument '%s'", argc, argc > 1 ? argv[1] : "(none)");

    if (argc > 0 && IsAscii(arguments[0])) {
        const std::string title = ApplicationTitle(arguments[0]);
        const std::string expected = ExpectedTitle(arguments[0]);
        FUZZ_CHECK(title == expected, "title of '%s' is '%s', expected '%s'", arguments[0].c_str(), title.c_str(),
                   expected.c_str());
    }
    return 0;
}
