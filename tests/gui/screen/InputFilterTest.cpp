// The input filter of the screen window: the 5/6-pixel rule on each axis and on each
// monitor, the inputs that end the show and those that do not, and that the ending
// input is still delivered.
#include "../window/GuiTestSupport.h"

#include "platform/window/Cursor.h"
#include "platform/window/TApplication.h"
#include "screen/TScrnFrm.h"

#include <QApplication>
#include <QCursor>
#include <QLineEdit>
#include <QWheelEvent>
#include <QWindow>
#include <functional>
#include <gtest/gtest.h>
#include <string>

namespace {

// Counts the events of one type that reach an object.
class EventCounter : public QObject {
public:
    explicit EventCounter(QEvent::Type type) : m_type(type) {}
    int count = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        count += event->type() == m_type;
        return false;
    }

private:
    QEvent::Type m_type;
};

// Configuration mode: the dialog is the main form, so that closing hides the screen.
class ShowRunning : public ::testing::Test {
protected:
    void SetUp() override
    {
        dialog.SetBorderStyle(TBorderStyle::None);
        edit = new QLineEdit(QtWidget(dialog));
        edit->setGeometry(0, 0, 200, 30);
        QtWidget(dialog)->setGeometry(dialogPlace);
        dialog.Show();
        ASSERT_TRUE(WaitFor([&] { return dialog.Active(); }));
        edit->setFocus();
        QCursor::setPos(start);
        Settle();   // offscreen turns setPos into a queued pointer move
        screen.Show();
        ASSERT_TRUE(WaitFor([&] { return screen.Active() && screen.WindowState() == TWindowState::Maximized; }));
        Settle();
        ASSERT_TRUE(screen.Visible());
        ASSERT_EQ(StartPos.X, start.x());
        ASSERT_EQ(StartPos.Y, start.y());
        QtWidget(screen)->windowHandle()->installEventFilter(&moves);
    }

    // A pointer move to a screen position over the screen window.
    void MoveTo(QPoint global)
    {
        const int before = moves.count;
        QTest::mouseMove(QtWidget(screen)->windowHandle(), global - QtWidget(screen)->geometry().topLeft());
        Settle();
        ASSERT_EQ(moves.count, before + 1) << "the move was not delivered";
    }

    QRect dialogPlace{300, 300, 200, 100};
    QPoint start{640, 512};
    TApplication app;
    TForm dialog;
    QLineEdit* edit = nullptr;
    TScrnFrm screen{JpegDepth::TrueColour};
    EventCounter moves{QEvent::MouseMove};
};

struct MoveCase {
    const char* name;
    int dx;
    int dy;
    bool ends;
};

void PrintTo(const MoveCase& c, std::ostream* os)
{
    *os << c.name;
}

const MoveCase MoveCases[] = {
    {"Still", 0, 0, false},
    {"FiveBoth", 5, 5, false},
    {"MinusFiveBoth", -5, -5, false},
    {"FiveAndMinusFive", 5, -5, false},
    {"SixRight", 6, 0, true},
    {"SixDown", 0, 6, true},
    {"SixLeft", -6, 0, true},
    {"SixUp", 0, -6, true},
    {"SixBoth", 6, 6, true},
    {"FiveAcrossSixUp", 5, -6, true},
    {"SixLeftFiveDown", -6, 5, true},
    {"Far", 300, -200, true},
};

class MoveRule : public ShowRunning, public ::testing::WithParamInterface<MoveCase> {};

TEST_P(MoveRule, MoreThanFivePixelsOnEitherAxisEndsTheShow)
{
    const MoveCase& c = GetParam();
    // First a move off the start position that stays within the rule, so that the
    // case's own move is a real change of position.
    MoveTo(start + QPoint(c.dx == 1 ? 2 : 1, 0));
    ASSERT_TRUE(screen.Visible());
    MoveTo(start + QPoint(c.dx, c.dy));
    EXPECT_EQ(!screen.Visible(), c.ends);
}

