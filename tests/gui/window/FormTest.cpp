// Forms: the main-window rule, the order of the show, activate and hide events, the
// maximized state on each monitor, placement onto the active monitor, the flags.
#include "support/GuiTestSupport.h"

#include "platform/window/MessageBox.h"
#include "platform/window/TApplication.h"
#include "platform/window/TForm.h"

#include <QApplication>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

// The two screens of the test configuration (two-screens.json).
const QRect Primary(0, 0, 1280, 1024);
const QRect Right(1280, 0, 1024, 768);

// Ends a loop that would otherwise hang a failing test.
class LoopDeadline {
public:
    LoopDeadline()
    {
        m_timer.setSingleShot(true);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            expired = true;
            QCoreApplication::exit(1);
        });
        m_timer.start(10000);
    }
    bool expired = false;

private:
    QTimer m_timer;
};

TEST(FormScreens, TestConfigurationHasTwoScreens)
{
    const auto screens = QGuiApplication::screens();
    ASSERT_EQ(screens.size(), 2);
    EXPECT_EQ(screens[0]->geometry(), Primary);
    EXPECT_EQ(screens[1]->geometry(), Right);
}

TEST(MainWindowRule, FirstFormMadeIsTheMainForm)
{
    TApplication app;
    TForm first;
    TForm second;
    EXPECT_EQ(app.MainForm(), &first);
    EXPECT_FALSE(first.Visible());
    EXPECT_FALSE(second.Visible());
}

TEST(MainWindowRule, RunShowsTheMainFormAndClosingItEndsTheLoop)
{
    TApplication app;
    TForm main;
    TForm other;
    QtWidget(main)->setGeometry(100, 100, 200, 150);
    bool shownInLoop = false;
    bool otherHidden = false;
    bool stillRunning = false;
    QTimer::singleShot(0, [&] {
        shownInLoop = main.Visible();
        other.Show();
        QtWidget(other)->close();   // the window system's close request: only hides
        otherHidden = !other.Visible();
        QTimer::singleShot(50, [&] {
            stillRunning = true;
            QtWidget(main)->close();
            // The quit request is posted: the window stays until the loop takes it.
            EXPECT_TRUE(main.Visible());
        });
    });
    LoopDeadline deadline;
    EXPECT_EQ(app.Run(), 0);
    EXPECT_FALSE(deadline.expired);
    EXPECT_TRUE(shownInLoop);
    EXPECT_TRUE(otherHidden);
    EXPECT_TRUE(stillRunning);
    EXPECT_TRUE(app.Terminated());
}

TEST(MainWindowRule, QuitRequestTakenByAMessageBoxWaitsUntilItIsAcknowledged)
{
    TApplication app;
    TForm main;
    bool boxUpAfterTheQuitRequest = false;
    bool boxReturned = false;
    QTimer::singleShot(0, [&] {
        QTimer::singleShot(0, [&] {
            main.Close();
            // Queued behind the quit request, and queued once more from there: by then
            // the box's loop has taken the request and gone round again, had it ended.
            QMetaObject::invokeMethod(
                qApp,
                [&] {
                    QMetaObject::invokeMethod(
                        qApp,
                        [&] {
                            QWidget* box = QApplication::activeModalWidget();
                            boxUpAfterTheQuitRequest = box && box->isVisible();
                            if (box)
                                QTest::keyClick(box, Qt::Key_Return);
                        },
                        Qt::QueuedConnection);
                },
                Qt::QueuedConnection);
        });
        ShowMessageBox({std::string("Project1"), std::string("Error."), TMessageBoxIcon::Error, false});
        boxReturned = true;
    });
    LoopDeadline deadline;
    EXPECT_EQ(app.Run(), 0);
    EXPECT_FALSE(deadline.expired);
    EXPECT_TRUE(boxUpAfterTheQuitRequest);
    EXPECT_TRUE(boxReturned);
}

TEST(MainWindowRule, CloseOfTheMainFormPostsTheQuitRequest)
{
    TApplication app;
    TForm main;
    QTimer::singleShot(0, [&] { main.Close(); });
    LoopDeadline deadline;
    EXPECT_EQ(app.Run(), 0);
    EXPECT_FALSE(deadline.expired);
}

