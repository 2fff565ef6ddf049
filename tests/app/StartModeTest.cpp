// The start mode from the first argument alone.
#include "app/StartMode.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

struct ModeCase {
    std::vector<const char*> args;   // after the program path
    bool screenSaver;
};

class ModeSelection : public ::testing::TestWithParam<ModeCase> {};

TEST_P(ModeSelection, FirstArgumentAloneDecides)
{
    std::vector<const char*> argv{"/usr/bin/Project1"};
    argv.insert(argv.end(), GetParam().args.begin(), GetParam().args.end());
    EXPECT_EQ(IsScreenSaverMode(static_cast<int>(argv.size()), argv.data()), GetParam().screenSaver);
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, ModeSelection,
    // A quoted shell word "/S" arrives as /S, without its quotes.
    ::testing::Values(ModeCase{{}, false}, ModeCase{{"/S"}, true}, ModeCase{{"/s"}, true},
                      ModeCase{{"/S", "/c"}, true}, ModeCase{{"/s", "extra", "words"}, true},
                      // An empty quoted word is an argument on this platform, so /S is
                      // not the first one.
                      ModeCase{{"", "/S"}, false}, ModeCase{{"/s:123"}, false}, ModeCase{{"-s"}, false},
                      ModeCase{{"S"}, false}, ModeCase{{"/SS"}, false}, ModeCase{{"/c"}, false},
                      ModeCase{{"/c:5"}, false}, ModeCase{{"/p", "1234"}, false}, ModeCase{{"/S "}, false},
                      ModeCase{{" /S"}, false}, ModeCase{{"\\S"}, false}, ModeCase{{"/\xC5\xA0"}, false},
                      ModeCase{{"/c", "/S"}, false}));

} // namespace
