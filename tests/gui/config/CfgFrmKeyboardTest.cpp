// The dialog as the main form, driven from the keyboard and the close box: which keys
// end the program, which write the settings file, which show the scene.
#include "support/DialogFixture.h"

#include "config/TCfgFrm.h"
#include "platform/window/TApplication.h"
#include "screen/TScrnFrm.h"

#include <QApplication>
#include <QCloseEvent>
#include <QRadioButton>
#include <QWindow>
#include <ostream>

namespace {

constexpr char WrittenByOk[] = "[Config]\nType=-1\n";

enum class Outcome { EndsWithoutWriting, WritesAndEnds, WritesAndShowsScene };

struct KeyCase {
    const char* name;
    int tabsFirst;           // Tab presses after the dialog opens (focus starts on OK)
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    Outcome outcome;
};

const KeyCase KeyCases[] = {
    {"EscapeOnOpen", 0, Qt::Key_Escape, Qt::NoModifier, Outcome::EndsWithoutWriting},
    {"EscapeWithFocusOnTest", 2, Qt::Key_Escape, Qt::NoModifier, Outcome::EndsWithoutWriting},
    {"EnterOnOpen", 0, Qt::Key_Return, Qt::NoModifier, Outcome::WritesAndEnds},
    {"KeypadEnterOnOpen", 0, Qt::Key_Enter, Qt::KeypadModifier, Outcome::WritesAndEnds},
    {"EnterOnCancel", 1, Qt::Key_Return, Qt::NoModifier, Outcome::EndsWithoutWriting},
    {"EnterOnTest", 2, Qt::Key_Return, Qt::NoModifier, Outcome::WritesAndShowsScene},
    {"SpaceOnOk", 0, Qt::Key_Space, Qt::NoModifier, Outcome::WritesAndEnds},
    {"SpaceOnCancel", 1, Qt::Key_Space, Qt::NoModifier, Outcome::EndsWithoutWriting},
    {"SpaceOnTest", 2, Qt::Key_Space, Qt::NoModifier, Outcome::WritesAndShowsScene},
    {"TabsAllRoundThenEnterOnOk", 3, Qt::Key_Return, Qt::NoModifier, Outcome::WritesAndEnds},
};

void PrintTo(const KeyCase& c, std::ostream* os)
{
    *os << c.name;
}

class DialogKeyTest : public DialogWithScreenTest, public ::testing::WithParamInterface<KeyCase> {};

} // namespace

TEST_P(DialogKeyTest, KeyHasItsButtonsEffect)
{
    const KeyCase& c = GetParam();
    bool sceneShown = false;
    const bool ended = RunProgram([&] {
        for (int i = 0; i < c.tabsFirst; ++i)
            TypeKey(CfgFrm, Qt::Key_Tab);
        TypeKey(CfgFrm, c.key, c.modifiers);
        sceneShown = ScrnFrm->Visible();
    });

    switch (c.outcome) {
    case Outcome::EndsWithoutWriting:
        EXPECT_TRUE(ended);
        EXPECT_FALSE(IniExists());
        EXPECT_FALSE(sceneShown);
        break;
    case Outcome::WritesAndEnds:
        EXPECT_TRUE(ended);
        EXPECT_EQ(IniContent(), QByteArray(WrittenByOk));
        EXPECT_FALSE(sceneShown);
        break;
    case Outcome::WritesAndShowsScene:
        EXPECT_FALSE(ended);
        EXPECT_EQ(IniContent(), QByteArray(WrittenByOk));
        EXPECT_TRUE(sceneShown);
        break;
    }
    EXPECT_TRUE(m_boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(Keys, DialogKeyTest, ::testing::ValuesIn(KeyCases),
                         [](const ::testing::TestParamInfo<KeyCase>& param) { return std::string(param.param.name); });

TEST_F(DialogWithScreenTest, FocusStartsOnOkAndTabSkipsTheHiddenRadioGroup)
{
    std::vector<QWidget*> forward;
    std::vector<QWidget*> backward;
    RunProgram([&] {
        forward.push_back(QApplication::focusWidget());
        for (int i = 0; i < 3; ++i) {
            TypeKey(CfgFrm, Qt::Key_Tab);
            forward.push_back(QApplication::focusWidget());
        }
        for (int i = 0; i < 3; ++i) {
            TypeKey(CfgFrm, Qt::Key_Backtab, Qt::ShiftModifier);
            backward.push_back(QApplication::focusWidget());
        }
    });
    QWidget* ok = QtWidget(CfgFrm->btnOK);
    QWidget* cancel = QtWidget(CfgFrm->btnCancel);
    QWidget* test = QtWidget(CfgFrm->btnTest);
    const std::vector<QWidget*> expectedForward{ok, cancel, test, ok};
    const std::vector<QWidget*> expectedBackward{test, cancel, ok};
    EXPECT_EQ(forward, expectedForward);
    EXPECT_EQ(backward, expectedBackward);
}

TEST_F(DialogWithScreenTest, CloseBoxEndsTheProgramWithoutWriting)
{
    bool stillShown = false;
    const bool ended = RunProgram([&] {
        // The window system's close request, as the close box or Alt+F4 sends it.
        QCloseEvent closeRequest;
        QCoreApplication::sendEvent(QtWidget(*CfgFrm)->windowHandle(), &closeRequest);
        stillShown = CfgFrm->Visible();
    });
    EXPECT_TRUE(ended);
    EXPECT_FALSE(IniExists());
    EXPECT_TRUE(m_boxes.empty());
    // The main form is not hidden by the close; the program ends with it shown.
    EXPECT_TRUE(stillShown);
}

TEST_F(DialogWithScreenTest, WidgetCloseEndsTheProgramWithoutWriting)
{
    const bool ended = RunProgram([&] { QtWidget(*CfgFrm)->close(); });
    EXPECT_TRUE(ended);
    EXPECT_FALSE(IniExists());
}

TEST_F(DialogWithScreenTest, OkWritesTheRadioGroupsIndexNotAFixedValue)
{
    CfgFrm->RadioGroup1.SetItemIndex(0);
    const bool ended = RunProgram([&] { TypeKey(CfgFrm, Qt::Key_Return); });
    EXPECT_TRUE(ended);
    EXPECT_EQ(IniContent(), QByteArray("[Config]\nType=0\n"));
}

TEST_F(DialogWithScreenTest, OkReplacesTypeAndKeepsTheRestOfTheFile)
{
    // A section spelt in lower case is the same section; its other keys and the other
    // sections stay as they are.
    WriteIni("[Other]\nA=1\n[config]\nType=7\nB=2\n");
    const bool ended = RunProgram([&] { TypeKey(CfgFrm, Qt::Key_Return); });
    EXPECT_TRUE(ended);
    const QList<QByteArray> lines = IniContent().split('\n');
    ASSERT_GE(lines.size(), 5);
    EXPECT_EQ(lines[0], "[Other]");
    EXPECT_EQ(lines[1], "A=1");
    EXPECT_EQ(lines[2].toLower(), "[config]");
    EXPECT_EQ(lines[3], "Type=-1");
    EXPECT_EQ(lines[4], "B=2");
    EXPECT_EQ(IniContent().count("[Config]") + IniContent().count("[config]"), 1);
}

TEST_F(DialogWithScreenTest, OpeningTheDialogCreatesNoFile)
{
    RunProgram([] {});
    EXPECT_FALSE(IniExists());
}