INSTANTIATE_TEST_SUITE_P(Moves, MoveRule, ::testing::ValuesIn(MoveCases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

// The dialog on the right-hand monitor (origin 1280, 0): the screen window comes up
// there, and its client positions differ from screen positions by that origin.
class MoveRuleOnSecondMonitor : public ShowRunning, public ::testing::WithParamInterface<MoveCase> {
protected:
    void SetUp() override
    {
        dialogPlace = QRect(1500, 200, 200, 100);
        start = QPoint(1800, 400);
        ShowRunning::SetUp();
    }
};

TEST_P(MoveRuleOnSecondMonitor, ComparesInScreenCoordinates)
{
    const MoveCase& c = GetParam();
    ASSERT_EQ(QtWidget(screen)->geometry(), QRect(1280, 0, 1024, 768));
    MoveTo(start + QPoint(c.dx == 1 ? 2 : 1, 0));
    ASSERT_TRUE(screen.Visible());
    MoveTo(start + QPoint(c.dx, c.dy));
    EXPECT_EQ(!screen.Visible(), c.ends);
}

INSTANTIATE_TEST_SUITE_P(Moves, MoveRuleOnSecondMonitor, ::testing::ValuesIn(MoveCases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

struct InputCase {
    const char* name;
    std::function<void(QWindow*, QPoint)> send;   // window, start in window coordinates
};

void PrintTo(const InputCase& c, std::ostream* os)
{
    *os << c.name;
}

void Wheel(QWindow* window, QPoint at, QPoint delta)
{
    QWheelEvent wheel(at, window->mapToGlobal(at), QPoint(), delta, Qt::NoButton, Qt::NoModifier,
                      Qt::NoScrollPhase, false);
    QSpontaneKeyEvent::setSpontaneous(&wheel);
    QApplication::instance()->notify(window, &wheel);
}

const InputCase HarmlessInputs[] = {
    {"LeftButton", [](QWindow* w, QPoint p) { QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, p); }},
    {"RightButton", [](QWindow* w, QPoint p) { QTest::mouseClick(w, Qt::RightButton, Qt::NoModifier, p); }},
    {"MiddleButton", [](QWindow* w, QPoint p) { QTest::mouseClick(w, Qt::MiddleButton, Qt::NoModifier, p); }},
    {"WheelDown", [](QWindow* w, QPoint p) { Wheel(w, p, QPoint(0, -120)); }},
    {"WheelUp", [](QWindow* w, QPoint p) { Wheel(w, p, QPoint(0, 120)); }},
    {"KeyRelease", [](QWindow* w, QPoint) { QTest::keyRelease(w, Qt::Key_A); }},
    {"Alt", [](QWindow* w, QPoint) { QTest::keyClick(w, Qt::Key_Alt); }},
    {"F10", [](QWindow* w, QPoint) { QTest::keyClick(w, Qt::Key_F10); }},
    {"AltX", [](QWindow* w, QPoint) { QTest::keyClick(w, Qt::Key_X, Qt::AltModifier); }},
    {"AltF4", [](QWindow* w, QPoint) { QTest::keyClick(w, Qt::Key_F4, Qt::AltModifier); }},
};

class HarmlessInput : public ShowRunning, public ::testing::WithParamInterface<InputCase> {};

TEST_P(HarmlessInput, DoesNotEndTheShow)
{
    GetParam().send(QtWidget(screen)->windowHandle(), start - QtWidget(screen)->geometry().topLeft());
    Settle();
    EXPECT_TRUE(screen.Visible());
    EXPECT_TRUE(app.HasOnMessage());
}

INSTANTIATE_TEST_SUITE_P(Inputs, HarmlessInput, ::testing::ValuesIn(HarmlessInputs),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

TEST_F(ShowRunning, ItsOwnActivationAndLosingItDoNotEndTheShow)
{
    QtWidget(dialog)->activateWindow();
    ASSERT_TRUE(WaitFor([&] { return dialog.Active(); }));
    QtWidget(screen)->activateWindow();
    ASSERT_TRUE(WaitFor([&] { return screen.Active(); }));
    Settle();
    EXPECT_TRUE(screen.Visible());
}

TEST_F(ShowRunning, KeyPressEndsTheShowAndIsStillDelivered)
{
    EventCounter keys(QEvent::KeyPress);
    QtWidget(screen)->installEventFilter(&keys);
    QTest::keyPress(QtWidget(screen)->windowHandle(), Qt::Key_Space);
    EXPECT_FALSE(screen.Visible());
    EXPECT_EQ(keys.count, 1);
    EXPECT_FALSE(app.HasOnMessage());
    QTest::keyRelease(QtWidget(screen)->windowHandle(), Qt::Key_Space);
}

TEST_F(ShowRunning, KeyPressToAnotherFormEndsTheShowAndReachesIt)
{
    ASSERT_TRUE(edit->hasFocus() || QtWidget(dialog)->focusWidget() == edit);
    QTest::keyClick(QtWidget(dialog)->windowHandle(), Qt::Key_X);
    EXPECT_FALSE(screen.Visible());
    EXPECT_EQ(edit->text(), QStringLiteral("x"));
    EXPECT_TRUE(WaitFor([&] { return dialog.Active(); }));
}

TEST_F(ShowRunning, MessagesThatCloseWhenSomethingPostsThem)
{
    // The activation messages end the show only when posted to the queue; the window
    // layer never turns activation into messages, so they are sent here by hand.
    for (std::uint32_t number : {WM_ACTIVATE, WM_ACTIVATEAPP, WM_NCACTIVATE}) {
        screen.Show();
        ASSERT_TRUE(screen.Visible());
        TMsg msg;
        msg.hwnd = screen.Handle();
        msg.message = number;
        bool handled = false;
        screen.InputFilter(msg, handled);
        EXPECT_FALSE(screen.Visible()) << number;
        EXPECT_FALSE(handled);
    }
}

TEST_F(ShowRunning, OtherMessagesDoNothingAndHandledStaysFalse)
{
    for (std::uint32_t number : {WM_KEYUP, WM_SYSKEYDOWN, WM_SYSKEYUP, WM_TIMER, WM_LBUTTONDOWN, WM_MOUSEWHEEL, 15u, 0u}) {
        TMsg msg;
        msg.hwnd = screen.Handle();
        msg.message = number;
        msg.lParam = MakeLParam(0, 0);   // far from the start position
        msg.pt = TPoint{0, 0};
        bool handled = false;
        screen.InputFilter(msg, handled);
        EXPECT_TRUE(screen.Visible()) << number;
        EXPECT_FALSE(handled);
    }
    // A move is judged by its screen position, whatever the client position says.
    TMsg msg;
    msg.hwnd = screen.Handle();
    msg.message = WM_MOUSEMOVE;
    msg.lParam = MakeLParam(0, 0);
    msg.pt = TPoint{start.x() + 5, start.y() - 5};
    bool handled = false;
    screen.InputFilter(msg, handled);
    EXPECT_TRUE(screen.Visible());
    msg.pt = TPoint{start.x() - 6, start.y()};
    screen.InputFilter(msg, handled);
    EXPECT_FALSE(screen.Visible());
    EXPECT_FALSE(handled);
}

} // namespace
