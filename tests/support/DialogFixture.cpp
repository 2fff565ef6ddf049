// The dialog fixtures: application, forms, settings folder and recorded boxes.
#include "support/DialogFixture.h"

#include "config/TCfgFrm.h"
#include "platform/profile/SystemDirectory.h"
#include "platform/window/TApplication.h"
#include "screen/TScrnFrm.h"

#include <QCoreApplication>
#include <QTest>
#include <QTimer>
#include <QLabel>
#include <QWidget>

void TypeKey(const TForm* form, Qt::Key key, Qt::KeyboardModifiers modifiers)
{
    QTest::keyClick(QtWidget(*form)->windowHandle(), key, modifiers);
}

QLabel* LabelWidget(const TLabel& label)
{
    return qobject_cast<QLabel*>(QtWidget(label));
}

GlyphButton* ButtonWidget(const TBitBtn& button)
{
    return qobject_cast<GlyphButton*>(QtWidget(button));
}

RadioGroupBox* GroupWidget(const TRadioGroup& group)
{
    return qobject_cast<RadioGroupBox*>(QtWidget(group));
}

QImage AssetPicture(const char* fileName)
{
    return QImage(QStringLiteral(VESKAN_SOURCE_DIR "/assets/") + QString::fromLatin1(fileName));
}

void DialogTest::SetUp()
{
    SetSystemDirectory(m_systemDir.Path().string());
    m_previousBoxes = SetMessageBoxFunction([this](const TMessageBoxRequest& request) { m_boxes.push_back(request); });

    m_application = std::make_unique<TApplication>();
    m_application->SetTitle(TestAppTitle);
    // Configuration mode: the dialog first, so it is the main form.
    CfgFrm = new TCfgFrm();
    if (WithScreenWindow()) {
        ScrnFrm = new TScrnFrm(JpegDepth::TrueColour);
        // As start-up connects them.
        CfgFrm->ShowScene = [] { ScrnFrm->Show(); };
    }
    ASSERT_EQ(Application->MainForm(), CfgFrm);
}

void DialogTest::TearDown()
{
    delete ScrnFrm;
    ScrnFrm = nullptr;
    delete CfgFrm;
    CfgFrm = nullptr;
    m_application.reset();
    SetMessageBoxFunction(std::move(m_previousBoxes));
    SetSystemDirectory(std::string());
}

bool DialogTest::IniExists() const
{
    return std::filesystem::exists(m_systemDir / "VESKAN.INI");
}

QByteArray DialogTest::IniContent() const
{
    return QByteArray::fromStdString(m_systemDir.Get("VESKAN.INI").value_or(""));
}

void DialogTest::WriteIni(const QByteArray& content) const
{
    ASSERT_TRUE(m_systemDir.Put("VESKAN.INI", content.toStdString()));
}

void DialogTest::ShowDialog()
{
    CfgFrm->Show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(QtWidget(*CfgFrm)));
}

bool DialogTest::RunProgram(const std::function<void()>& steps)
{
    bool stepsRan = false;
    bool endedByTest = false;
    QTimer start;
    start.setSingleShot(true);
    QObject::connect(&start, &QTimer::timeout, [&] {
        const bool active = QTest::qWaitForWindowActive(QtWidget(*CfgFrm));
        EXPECT_TRUE(active) << "the dialog never became active";
        if (active)
            steps();
        stepsRan = true;
        if (!Application->Terminated()) {
            endedByTest = true;
            Application->Terminate();
        }
    });
    // A loop that never ends would hang the test: end it and fail.
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&] {
        ADD_FAILURE() << "the message loop did not end";
        QCoreApplication::exit(1);
    });
    start.start(0);
    guard.start(30000);
    Application->Run();
    EXPECT_TRUE(stepsRan);
    return stepsRan && !endedByTest;
}
