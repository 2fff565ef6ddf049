// The saver's input rule, row by row.
#include "SaverRules.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

// Input sent before the saver starts and while it shows, each a command of the input
// helper, in the output's pixels (scale 1).
struct InputRule {
    const char* what;
    std::vector<std::string> before;
    std::vector<std::string> keeping;
    std::string ending;
};

const InputRule Rules[] = {
    {"5 pixels on both axes, a button and the wheel keep it; the 6th on x ends it",
     {}, {"move 5 -5", "button 272", "wheel 1"}, "move 1 0"},
    {"5 pixels on y keep it; 6 end it", {}, {"move 0 -3", "move 0 -2"}, "move 0 -1"},
    {"a key's release keeps it; a key's press ends it", {"keydown 57"}, {"keyup 57"}, "keydown 30"},
};

} // namespace

void ExpectSaverInputRule(const HeadlessCompositor& session, VirtualInput& input, const std::vector<std::string>& argv,
                          const std::string& output)
{
    for (const InputRule& rule : Rules) {
        SCOPED_TRACE(rule.what);
        ASSERT_TRUE(input.Send("moveto 640 512 1280 1024"));
        for (const std::string& command : rule.before)
            ASSERT_TRUE(input.Send(command)) << command;
        SessionProgram saver(session, argv);
        ASSERT_TRUE(session.WaitForFirstCycleFrame(output, 1280, 1024)) << saver.Errors();
        for (const std::string& command : rule.keeping)
            ASSERT_TRUE(input.Send(command)) << command;
        EXPECT_TRUE(saver.KeepsRunning(700ms)) << saver.Errors();
        ASSERT_TRUE(input.Send(rule.ending));
        int status = -1;
        EXPECT_TRUE(saver.WaitForExit(status, 3s));
        EXPECT_EQ(status, 0) << saver.Errors();
        // The key pressed last goes up again before the next row.
        ASSERT_TRUE(input.Send("keyup 30"));
    }
}

void ExpectFivePixelsKeepWhateverTheEnterSaid(const HeadlessCompositor& session, const std::vector<std::string>& argv)
{
    ASSERT_TRUE(session.Started());
    VirtualInput input(session);
    ASSERT_TRUE(input.Ready());
    ASSERT_TRUE(input.Send("move 50 50"));
    SessionProgram saver(session, argv);
    ASSERT_TRUE(session.WaitForFirstCycleFrame("", 1280, 1024)) << saver.Errors();
    ASSERT_TRUE(input.Send("move 5 0"));
    EXPECT_TRUE(saver.KeepsRunning(700ms)) << saver.Errors();
    ASSERT_TRUE(input.Send("key 57"));
    int status = -1;
    EXPECT_TRUE(saver.WaitForExit(status, 3s));
    EXPECT_EQ(status, 0) << saver.Errors();
}
