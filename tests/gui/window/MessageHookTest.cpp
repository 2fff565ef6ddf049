// The application message hook: one record per input, the message numbers of keys,
// buttons, the wheel and pointer moves, the handled flag, and what never reaches it.
#include "support/GuiTestSupport.h"

#include "platform/window/TApplication.h"
#include "platform/window/TForm.h"
#include "platform/window/TTimer.h"

#include <QApplication>
#include <QKeyEvent>
#include <QTest>
#include <QTimer>
#include <QWheelEvent>
#include <QWindow>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

// A child that takes the focus and counts the key presses it is given, accepting
// them or letting them go on to its parent.
class KeyCounter : public QWidget {
public:
    KeyCounter(QWidget* parent, bool accept)
        : QWidget(parent), m_accept(accept)
    {
        setFocusPolicy(Qt::StrongFocus);
    }
    int presses = 0;

protected:
    void keyPressEvent(QKeyEvent* event) override
    {
        ++presses;
        if (m_accept)
            event->accept();
        else
            event->ignore();
    }

private:
    bool m_accept;
};

class MessageHook : public ::testing::Test {
protected:
    void SetUp() override
    {
        QtWidget(form)->setGeometry(100, 120, 300, 200);
        form.Show();
        ASSERT_TRUE(WaitFor([&] { return form.Active(); }));
        Settle();
        app.SetOnMessage([this](TMsg& msg, bool& handled) {
            EXPECT_FALSE(handled);   // preset for every message
            record.messages.push_back(msg);
            handled = swallow && msg.message == swallowNumber;
        });
    }

    QWindow* Window() { return QtWidget(form)->windowHandle(); }

    TApplication app;
    TForm form;
    HookRecord record;
    bool swallow = false;
    std::uint32_t swallowNumber = 0;
};

struct KeyCase {
    const char* name;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    std::vector<std::uint32_t> expected;
};

void PrintTo(const KeyCase& c, std::ostream* os)
{
    *os << c.name;
}


class KeyNumbers : public MessageHook, public ::testing::WithParamInterface<KeyCase> {};

// QTest presses the modifiers first (Shift, Control, Alt), then the key, and releases
// in the reverse order; Alt, F10 and keys held with Alt alone are system keys.
const KeyCase KeyCases[] = {
    {"Letter", Qt::Key_A, Qt::NoModifier, {WM_KEYDOWN, WM_KEYUP}},
    {"Return", Qt::Key_Return, Qt::NoModifier, {WM_KEYDOWN, WM_KEYUP}},
    {"Escape", Qt::Key_Escape, Qt::NoModifier, {WM_KEYDOWN, WM_KEYUP}},
    {"F10", Qt::Key_F10, Qt::NoModifier, {WM_SYSKEYDOWN, WM_SYSKEYUP}},
    {"F9", Qt::Key_F9, Qt::NoModifier, {WM_KEYDOWN, WM_KEYUP}},
    {"AltAlone", Qt::Key_Alt, Qt::NoModifier, {WM_SYSKEYDOWN, WM_SYSKEYUP}},
    {"AltLetter", Qt::Key_A, Qt::AltModifier, {WM_SYSKEYDOWN, WM_SYSKEYDOWN, WM_SYSKEYUP, WM_SYSKEYUP}},
    {"ShiftLetter", Qt::Key_A, Qt::ShiftModifier, {WM_KEYDOWN, WM_KEYDOWN, WM_KEYUP, WM_KEYUP}},
    {"ControlLetter", Qt::Key_A, Qt::ControlModifier, {WM_KEYDOWN, WM_KEYDOWN, WM_KEYUP, WM_KEYUP}},
    {"ControlAltLetter", Qt::Key_A, Qt::ControlModifier | Qt::AltModifier,
     {WM_KEYDOWN, WM_SYSKEYDOWN, WM_KEYDOWN, WM_KEYUP, WM_SYSKEYUP, WM_KEYUP}},
};

