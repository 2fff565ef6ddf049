// The application title and the module name from the program file's path.
#include "app/AppTitle.h"

#include <gtest/gtest.h>

namespace {

TEST(ApplicationTitle, TakesTheNameBeforeItsFirstDotWithTheRestInLowerCase)
{
    EXPECT_EQ(ApplicationTitle("MYSAVER.SCR"), "Mysaver");
    EXPECT_EQ(ApplicationTitle("/usr/local/bin/Project1"), "Project1");
    EXPECT_EQ(ApplicationTitle("/opt/saver/bin/PROJECT1"), "Project1");
    EXPECT_EQ(ApplicationTitle("./build/app/my.saver.scr"), "my");
    // The first letter stays as it is.
    EXPECT_EQ(ApplicationTitle("veskan"), "veskan");
    EXPECT_EQ(ApplicationTitle("/a.b/c/TalVEX.Saver.SCR"), "Talvex");
    EXPECT_EQ(ApplicationTitle(".hidden"), "");
    EXPECT_EQ(ApplicationTitle("X"), "X");
}

TEST(ModuleName, DropsOnlyTheDirectory)
{
    EXPECT_EQ(ModuleName("/usr/local/bin/Project1"), "Project1");
    EXPECT_EQ(ModuleName("MYSAVER.SCR"), "MYSAVER.SCR");
}

} // namespace
