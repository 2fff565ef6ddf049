// Test... and OK against the screen window and against a settings file that cannot be
// written: the scene comes and goes, errors reach the error report, the dialog lives on.
#include "support/DialogFixture.h"

#include "config/TCfgFrm.h"
#include "platform/profile/SystemDirectory.h"
#include "platform/profile/TIniFile.h"
#include "platform/window/Cursor.h"
#include "platform/window/TApplication.h"
#include "screen/TScrnFrm.h"

#include <QApplication>
#include <QCursor>
#include <QTest>

namespace {

constexpr char WrittenByTest[] = "[Config]\nType=-1\n";

// Moves the pointer over the shown screen window by (dx, dy) from where it is now.
void MovePointerBy(int dx, int dy)
{
    const QPoint target = QCursor::pos() + QPoint(dx, dy);
    QTest::mouseMove(QtWidget(*ScrnFrm)->windowHandle(), QtWidget(*ScrnFrm)->mapFromGlobal(target));
}

} // namespace

TEST_F(DialogWithScreenTest, TestShowsTheSceneAgainAfterAMouseMoveEndedIt)
{
    const int cursorCountBefore = CursorDisplayCount();
    bool firstShown = false, hiddenByMove = false, dialogActiveAgain = false, secondShown = false;
    bool secondHiddenByMove = false;
    RunProgram([&] {
        QtWidget(CfgFrm->btnTest)->setFocus();
        TypeKey(CfgFrm, Qt::Key_Return);
        firstShown = ScrnFrm->Visible() && QTest::qWaitForWindowActive(QtWidget(*ScrnFrm));

        MovePointerBy(40, 0);
        hiddenByMove = WaitFor([] { return !ScrnFrm->Visible(); });
        dialogActiveAgain = WaitFor([] { return CfgFrm->Active(); });

        TypeKey(CfgFrm, Qt::Key_Return);
        secondShown = ScrnFrm->Visible() && QTest::qWaitForWindowActive(QtWidget(*ScrnFrm));
        MovePointerBy(0, -40);
        secondHiddenByMove = WaitFor([] { return !ScrnFrm->Visible(); });
    });
    EXPECT_TRUE(firstShown);
    EXPECT_TRUE(hiddenByMove);
    EXPECT_TRUE(dialogActiveAgain);
    EXPECT_TRUE(secondShown);
    EXPECT_TRUE(secondHiddenByMove);
    EXPECT_EQ(IniContent(), QByteArray(WrittenByTest));
    EXPECT_EQ(CursorDisplayCount(), cursorCountBefore);
    EXPECT_TRUE(m_boxes.empty());
}

TEST_F(DialogWithScreenTest, TestOnAnUnwritableFileReportsTheErrorAndShowsNoScene)
{
    // A Windows directory that does not exist: the file cannot be created there.
    SetSystemDirectory((m_systemDir / "missing/windows").string());
    bool sceneShown = true, dialogShown = false, focusStayed = false;
    bool sceneAfterFix = false;
    const bool ended = RunProgram([&] {
        TypeKey(CfgFrm, Qt::Key_Tab);
        TypeKey(CfgFrm, Qt::Key_Tab);
        TypeKey(CfgFrm, Qt::Key_Return);
        sceneShown = ScrnFrm->Visible();
        dialogShown = CfgFrm->Visible();
        focusStayed = QApplication::focusWidget() == QtWidget(CfgFrm->btnTest);

        // The dialog is still usable: once the folder can be written, Test works.
        SetSystemDirectory(m_systemDir.Path().string());
        TypeKey(CfgFrm, Qt::Key_Return);
        sceneAfterFix = ScrnFrm->Visible();
    });
    EXPECT_FALSE(ended);
    EXPECT_FALSE(sceneShown);
    EXPECT_TRUE(dialogShown);
    EXPECT_TRUE(focusStayed);
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].text, std::string("Unable to write to VESKAN.INI."));
    EXPECT_EQ(m_boxes[0].title, TestAppTitle);
    EXPECT_EQ(m_boxes[0].icon, TMessageBoxIcon::Error);
    EXPECT_TRUE(sceneAfterFix);
    EXPECT_EQ(IniContent(), QByteArray(WrittenByTest));
}

TEST_F(DialogWithScreenTest, OkOnAnUnwritableFileReportsTheErrorAndKeepsTheDialogOpen)
{
    SetSystemDirectory((m_systemDir / "missing/windows").string());
    bool dialogShown = false;
    const bool ended = RunProgram([&] {
        TypeKey(CfgFrm, Qt::Key_Return);
        dialogShown = CfgFrm->Visible();
    });
    EXPECT_FALSE(ended);
    EXPECT_TRUE(dialogShown);
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].text, std::string("Unable to write to VESKAN.INI."));
    EXPECT_EQ(m_boxes[0].title, TestAppTitle);
    EXPECT_FALSE(IniExists());
}

TEST_F(DialogWithScreenTest, HandlersCalledDirectlyRaiseTheWriteError)
{
    // Without the click binding the error is not caught: it is the binding that
    // reports it.
    SetSystemDirectory((m_systemDir / "missing").string());
    EXPECT_THROW(CfgFrm->SaveSettings(), EIniFileException);
    EXPECT_THROW(CfgFrm->btnTestClick(&CfgFrm->btnTest), EIniFileException);
    EXPECT_FALSE(ScrnFrm->Visible());
    EXPECT_TRUE(m_boxes.empty());
    try {
        CfgFrm->SaveSettings();
    } catch (const EIniFileException& error) {
        EXPECT_STREQ(error.what(), "Unable to write to VESKAN.INI");
    }
}