TEST_P(KeyNumbers, KeyClickGivesOneMessagePerKeyEvent)
{
    const KeyCase& c = GetParam();
    QTest::keyClick(Window(), c.key, c.modifiers);
    Settle();
    EXPECT_EQ(record.InputNumbers(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Keys, KeyNumbers, ::testing::ValuesIn(KeyCases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

TEST_F(MessageHook, KeyPassedOnToParentsIsOfferedOnce)
{
    auto* child = new KeyCounter(QtWidget(form), false);
    child->setGeometry(10, 10, 50, 50);
    child->show();
    child->setFocus();
    ASSERT_TRUE(WaitFor([&] { return child->hasFocus(); }));
    QTest::keyClick(Window(), Qt::Key_B);
    Settle();
    EXPECT_EQ(child->presses, 1);
    ASSERT_EQ(record.InputNumbers(), (std::vector<std::uint32_t>{WM_KEYDOWN, WM_KEYUP}));
    // Keys are addressed to the focus widget.
    EXPECT_EQ(record.messages.front().hwnd, child);
    EXPECT_EQ(record.messages.front().wParam, static_cast<std::uint32_t>(Qt::Key_B));
}

TEST_F(MessageHook, HandledKeyPressIsNotDispatched)
{
    auto* child = new KeyCounter(QtWidget(form), true);
    child->setGeometry(10, 10, 50, 50);
    child->show();
    child->setFocus();
    ASSERT_TRUE(WaitFor([&] { return child->hasFocus(); }));
    QTest::keyClick(Window(), Qt::Key_C);
    Settle();
    EXPECT_EQ(child->presses, 1);

    swallow = true;
    swallowNumber = WM_KEYDOWN;
    QTest::keyClick(Window(), Qt::Key_C);
    Settle();
    EXPECT_EQ(child->presses, 1);
    EXPECT_EQ(record.InputNumbers(), (std::vector<std::uint32_t>{WM_KEYDOWN, WM_KEYUP, WM_KEYDOWN, WM_KEYUP}));
}

TEST_F(MessageHook, PointerMoveCarriesClientPositionAndScreenPoint)
{
    // A child under the pointer gets its own translated copy of the move.
    auto* child = new QWidget(QtWidget(form));
    child->setGeometry(20, 20, 100, 100);
    child->setMouseTracking(true);
    child->show();
    QtWidget(form)->setMouseTracking(true);
    QTest::mouseMove(Window(), QPoint(40, 30));
    Settle();
    ASSERT_EQ(record.InputNumbers(), (std::vector<std::uint32_t>{WM_MOUSEMOVE}));
    const TMsg& msg = record.messages.front();
    EXPECT_EQ(msg.hwnd, form.Handle());
    EXPECT_EQ(msg.lParam, 40 | (30 << 16));
    EXPECT_EQ(msg.pt.X, 140);
    EXPECT_EQ(msg.pt.Y, 150);
    EXPECT_EQ(msg.wParam, 0u);
}

struct ButtonCase {
    const char* name;
    Qt::MouseButton button;
    std::uint32_t down;
    std::uint32_t up;
};

void PrintTo(const ButtonCase& c, std::ostream* os)
{
    *os << c.name;
}


class ButtonNumbers : public MessageHook, public ::testing::WithParamInterface<ButtonCase> {};

const ButtonCase ButtonCases[] = {
    {"Left", Qt::LeftButton, 513, 514},
    {"Right", Qt::RightButton, 516, 517},
    {"Middle", Qt::MiddleButton, 519, 520},
};

TEST_P(ButtonNumbers, PressAndReleaseAtTheSamePlace)
{
    const ButtonCase& c = GetParam();
    QTest::mouseMove(Window(), QPoint(50, 60));
    Settle();
    record.messages.clear();
    QTest::mousePress(Window(), c.button, Qt::NoModifier, QPoint(50, 60));
    QTest::mouseRelease(Window(), c.button, Qt::NoModifier, QPoint(50, 60));
    Settle();
    ASSERT_EQ(record.InputNumbers(), (std::vector<std::uint32_t>{c.down, c.up}));
    EXPECT_EQ(record.messages.front().lParam, 50 | (60 << 16));
}

INSTANTIATE_TEST_SUITE_P(Buttons, ButtonNumbers, ::testing::ValuesIn(ButtonCases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

TEST_F(MessageHook, WheelGivesOneMessageWithItsDelta)
{
    const QPointF local(30, 40);
    QWheelEvent wheel(local, Window()->mapToGlobal(local), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QSpontaneKeyEvent::setSpontaneous(&wheel);
    QApplication::instance()->notify(Window(), &wheel);
    Settle();
    ASSERT_EQ(record.InputNumbers(), (std::vector<std::uint32_t>{WM_MOUSEWHEEL}));
    EXPECT_EQ(record.messages.front().wParam >> 16, 120u);
}

TEST_F(MessageHook, ShowActivationAndFocusNeverReachIt)
{
    TForm other;
    QtWidget(other)->setGeometry(500, 500, 100, 100);
    other.Show();
    ASSERT_TRUE(WaitFor([&] { return other.Active(); }));
    QtWidget(form)->activateWindow();
    ASSERT_TRUE(WaitFor([&] { return form.Active(); }));
    other.Hide();
    form.Hide();
    form.Show();
    Settle();
    EXPECT_TRUE(record.InputNumbers().empty());
}

TEST_F(MessageHook, EventsSentByCodeDoNotReachIt)
{
    QKeyEvent key(QEvent::KeyPress, Qt::Key_D, Qt::NoModifier);
    QCoreApplication::sendEvent(QtWidget(form), &key);
    Settle();
    EXPECT_TRUE(record.InputNumbers().empty());
}

TEST_F(MessageHook, SlotIsReplacedAndEmptied)
{
    HookRecord second;
    app.SetOnMessage([&](TMsg& msg, bool&) { second.messages.push_back(msg); });
    QTest::keyClick(Window(), Qt::Key_E);
    Settle();
    EXPECT_TRUE(record.InputNumbers().empty());
    EXPECT_EQ(second.InputNumbers(), (std::vector<std::uint32_t>{WM_KEYDOWN, WM_KEYUP}));

    app.SetOnMessage(nullptr);
    EXPECT_FALSE(app.HasOnMessage());
    QTest::keyClick(Window(), Qt::Key_E);
    Settle();
    EXPECT_EQ(second.InputNumbers().size(), 2u);
}

TEST_F(MessageHook, HookMayEmptyTheSlotWhileItRuns)
{
    int calls = 0;
    app.SetOnMessage([&](TMsg&, bool&) {
        ++calls;
        app.SetOnMessage(nullptr);
    });
    QTest::keyClick(Window(), Qt::Key_F);
    Settle();
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(app.HasOnMessage());
}

TEST_F(MessageHook, ErrorInTheHookGoesToTheErrorReport)
{
    BoxRecorder boxes;
    app.SetTitle(std::string("Hooktest"));
    app.SetOnMessage([](TMsg& msg, bool&) {
        if (msg.message == WM_KEYDOWN)
            throw std::runtime_error("Hook failed");
    });
    QTest::keyClick(Window(), Qt::Key_G);
    Settle();
    ASSERT_EQ(boxes.requests.size(), 1u);
    EXPECT_EQ(boxes.requests[0].text, std::string("Hook failed."));
    EXPECT_EQ(boxes.requests[0].title, std::string("Hooktest"));
}

TEST_F(MessageHook, TimerTicksPassTheHookAndCanBeSwallowed)
{
    TTimer timer;
    int ticks = 0;
    timer.SetInterval(10);
    timer.SetOnTimer([&] { ++ticks; });
    swallow = true;
    swallowNumber = WM_TIMER;
    ASSERT_TRUE(WaitFor([&] {
        int offered = 0;
        for (const TMsg& m : record.messages)
            offered += m.message == WM_TIMER && m.hwnd == QtObject(timer);
        return offered >= 3;
    }));
    EXPECT_EQ(ticks, 0);
}

} // namespace

namespace {

// The message box up now, once its loop runs.
QWidget* BoxUpNow()
{
    QWidget* box = QApplication::activeModalWidget();
    return box && box->isVisible() ? box : nullptr;
}

TEST_F(MessageHook, InputToAMessageBoxIsTheBoxLoopsAndNeverReachesIt)
{
    bool typedIntoTheBox = false;
    QTimer::singleShot(0, [&] {
        QWidget* box = BoxUpNow();
        ASSERT_NE(box, nullptr);
        QTest::keyClick(box, Qt::Key_A);
        QTest::mouseMove(box->windowHandle(), QPoint(5, 5));
        QTest::mouseMove(box->windowHandle(), QPoint(40, 30));
        typedIntoTheBox = true;
        // Enter acknowledges the box.
        QTest::keyClick(box, Qt::Key_Return);
    });
    ShowMessageBox({std::string("Project1"), std::string("Error."), TMessageBoxIcon::Error, false});
    EXPECT_TRUE(typedIntoTheBox);
    EXPECT_TRUE(record.InputNumbers().empty());
    // The application's own loop offers input again.
    QTest::keyClick(QtWidget(form), Qt::Key_B);
    EXPECT_EQ(record.InputNumbers(), (std::vector<std::uint32_t>{WM_KEYDOWN, WM_KEYUP}));
}

} // namespace
