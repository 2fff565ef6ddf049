// Start-up: which form is the main window in each mode, and the "Application Error"
// box with exit status 1 when the forms cannot be made.
#include "app/StartUp.h"
#include "config/TCfgFrm.h"
#include "platform/Exception.h"
#include "platform/window/MessageBox.h"
#include "platform/window/TApplication.h"
#include "support/SyntheticCatalogue.h"
#include "screen/TScrnFrm.h"

#include <QRegularExpression>
#include <QTimer>
#include <gtest/gtest.h>
#include <new>
#include <vector>

namespace {

class StartUpTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_previous = SetMessageBoxFunction([this](const TMessageBoxRequest& request) { m_boxes.push_back(request); });
    }
    void TearDown() override { SetMessageBoxFunction(m_previous); }

    static const Bytes& GoodForm()
    {
        static const Bytes form = SyntheticForm();
        return form;
    }

    // The stored form with the castle Image6's BMP made invalid.
    static Bytes FormWithBadBitmap()
    {
        Bytes form = GoodForm();
        // Blocks 1 to 5 are skies; find the sixth block's data and spoil its "BM".
        std::size_t offset = 0;
        for (int holder = 1; holder < 6; ++holder) {
            const std::size_t nameLength = form[offset];
            const std::size_t sizeAt = offset + 1 + nameLength;
            const std::uint32_t size = form[sizeAt] | (form[sizeAt + 1] << 8) | (form[sizeAt + 2] << 16) |
                                       (static_cast<std::uint32_t>(form[sizeAt + 3]) << 24);
            offset = sizeAt + 4 + size;
        }
        const std::size_t data = offset + 1 + form[offset] + 4;
        EXPECT_EQ(form[data], 'B');
        form[data + 1] = 'X';
        return form;
    }

    int Run(std::vector<const char*> argv, const Bytes& form, std::function<void()> whileRunning = {})
    {
        if (whileRunning) {
            QTimer::singleShot(0, [whileRunning] {
                whileRunning();
                Application->Terminate();
            });
        }
        return RunProject1(static_cast<int>(argv.size()), argv.data(), form);
    }

    MessageBoxFunction m_previous;
    std::vector<TMessageBoxRequest> m_boxes;
};

TEST_F(StartUpTest, ScreenSaverModeMakesTheScreenWindowTheMainWindow)
{
    bool checked = false;
    const int status = Run({"/usr/bin/Project1", "/s"}, GoodForm(), [&] {
        ASSERT_NE(ScrnFrm, nullptr);
        ASSERT_NE(CfgFrm, nullptr);
        EXPECT_EQ(Application->MainForm(), ScrnFrm);
        EXPECT_FALSE(CfgFrm->Visible());
        EXPECT_EQ(Application->Title(), "Project1");
        checked = true;
    });
    EXPECT_TRUE(checked);
    EXPECT_EQ(status, 0);
    EXPECT_TRUE(m_boxes.empty());
    EXPECT_EQ(ScrnFrm, nullptr);
    EXPECT_EQ(CfgFrm, nullptr);
}

TEST_F(StartUpTest, AnyOtherStartMakesTheDialogTheMainWindow)
{
    for (const char* argument : {"/c", "/p", "-s", "/SS"}) {
        bool checked = false;
        const int status = Run({"/opt/MYSAVER.SCR", argument}, GoodForm(), [&] {
            EXPECT_EQ(Application->MainForm(), CfgFrm) << argument;
            EXPECT_TRUE(CfgFrm->Visible()) << argument;
            EXPECT_FALSE(ScrnFrm->Visible()) << argument;
            EXPECT_EQ(Application->Title(), "Mysaver");
            checked = true;
        });
        EXPECT_TRUE(checked) << argument;
        EXPECT_EQ(status, 0);
    }
}

TEST_F(StartUpTest, CorruptPictureBlockGivesTheApplicationErrorBoxAndStatusOne)
{
    for (const char* argument : {"/S", "/c"}) {
        m_boxes.clear();
        const int status = Run({"/usr/local/bin/MYSAVER.SCR", argument}, FormWithBadBitmap());
        EXPECT_EQ(status, 1) << argument;
        ASSERT_EQ(m_boxes.size(), 1u) << argument;
        const TMessageBoxRequest& box = m_boxes[0];
        EXPECT_EQ(box.title, "Application Error");
        EXPECT_EQ(box.icon, TMessageBoxIcon::Error);
        EXPECT_TRUE(box.taskModal);
        const QRegularExpression expected(
            QStringLiteral("^Exception EInvalidGraphic in module MYSAVER\\.SCR at [0-9A-F]{16}\\.\n"
                           "Bitmap image is not valid\\.$"));
        EXPECT_TRUE(expected.match(QString::fromStdString(box.text)).hasMatch()) << box.text;
        EXPECT_EQ(ScrnFrm, nullptr);
        EXPECT_EQ(CfgFrm, nullptr);
    }
}

TEST_F(StartUpTest, ShortStoredFormIsAStreamReadError)
{
    Bytes form = GoodForm();
    form.resize(form.size() / 2);
    EXPECT_EQ(Run({"Project1", "/S"}, form), 1);
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_TRUE(m_boxes[0].text.starts_with("Exception EReadError in module Project1 at "));
    EXPECT_TRUE(m_boxes[0].text.ends_with("\nStream read error."));
}

TEST(StartUpErrorText, AddsAFullStopOnlyWhereThereIsNone)
{
    const std::string withStop = StartUpErrorText(EInvalidGraphic("Done."), "P", nullptr);
    EXPECT_TRUE(withStop.ends_with("\nDone.")) << withStop;
    const std::string empty = StartUpErrorText(Exception(""), "P", nullptr);
    EXPECT_TRUE(empty.ends_with("\n.")) << empty;
    const std::string memory = StartUpErrorText(std::bad_alloc(), "P", reinterpret_cast<const void*>(0x1234));
    EXPECT_EQ(memory, "Exception EOutOfMemory in module P at 0000000000001234.\nOut of memory.");
    EXPECT_STREQ(ErrorClassName(std::runtime_error("x")), "Exception");
}

} // namespace