class FormEvents : public ::testing::Test {
protected:
    void SetUp() override
    {
        QtWidget(form)->setGeometry(200, 200, 300, 200);
        form.OnShow = [this] {
            // The window is not on the screen yet.
            log.push_back(QtWidget(form)->windowHandle() && QtWidget(form)->windowHandle()->isVisible() ? "show-late" : "show");
        };
        form.OnActivate = [this] { log.push_back("activate"); };
        form.OnHide = [this] {
            // Still on the screen.
            log.push_back(QtWidget(form)->windowHandle() && QtWidget(form)->windowHandle()->isVisible() ? "hide" : "hide-late");
        };
    }
    std::vector<std::string> log;   // outlives the forms, whose destruction may hide them
    TApplication app;
    TForm main;   // the main form, so that form closes by hiding
    TForm form;
};

TEST_F(FormEvents, ShowThenActivateThenHide)
{
    form.Show();
    ASSERT_TRUE(WaitFor([&] { return log.size() >= 2; }));
    EXPECT_EQ(log, (std::vector<std::string>{"show", "activate"}));
    form.Close();
    EXPECT_FALSE(form.Visible());
    EXPECT_EQ(log, (std::vector<std::string>{"show", "activate", "hide"}));
    // Showing a shown form, hiding a hidden one: no events.
    form.Hide();
    EXPECT_EQ(log.size(), 3u);
}

TEST_F(FormEvents, ShowingAgainRunsTheEventsAgain)
{
    // The main form takes the activation back after each hide.
    QtWidget(main)->setGeometry(50, 50, 100, 100);
    main.Show();
    ASSERT_TRUE(WaitFor([&] { return main.Active(); }));
    for (int round = 0; round < 3; ++round) {
        form.Show();
        ASSERT_TRUE(WaitFor([&] { return form.Active(); })) << "round " << round;
        form.Show();
        form.Hide();
        ASSERT_TRUE(WaitFor([&] { return main.Active(); })) << "round " << round;
    }
    Settle();
    EXPECT_EQ(std::count(log.begin(), log.end(), "show"), 3);
    EXPECT_EQ(std::count(log.begin(), log.end(), "activate"), 3);
    EXPECT_EQ(std::count(log.begin(), log.end(), "hide"), 3);
}

TEST_F(FormEvents, ErrorInOnShowIsReportedAndTheFormStillShows)
{
    BoxRecorder boxes;
    app.SetTitle(std::string("Formtest"));
    form.OnShow = [] { throw std::runtime_error("Not enough timers available"); };
    form.Show();
    EXPECT_TRUE(form.Visible());
    ASSERT_EQ(boxes.requests.size(), 1u);
    EXPECT_EQ(boxes.requests[0].text, std::string("Not enough timers available."));
    EXPECT_EQ(boxes.requests[0].title, std::string("Formtest"));
    EXPECT_EQ(boxes.requests[0].icon, TMessageBoxIcon::Error);
}

TEST_F(FormEvents, HidingTheActiveFormActivatesAnotherOne)
{
    QtWidget(main)->setGeometry(50, 50, 100, 100);
    main.Show();
    ASSERT_TRUE(WaitFor([&] { return main.Active(); }));
    form.Show();
    ASSERT_TRUE(WaitFor([&] { return form.Active(); }));
    form.Close();
    EXPECT_TRUE(WaitFor([&] { return main.Active(); }));
}

