// The screen window: its stored properties, what FormShow leaves behind and FormHide
// undoes, the main-window rule, the frames the ticks copy, and a failing tick.
#include "../window/GuiTestSupport.h"

#include "platform/window/Cursor.h"
#include "platform/window/TApplication.h"
#include "scene/SyntheticCatalogue.h"
#include "screen/TScrnFrm.h"

#include <QCursor>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <gtest/gtest.h>
#include <memory>

namespace {

const QRect Primary(0, 0, 1280, 1024);

class ScreenFormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        StartPos = TPoint{0, 0};
        QCursor::setPos(700, 600);
        Settle();   // offscreen turns setPos into a queued pointer move
    }
};

TEST_F(ScreenFormTest, CreatedHiddenWithTheStoredProperties)
{
    TApplication app;
    TForm dialog;
    TScrnFrm screen(JpegDepth::TrueColour);
    EXPECT_FALSE(screen.Visible());
    EXPECT_EQ(QtWidget(screen)->windowTitle(), QStringLiteral("ScrnFrm"));
    EXPECT_EQ(QtWidget(screen)->geometry(), QRect(197, 164, 744, 446));
    EXPECT_EQ(screen.ClientWidth(), 744);
    EXPECT_EQ(screen.ClientHeight(), 446);
    EXPECT_TRUE(QtWidget(screen)->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(QtWidget(screen)->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_EQ(QtWidget(screen)->palette().color(QPalette::Window), QColor(Qt::black));
    EXPECT_EQ(screen.WindowState(), TWindowState::Normal);
    EXPECT_TRUE(screen.TransparencyActive());   // offscreen shows the key
    EXPECT_EQ(screen.tmrTick.Interval(), 100);
    EXPECT_FALSE(screen.tmrTick.Enabled());
    EXPECT_FALSE(screen.tmrTick.Running());
    EXPECT_EQ(app.MainForm(), &dialog);
    // The 28 holders with the catalogue's sizes.
    EXPECT_EQ(screen.Pictures().Image(1).Width(), 2000);
    EXPECT_EQ(screen.Pictures().Image(24).Height(), 41);
}

TEST_F(ScreenFormTest, FormShowLeavesItsStateBehindAndFormHideUndoesIt)
{
    TApplication app;
    TForm dialog;
    TScrnFrm screen(JpegDepth::TrueColour);
    const int count = CursorDisplayCount();
    QCursor::setPos(431, 257);
    Settle();   // offscreen turns setPos into a queued pointer move
    screen.Show();
    EXPECT_EQ(StartPos.X, 431);
    EXPECT_EQ(StartPos.Y, 257);
    EXPECT_EQ(screen.tmrTick.Interval(), 100);
    EXPECT_TRUE(screen.tmrTick.Enabled());
    EXPECT_TRUE(screen.tmrTick.Running());
    EXPECT_TRUE(app.HasOnMessage());
    EXPECT_EQ(CursorDisplayCount(), count - 1);
    EXPECT_TRUE(CursorHidden());
    ASSERT_TRUE(WaitFor([&] { return screen.Active(); }));
    EXPECT_EQ(screen.WindowState(), TWindowState::Maximized);
    EXPECT_EQ(QtWidget(screen)->geometry(), Primary);

    // FormHide empties the slot whatever it holds.
    app.SetOnMessage([](TMsg&, bool&) {});
    screen.Close();
    EXPECT_FALSE(screen.Visible());
    EXPECT_FALSE(app.HasOnMessage());
    EXPECT_FALSE(screen.tmrTick.Enabled());
    EXPECT_FALSE(screen.tmrTick.Running());
    EXPECT_EQ(CursorDisplayCount(), count);
    EXPECT_FALSE(CursorHidden());
    EXPECT_EQ(screen.WindowState(), TWindowState::Maximized);
}

TEST_F(ScreenFormTest, EveryShowTakesAFreshStartPositionAndComesUpMaximized)
{
    TApplication app;
    TForm dialog;
    QtWidget(dialog)->setGeometry(300, 300, 200, 100);
    dialog.Show();
    TScrnFrm screen(JpegDepth::TrueColour);
    screen.Show();
    ASSERT_TRUE(WaitFor([&] { return QtWidget(screen)->geometry() == Primary; }));
    screen.Close();
    ASSERT_TRUE(WaitFor([&] { return dialog.Active(); }));
    QCursor::setPos(900, 33);
    Settle();   // offscreen turns setPos into a queued pointer move
    screen.Show();
    EXPECT_EQ(QtWidget(screen)->geometry(), Primary);
    EXPECT_EQ(StartPos.X, 900);
    EXPECT_EQ(StartPos.Y, 33);
}

TEST_F(ScreenFormTest, HundredShowsLeaveTheCursorCountWhereItWas)
{
    TApplication app;
    TForm dialog;
    QtWidget(dialog)->setGeometry(300, 300, 200, 100);
    dialog.Show();
    ASSERT_TRUE(WaitFor([&] { return dialog.Active(); }));
    TScrnFrm screen(JpegDepth::TrueColour);
    const int count = CursorDisplayCount();
    for (int round = 0; round < 100; ++round) {
        screen.Show();
        ASSERT_TRUE(WaitFor([&] { return screen.Active(); })) << "round " << round;
        ASSERT_EQ(CursorDisplayCount(), count - 1);
        QTest::keyClick(QtWidget(screen)->windowHandle(), Qt::Key_Space);
        ASSERT_FALSE(screen.Visible()) << "round " << round;
        // The dialog is active again.
        ASSERT_TRUE(WaitFor([&] { return dialog.Active(); })) << "round " << round;
    }
    EXPECT_EQ(CursorDisplayCount(), count);
    EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
}

TEST_F(ScreenFormTest, AsTheMainFormInputEndsTheLoopAndDestructionHidesIt)
{
    auto app = std::make_unique<TApplication>();
    auto screen = std::make_unique<TScrnFrm>(JpegDepth::TrueColour);
    TForm dialog;   // made second, as in screen-saver mode
    ASSERT_EQ(app->MainForm(), screen.get());
    const int count = CursorDisplayCount();
    bool wasShown = false;
    QTimer::singleShot(100, [&] {
        wasShown = screen->Visible();
        QTest::keyClick(QtWidget(*screen)->windowHandle(), Qt::Key_Q);
        // The quit request is posted: the show goes on until the loop takes it, and
        // more input only asks again.
        EXPECT_TRUE(screen->Visible());
        QTest::keyClick(QtWidget(*screen)->windowHandle(), Qt::Key_W);
    });
    QTimer deadline;
    deadline.setSingleShot(true);
    bool expired = false;
    QObject::connect(&deadline, &QTimer::timeout, [&] {
        expired = true;
        QCoreApplication::exit(1);
    });
    deadline.start(10000);
    EXPECT_EQ(app->Run(), 0);
    deadline.stop();
    EXPECT_FALSE(expired);
    EXPECT_TRUE(wasShown);
    EXPECT_TRUE(app->Terminated());
    EXPECT_FALSE(dialog.Visible());
    // Ending: still shown, hook, timer and hidden cursor in place.
    EXPECT_TRUE(screen->Visible());
    EXPECT_TRUE(app->HasOnMessage());
    EXPECT_TRUE(screen->tmrTick.Running());
    EXPECT_EQ(CursorDisplayCount(), count - 1);

    screen.reset();   // program end: hidden first, so FormHide runs
    EXPECT_FALSE(app->HasOnMessage());
    EXPECT_EQ(CursorDisplayCount(), count);
    EXPECT_FALSE(CursorHidden());
}

TEST_F(ScreenFormTest, TicksCopyTheSceneToTheWindow)
{
    TApplication app;
    TForm dialog;
    const Bytes form = SyntheticForm();
    TScrnFrm screen(form, JpegDepth::TrueColour);
    screen.Show();
    ASSERT_TRUE(WaitFor([&] { return QtWidget(screen)->geometry() == Primary; }));
    // The first frames come from the initial plan: sky Image1 over rows 0 to 499,
    // banner Image24 at (1280 - 329, 1024 - 42), black ground elsewhere.
    ASSERT_TRUE(WaitFor([&] { return screen.Surface().FramesShown() > 0 && FrameImage(screen.Surface()).size() == QSize(1280, 1024); }));
    const QImage shown = FrameImage(screen.Surface());
    EXPECT_TRUE(Near(shown.pixel(1000, 50), LayerColour(1), StandInError));
    EXPECT_TRUE(Near(shown.pixel(1250, 400), LayerColour(1), StandInError));
    EXPECT_TRUE(Near(shown.pixel(951 + 10, 982 + 10), LayerColour(24), StandInError));
    EXPECT_EQ(shown.pixel(640, 700), Black);
    EXPECT_EQ(shown.pixel(1279, 1023), Black);   // the banner keeps one pixel of margin
    // The ticks go on while shown.
    const int countdown = NightScene.Plan.CycleCountdown;
    EXPECT_TRUE(WaitFor([&] { return NightScene.Plan.CycleCountdown <= countdown - 3; }));
    EXPECT_EQ(screen.tmrTick.Interval(), 100);
}

TEST_F(ScreenFormTest, WindowKeyIsExactlyDarkGreen)
{
    TApplication app;
    TForm dialog;
    const Bytes form = SyntheticForm();
    TScrnFrm screen(form, JpegDepth::TrueColour);
    screen.Show();
    screen.tmrTick.SetEnabled(false);   // only the copy below reaches the window
    ASSERT_TRUE(WaitFor([&] { return QtWidget(screen)->geometry() == Primary; }));
    Raster frame(1280, 1024);
    frame.SetPixel(0, 0, Rgb(0, 128, 0));
    frame.SetPixel(1, 0, Rgb(0, 127, 0));
    frame.SetPixel(2, 0, Rgb(0, 129, 0));
    frame.SetPixel(3, 0, Rgb(0, 255, 0));   // the pictures' own key is no window key
    const int framesBefore = screen.Surface().FramesShown();
    screen.Surface().CopyFrame(frame);
    ASSERT_TRUE(WaitFor([&] { return screen.Surface().FramesShown() > framesBefore; }));
    const QImage shown = FrameImage(screen.Surface());
    EXPECT_EQ(qAlpha(shown.pixel(0, 0)), 0);
    EXPECT_EQ(shown.pixel(1, 0), Rgb(0, 127, 0));
    EXPECT_EQ(shown.pixel(2, 0), Rgb(0, 129, 0));
    EXPECT_EQ(shown.pixel(3, 0), Rgb(0, 255, 0));
    EXPECT_EQ(shown.pixel(4, 0), White);
}

TEST_F(ScreenFormTest, FailingTickIsReportedAndTheTimerKeepsFiring)
{
    TApplication app;
    app.SetTitle(std::string("Project1"));
    TForm dialog;
    BoxRecorder boxes;
    // The sky Image1 cannot be decoded: its first draw fails, and the decoder does
    // not try again, so later ticks draw what was decoded.
    const Bytes form = SyntheticForm(1);
    TScrnFrm screen(form, JpegDepth::TrueColour);
    screen.Show();
    ASSERT_TRUE(WaitFor([&] { return !boxes.requests.empty(); }));
    EXPECT_EQ(boxes.requests[0].title, std::string("Project1"));
    EXPECT_TRUE(boxes.requests[0].text.starts_with("JPEG error #"));
    EXPECT_TRUE(boxes.requests[0].text.ends_with('.'));
    EXPECT_EQ(boxes.requests[0].icon, TMessageBoxIcon::Error);
    // The failed tick still copied its frame, and the ticks go on.
    EXPECT_GT(screen.Surface().FramesShown(), 0);
    const int countdown = NightScene.Plan.CycleCountdown;
    EXPECT_TRUE(WaitFor([&] { return NightScene.Plan.CycleCountdown <= countdown - 3; }));
    EXPECT_TRUE(screen.tmrTick.Running());
    EXPECT_EQ(boxes.requests.size(), 1u);
}

} // namespace
