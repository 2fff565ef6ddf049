// The start mode, read from the first argument.
#pragma once

// Screen-saver mode when the first argument, its letters a to z turned to A to Z and
// no other byte changed, is exactly "/S". argc counts the program path too.
bool IsScreenSaverMode(int argc, const char* const* argv);
