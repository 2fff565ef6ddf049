// The application's error report: its text rule, title, icon, and the one road of
// message boxes.
#include "support/GuiTestSupport.h"

#include "platform/window/TApplication.h"

#include <gtest/gtest.h>
#include <stdexcept>

namespace {

struct TextCase {
    const char* message;
    const char* text;
};

void PrintTo(const TextCase& c, std::ostream* os)
{
    *os << '"' << c.message << '"';
}

class ErrorReportTextRule : public ::testing::TestWithParam<TextCase> {};

// A full stop is added when the last character sorts after "." (0x2E).
const TextCase TextCases[] = {
    {"Bitmap image is not valid", "Bitmap image is not valid."},
    {"Ends in a full stop.", "Ends in a full stop."},
    {"In parentheses (x)", "In parentheses (x)"},     // ')' is 0x29
    {"Exclaims!", "Exclaims!"},                       // '!' is 0x21
    {"", ""},
    {"JPEG error #42", "JPEG error #42."},            // '2' is 0x32
    {"Path /", "Path /."},                            // '/' is 0x2F
    {"Dash -", "Dash -"},                             // '-' is 0x2D
    {"Comma,", "Comma,"},                             // ',' is 0x2C
    {"Space ", "Space "},                             // ' ' is 0x20
    {"Colon:", "Colon:."},                            // ':' is 0x3A
    {"Umlaut \xC3\xA4", "Umlaut \xC3\xA4."},          // beyond ASCII
};

TEST_P(ErrorReportTextRule, FullStopAfterCharactersThatSortAfterIt)
{
    const TextCase& c = GetParam();
    EXPECT_EQ(ErrorReportText(std::string(c.message)), std::string(c.text));

    TApplication app;
    app.SetTitle(std::string("Mysaver"));
    BoxRecorder boxes;
    app.HandleException(std::runtime_error(c.message));
    ASSERT_EQ(boxes.requests.size(), 1u);
    EXPECT_EQ(boxes.requests[0].text, std::string(c.text));
    EXPECT_EQ(boxes.requests[0].title, std::string("Mysaver"));
    EXPECT_EQ(boxes.requests[0].icon, TMessageBoxIcon::Error);
}

INSTANTIATE_TEST_SUITE_P(Messages, ErrorReportTextRule, ::testing::ValuesIn(TextCases));

TEST(MessageBoxFunction, ReplacedAndRestored)
{
    int first = 0;
    int second = 0;
    const MessageBoxFunction original = SetMessageBoxFunction([&](const TMessageBoxRequest&) { ++first; });
    ShowMessageBox(TMessageBoxRequest{});
    const MessageBoxFunction replaced = SetMessageBoxFunction([&](const TMessageBoxRequest&) { ++second; });
    ShowMessageBox(TMessageBoxRequest{});
    ASSERT_TRUE(replaced);
    replaced(TMessageBoxRequest{});
    EXPECT_EQ(first, 2);
    EXPECT_EQ(second, 1);
    SetMessageBoxFunction(original);
}

} // namespace
