// The one-string command line split into arguments: separators, quoted stretches,
// empty quoted pairs, whole double-byte characters.
#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Lead bytes as in a Far East code page (0x81 to 0x9F); the second byte of such a
// character may be any byte, here a blank or a quote to show that it is never one.
bool TestLeadByte(unsigned char byte)
{
    return byte >= 0x81 && byte <= 0x9F;
}

struct SplitCase {
    std::string line;
    std::vector<std::string> arguments;
};

const SplitCase SplitCases[] = {
    {"", {}},
    {"  \t ", {}},
    {"Project1.scr", {"Project1.scr"}},
    {"\"C:\\Program Files\\Project1.scr\" /S", {"C:\\Program Files\\Project1.scr", "/S"}},
    // Every character from 1 to 32 separates; bytes from 128 up do not.
    {"p\t/S\x01x\x1f y\xa0z", {"p", "/S", "x", "y\xa0z"}},
    {"p \"/S\"", {"p", "/S"}},
    // Empty quoted pairs where an argument would begin are skipped, so /S is first.
    {"p \"\" /S", {"p", "/S"}},
    {"p \"\"\"\"/S", {"p", "/S"}},
    {"p \"\"", {"p"}},
    // Inside an argument a pair is an empty stretch; stretches and plain characters
    // alternate within one argument.
    {"p a\"\"b", {"p", "ab"}},
    {"p \"a b\"c\" d\"", {"p", "a bc d"}},
    {"p \" \"", {"p", " "}},
    // A stretch left open runs to the end of the line.
    {"p \"open to the end", {"p", "open to the end"}},
    // A double-byte character is taken whole: its second byte is no blank and no quote.
    {"p \x81 x", {"p", "\x81 x"}},
    {"p \"\x81\"x\" y", {"p", "\x81\"x", "y"}},
    {"p \x81", {"p", "\x81"}},
    // A NUL ends the line.
    {std::string("p /S\0 /c", 8), {"p", "/S"}},
};

TEST(CommandLine, SplitsByTheRule)
{
    for (const SplitCase& c : SplitCases)
        EXPECT_EQ(SplitCommandLine(c.line, TestLeadByte), c.arguments) << "line: " << c.line;
}

} // namespace
