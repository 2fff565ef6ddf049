// The cursor display count: hidden (blank override cursor) while negative, shown
// again when back at zero; the position in screen coordinates.
#include "support/GuiTestSupport.h"

#include "platform/window/Cursor.h"

#include <QCursor>
#include <QGuiApplication>
#include <gtest/gtest.h>

namespace {

bool BlankOverride()
{
    const QCursor* cursor = QGuiApplication::overrideCursor();
    return cursor && cursor->shape() == Qt::BlankCursor;
}

TEST(CursorCount, HiddenWhileNegative)
{
    const int start = CursorDisplayCount();
    ASSERT_EQ(start, 0);
    ASSERT_FALSE(BlankOverride());

    // Steps and the expected count and visibility after each.
    struct Step {
        bool show;
        int count;
        bool hidden;
    };
    const Step steps[] = {
        {false, -1, true}, {false, -2, true}, {true, -1, true}, {true, 0, false},
        {true, 1, false},  {false, 0, false}, {false, -1, true}, {true, 0, false},
    };
    for (const Step& s : steps) {
        EXPECT_EQ(ShowCursor(s.show), s.count);
        EXPECT_EQ(CursorDisplayCount(), s.count);
        EXPECT_EQ(BlankOverride(), s.hidden) << "count " << s.count;
        EXPECT_EQ(CursorHidden(), s.hidden);
    }
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST(CursorPosition, IsTheCursorInScreenCoordinates)
{
    QCursor::setPos(1500, 300);   // on the right screen
    TPoint p;
    ASSERT_TRUE(GetCursorPos(p));
    EXPECT_EQ(p.X, 1500);
    EXPECT_EQ(p.Y, 300);
}

} // namespace
