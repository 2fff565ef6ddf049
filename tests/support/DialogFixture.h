// Test fixtures for the configuration dialog: a fresh application with the dialog as
// its main form, the settings file in a temporary folder, message boxes recorded.
#pragma once

#include "support/GuiTestSupport.h"
#include "platform/window/MessageBox.h"
#include "platform/window/TApplication.h"
#include "platform/window/qt/GlyphButton.h"
#include "platform/window/qt/RadioGroupBox.h"
#include "support/TempFolder.h"

#include <QByteArray>
#include <QImage>
#include <QString>
#include <Qt>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <vector>

class TForm;
class TLabel;
class TBitBtn;
class TRadioGroup;
class QLabel;

// A key press and release through the window system, as a person types it: the
// window's focus widget receives it and the application's filter sees it.
void TypeKey(const TForm* form, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

// The application title the fixture gives the error report.
inline const std::string TestAppTitle = "Project1";

class DialogTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Whether the fixture also makes the screen window (second, so a secondary form).
    virtual bool WithScreenWindow() const { return false; }

    // The settings file in the folder that stands for the Windows directory.
    bool IniExists() const;
    QByteArray IniContent() const;
    void WriteIni(const QByteArray& content) const;

    // Shows the dialog as the message loop would and waits until it is active.
    void ShowDialog();

    // Runs the application's loop; once the main form is shown and active, runs steps.
    // If the steps leave the program running, the test ends the loop itself.
    // Returns true when the program asked to end (the dialog closed as main form).
    bool RunProgram(const std::function<void()>& steps);

    std::vector<TMessageBoxRequest> m_boxes;
    const TempFolder m_systemDir{"veskan-dialog"};

private:
    std::unique_ptr<TApplication> m_application;
    MessageBoxFunction m_previousBoxes;
};

// The dialog together with the screen window, as configuration mode makes them.
class DialogWithScreenTest : public DialogTest {
protected:
    bool WithScreenWindow() const override { return true; }
};

// The Qt widgets behind the dialog's components.
QLabel* LabelWidget(const TLabel& label);
GlyphButton* ButtonWidget(const TBitBtn& button);
RadioGroupBox* GroupWidget(const TRadioGroup& group);

// The pictures as committed in assets/, read straight from the files.
QImage AssetPicture(const char* fileName);