TEST(FormFlags, BorderlessAndStayOnTop)
{
    TApplication app;
    TForm form;
    EXPECT_FALSE(QtWidget(form)->windowFlags() & Qt::FramelessWindowHint);
    form.SetBorderStyle(TBorderStyle::None);
    form.SetStayOnTop(true);
    EXPECT_TRUE(QtWidget(form)->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(QtWidget(form)->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(QtWidget(form)->isWindow());
}

struct MaximizeCase {
    const char* name;
    QRect start;
    QRect monitor;
};

void PrintTo(const MaximizeCase& c, std::ostream* os)
{
    *os << c.name;
}


class Maximize : public ::testing::TestWithParam<MaximizeCase> {};

const MaximizeCase MaximizeCases[] = {
    {"PrimaryMonitor", QRect(197, 164, 744, 446), Primary},
    {"RightMonitor", QRect(1400, 100, 300, 200), Right},
};

TEST_P(Maximize, CoversTheWholeMonitorAndSurvivesHiding)
{
    const MaximizeCase& c = GetParam();
    TApplication app;
    TForm main;
    TForm form;
    form.SetBorderStyle(TBorderStyle::None);
    QtWidget(form)->setGeometry(c.start);
    form.Show();
    EXPECT_EQ(QtWidget(form)->geometry(), c.start);
    form.SetWindowState(TWindowState::Maximized);
    EXPECT_EQ(form.WindowState(), TWindowState::Maximized);
    EXPECT_TRUE(WaitFor([&] { return QtWidget(form)->geometry() == c.monitor; })) << "geometry";
    EXPECT_EQ(form.ClientWidth(), c.monitor.width());
    EXPECT_EQ(form.ClientHeight(), c.monitor.height());

    form.Hide();
    EXPECT_EQ(form.WindowState(), TWindowState::Maximized);
    form.Show();
    // Maximized at once, before any activation.
    EXPECT_EQ(QtWidget(form)->geometry(), c.monitor);
    Settle();
    EXPECT_EQ(QtWidget(form)->geometry(), c.monitor);
}

INSTANTIATE_TEST_SUITE_P(Monitors, Maximize, ::testing::ValuesIn(MaximizeCases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(Maximize, SetWhileHiddenAppliesAtTheNextShow)
{
    TApplication app;
    TForm main;
    TForm form;
    form.SetBorderStyle(TBorderStyle::None);
    QtWidget(form)->setGeometry(197, 164, 744, 446);
    form.SetWindowState(TWindowState::Maximized);
    EXPECT_FALSE(form.Visible());
    form.Show();
    EXPECT_EQ(QtWidget(form)->geometry(), Primary);
}

struct PlacementCase {
    const char* name;
    QRect dialog;      // the active form
    QRect start;       // the form being shown
    QPoint expected;   // where it comes up
};

void PrintTo(const PlacementCase& c, std::ostream* os)
{
    *os << c.name;
}


class PlacementOnActiveMonitor : public ::testing::TestWithParam<PlacementCase> {};

const PlacementCase PlacementCases[] = {
    // Same monitor: the form stays where it is.
    {"SameMonitor", QRect(300, 300, 200, 100), QRect(197, 164, 744, 446), QPoint(197, 164)},
    // Offset (197, 164) kept from the right monitor's corner (1280, 0).
    {"KeepsOffset", QRect(1500, 200, 200, 100), QRect(197, 164, 744, 446), QPoint(1477, 164)},
    // (1000, 600) would stick out: pulled back to 1280 + 1024 - 744 and 768 - 446.
    {"PulledBackInside", QRect(1500, 200, 200, 100), QRect(1000, 600, 744, 446), QPoint(1560, 322)},
    // From the right monitor back onto the primary one.
    {"BackToPrimary", QRect(100, 100, 200, 100), QRect(1300, 10, 300, 200), QPoint(20, 10)},
};

TEST_P(PlacementOnActiveMonitor, FormComesUpOnTheMonitorOfTheActiveForm)
{
    const PlacementCase& c = GetParam();
    TApplication app;
    TForm dialog;
    TForm form;
    form.SetBorderStyle(TBorderStyle::None);
    dialog.SetBorderStyle(TBorderStyle::None);
    QtWidget(dialog)->setGeometry(c.dialog);
    dialog.Show();
    ASSERT_TRUE(WaitFor([&] { return dialog.Active(); }));
    QtWidget(form)->setGeometry(c.start);
    form.Show();
    EXPECT_EQ(QtWidget(form)->pos(), c.expected);
    EXPECT_EQ(QtWidget(form)->size(), c.start.size());
}

INSTANTIATE_TEST_SUITE_P(Monitors, PlacementOnActiveMonitor, ::testing::ValuesIn(PlacementCases),
                         [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(PlacementOnActiveMonitor, MaximizedFormMovesToTheActiveMonitor)
{
    TApplication app;
    TForm dialog;
    TForm form;
    form.SetBorderStyle(TBorderStyle::None);
    QtWidget(form)->setGeometry(197, 164, 744, 446);
    form.SetWindowState(TWindowState::Maximized);
    form.Show();
    EXPECT_EQ(QtWidget(form)->geometry(), Primary);
    form.Hide();

    QtWidget(dialog)->setGeometry(1500, 200, 200, 100);
    dialog.Show();
    ASSERT_TRUE(WaitFor([&] { return dialog.Active(); }));
    form.Show();
    EXPECT_EQ(QtWidget(form)->geometry(), Right);
}

} // namespace
