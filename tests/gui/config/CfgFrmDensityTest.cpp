// The dialog built on a 144 pixels-per-inch screen: fonts scaled by 144/96, then every
// position and size, the client area included, by the dialog font's text height / 13.
#include "support/DialogFixture.h"

#include "config/TCfgFrm.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <cmath>

namespace {

struct Place {
    const char* name;
    QRect design;      // at 96 pixels per inch
    QRect forHeight20; // worked by hand for a text height of 20: v * 20 / 13, halves up
};

const Place Places[] = {
    {"btnOK", {9, 35, 72, 34}, {14, 54, 111, 52}},
    {"btnCancel", {9, 75, 72, 34}, {14, 115, 111, 52}},
    {"btnTest", {9, 115, 72, 34}, {14, 177, 111, 52}},
    {"RadioGroup1", {8, 152, 97, 41}, {12, 234, 149, 63}},
};

struct LabelPlace {
    const char* name;
    QPoint design;
    QPoint forHeight20;
    int fontPixels;   // 11 or 24 at 96 pixels per inch, times 1.5 rounded half up
    const char* text;
};

const LabelPlace LabelPlaces[] = {
    {"Label7", {144, 48}, {222, 74}, 36, "TALVEXNET"},
    {"Label3", {144, 80}, {222, 123}, 17, "Windows ScreenSaver"},
    {"Label6", {128, 112}, {197, 172}, 17, "by Mira Kestelyn"},
    {"Label4", {128, 128}, {197, 197}, 17, "Version 1.0"},
    {"Label5", {208, 128}, {320, 197}, 17, "13/10/07"},
    {"Label2", {128, 144}, {197, 222}, 17, "www.talvexnet.example"},
};

// The rule's arithmetic done in floating point, away from the code under test.
int Scaled(int value, int textHeight)
{
    return static_cast<int>(std::floor(value * static_cast<double>(textHeight) / 13.0 + 0.5));
}

QFont SansSerif(int pixels)
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(pixels);
    return font;
}

} // namespace

class DialogDensityTest : public DialogTest {
protected:
    void SetUp() override
    {
        ASSERT_DOUBLE_EQ(QGuiApplication::primaryScreen()->logicalDotsPerInch(), 144.0)
            << "the screen of this test program is configured at 144 pixels per inch";
        DialogTest::SetUp();
        m_textHeight = QFontMetrics(SansSerif(17)).height();
    }
    int m_textHeight = 0;
};

TEST_F(DialogDensityTest, FontsScaleByTheDensityRatio)
{
    EXPECT_EQ(CfgFrm->BuiltForDensity(), 144);
    // 11 * 1.5 = 16.5 rounds up to 17; 24 * 1.5 = 36.
    EXPECT_EQ(QtWidget(*CfgFrm)->font().pixelSize(), 17);
    EXPECT_EQ(ButtonWidget(CfgFrm->btnOK)->font().pixelSize(), 17);
    EXPECT_EQ(LabelWidget(CfgFrm->Label7)->font().pixelSize(), 36);
    EXPECT_EQ(LabelWidget(CfgFrm->Label2)->font().pixelSize(), 17);
    EXPECT_EQ(CfgFrm->ScaleNumerator(), m_textHeight);
    EXPECT_EQ(CfgFrm->ScaleDenominator(), 13);
}

TEST_F(DialogDensityTest, ClientAreaScalesByTextHeightOverThirteen)
{
    EXPECT_EQ(CfgFrm->ClientWidth(), Scaled(313, m_textHeight));
    EXPECT_EQ(CfgFrm->ClientHeight(), Scaled(200, m_textHeight));
    if (m_textHeight == 20) {
        // 313 * 20 / 13 = 481.5 and 200 * 20 / 13 = 307.7.
        EXPECT_EQ(CfgFrm->ClientWidth(), 482);
        EXPECT_EQ(CfgFrm->ClientHeight(), 308);
    }
    EXPECT_EQ(QtWidget(*CfgFrm)->minimumSize(), QtWidget(*CfgFrm)->maximumSize());
}

TEST_F(DialogDensityTest, ControlsScaleByTextHeightOverThirteen)
{
    for (const Place& p : Places) {
        SCOPED_TRACE(p.name);
        auto* control = QtWidget(*CfgFrm)->findChild<QWidget*>(QString::fromLatin1(p.name));
        ASSERT_NE(control, nullptr);
        const QRect expected(Scaled(p.design.x(), m_textHeight), Scaled(p.design.y(), m_textHeight),
                             Scaled(p.design.width(), m_textHeight), Scaled(p.design.height(), m_textHeight));
        EXPECT_EQ(control->geometry(), expected);
        if (m_textHeight == 20) {
            EXPECT_EQ(control->geometry(), p.forHeight20);
        }
    }
    // Pictures are never scaled.
    EXPECT_EQ(ButtonWidget(CfgFrm->btnOK)->CurrentGlyph().size(), QSize(18, 18));
}

TEST_F(DialogDensityTest, LabelsMoveByTheRuleAndFitTheirScaledText)
{
    for (const LabelPlace& p : LabelPlaces) {
        SCOPED_TRACE(p.name);
        auto* label = QtWidget(*CfgFrm)->findChild<QLabel*>(QString::fromLatin1(p.name));
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->pos(), QPoint(Scaled(p.design.x(), m_textHeight), Scaled(p.design.y(), m_textHeight)));
        if (m_textHeight == 20) {
            EXPECT_EQ(label->pos(), p.forHeight20);
        }
        const QFontMetrics metrics(SansSerif(p.fontPixels));
        EXPECT_EQ(label->size(), QSize(metrics.horizontalAdvance(QString::fromLatin1(p.text)), metrics.height()));
    }
}

TEST_F(DialogDensityTest, CentredWithItsScaledSize)
{
    ShowDialog();
    EXPECT_EQ(QtWidget(*CfgFrm)->pos(), QPoint((1280 - QtWidget(*CfgFrm)->width()) / 2, (1024 - QtWidget(*CfgFrm)->height()) / 2));
}
