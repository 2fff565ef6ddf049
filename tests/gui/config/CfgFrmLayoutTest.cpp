// The dialog's frame, layout and colours at 96 pixels per inch on a 1280 x 1024 screen:
// the design geometry exactly, labels fitted to their text, the hidden radio group.
#include "support/DialogFixture.h"

#include "config/TCfgFrm.h"
#include "support/Colour.h"

#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QPalette>
#include <QRadioButton>
#include <QScreen>

namespace {

constexpr QRgb Navy = qRgb(0, 0, 128);
constexpr QRgb Red = qRgb(255, 0, 0);
constexpr QRgb Yellow = qRgb(255, 255, 0);
constexpr QRgb Aqua = qRgb(0, 255, 255);

struct LabelCase {
    const char* name;
    int left, top;
    int fontPixels;
    const char* text;
};

// Positions and texts of the description; the sizes follow the text in the font used.
const LabelCase LabelCases[] = {
    {"Label7", 144, 48, 24, "TALVEXNET"},
    {"Label3", 144, 80, 11, "Windows ScreenSaver"},
    {"Label6", 128, 112, 11, "by Mira Kestelyn"},
    {"Label4", 128, 128, 11, "Version 1.0"},
    {"Label5", 208, 128, 11, "13/10/07"},
    {"Label2", 128, 144, 11, "www.talvexnet.example"},
};

struct ButtonCase {
    const char* name;
    int left, top;
    const char* caption;
};

const ButtonCase ButtonCases[] = {
    {"btnOK", 9, 35, "OK"},
    {"btnCancel", 9, 75, "Cancel"},
    {"btnTest", 9, 115, "Test..."},
};

QSize TextExtent(const char* text, int pixels)
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(pixels);
    const QFontMetrics metrics(font);
    return QSize(metrics.horizontalAdvance(QString::fromLatin1(text)), metrics.height());
}

// Whether some pixel of the rectangle has (nearly) the colour: the ink of the text.
bool HasInk(const QImage& image, const QRect& rect, QRgb colour)
{
    for (int y = rect.top(); y <= rect.bottom(); ++y)
        for (int x = rect.left(); x <= rect.right(); ++x)
            if (Near(image.pixel(x, y), colour, 24))
                return true;
    return false;
}

} // namespace

class DialogLayoutTest : public DialogTest {};

TEST_F(DialogLayoutTest, LabelsSitAtTheirPlacesSizedToTheirText)
{
    for (const LabelCase& c : LabelCases) {
        SCOPED_TRACE(c.name);
        auto* label = QtWidget(*CfgFrm)->findChild<QLabel*>(QString::fromLatin1(c.name));
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->text(), QString::fromLatin1(c.text));
        EXPECT_EQ(label->pos(), QPoint(c.left, c.top));
        EXPECT_EQ(label->size(), TextExtent(c.text, c.fontPixels));
        EXPECT_EQ(label->font().family(), QStringLiteral("MS Sans Serif"));
        EXPECT_EQ(label->font().pixelSize(), c.fontPixels);
        EXPECT_EQ(label->focusPolicy(), Qt::NoFocus);
        EXPECT_EQ(label->textInteractionFlags(), Qt::NoTextInteraction);
        // The whole label lies inside the client area.
        EXPECT_TRUE(QRect(0, 0, 313, 200).contains(label->geometry()));
    }
    EXPECT_EQ(LabelWidget(CfgFrm->Label7), QtWidget(*CfgFrm)->findChild<QLabel*>(QStringLiteral("Label7")));
}

TEST_F(DialogLayoutTest, ButtonsHaveTheirPlacesSizesAndPlainCaptions)
{
    for (const ButtonCase& c : ButtonCases) {
        SCOPED_TRACE(c.name);
        auto* button = QtWidget(*CfgFrm)->findChild<GlyphButton*>(QString::fromLatin1(c.name));
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->geometry(), QRect(c.left, c.top, 72, 34));
        EXPECT_EQ(button->text(), QString::fromLatin1(c.caption));
        EXPECT_EQ(button->font().pixelSize(), 11);
        EXPECT_EQ(button->GlyphSize(), QSize(18, 18));
        EXPECT_EQ(button->focusPolicy(), Qt::StrongFocus);
    }
    EXPECT_TRUE(ButtonWidget(CfgFrm->btnOK)->isDefault());
    EXPECT_FALSE(ButtonWidget(CfgFrm->btnCancel)->isDefault());
    EXPECT_FALSE(ButtonWidget(CfgFrm->btnTest)->isDefault());
}

TEST_F(DialogLayoutTest, WindowIsAFixedDialogWithCloseBoxOnly)
{
    EXPECT_FALSE(CfgFrm->Visible());
    EXPECT_EQ(QtWidget(*CfgFrm)->windowTitle(), QStringLiteral("Configuration"));
    EXPECT_EQ(CfgFrm->ClientWidth(), 313);
    EXPECT_EQ(CfgFrm->ClientHeight(), 200);
    EXPECT_EQ(QtWidget(*CfgFrm)->minimumSize(), QSize(313, 200));
    EXPECT_EQ(QtWidget(*CfgFrm)->maximumSize(), QSize(313, 200));
    const Qt::WindowFlags flags = QtWidget(*CfgFrm)->windowFlags();
    EXPECT_TRUE(flags.testFlag(Qt::WindowTitleHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowSystemMenuHint));
    EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_TRUE(flags.testFlag(Qt::CustomizeWindowHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_FALSE(flags.testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(QtWidget(*CfgFrm)->font().family(), QStringLiteral("MS Sans Serif"));
    EXPECT_EQ(QtWidget(*CfgFrm)->font().pixelSize(), 11);
    EXPECT_EQ(CfgFrm->BuiltForDensity(), 96);
}

TEST_F(DialogLayoutTest, CentredOnThePrimaryScreenTheFirstTimeOnly)
{
    ASSERT_EQ(QGuiApplication::primaryScreen()->geometry(), QRect(0, 0, 1280, 1024));
    ShowDialog();
    // (1280 - 313) / 2 and (1024 - 200) / 2, the odd pixel dropped.
    EXPECT_EQ(QtWidget(*CfgFrm)->pos(), QPoint(483, 412));
    EXPECT_EQ(QtWidget(*CfgFrm)->size(), QSize(313, 200));

    QtWidget(*CfgFrm)->move(20, 30);
    CfgFrm->Hide();
    ShowDialog();
    EXPECT_EQ(QtWidget(*CfgFrm)->pos(), QPoint(20, 30));
}

TEST_F(DialogLayoutTest, NavyClientRedTitleAndColouredTexts)
{
    ShowDialog();
    const QImage image = QtWidget(*CfgFrm)->grab().toImage().convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(image.size(), QSize(313, 200));
    if (const char* path = std::getenv("CFG_SNAPSHOT"))
        image.save(QString::fromLocal8Bit(path));

    // Everything outside the labels and buttons is navy.
    QRegion controls;
    for (QWidget* w : {QtWidget(CfgFrm->Label2), QtWidget(CfgFrm->Label3),
                       QtWidget(CfgFrm->Label4), QtWidget(CfgFrm->Label5),
                       QtWidget(CfgFrm->Label6), QtWidget(CfgFrm->Label7),
                       QtWidget(CfgFrm->btnOK), QtWidget(CfgFrm->btnCancel),
                       QtWidget(CfgFrm->btnTest)})
        controls += w->geometry();
    int strayPixels = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (!controls.contains(QPoint(x, y)) && image.pixel(x, y) != Navy)
                ++strayPixels;
    EXPECT_EQ(strayPixels, 0);

    // Label7's red fills exactly its rectangle: red at its corners, navy just outside.
    const QRect title = LabelWidget(CfgFrm->Label7)->geometry();
    EXPECT_EQ(image.pixel(title.topLeft()), Red);
    EXPECT_EQ(image.pixel(title.topRight()), Red);
    EXPECT_EQ(image.pixel(title.bottomLeft()), Red);
    EXPECT_EQ(image.pixel(title.topRight() + QPoint(1, 0)), Navy);
    EXPECT_EQ(image.pixel(title.bottomLeft() + QPoint(0, 1)), Navy);
    EXPECT_EQ(image.pixel(title.topLeft() - QPoint(1, 0)), Navy);
    // Its text is in the system's window-text colour.
    EXPECT_TRUE(HasInk(image, title, QApplication::palette().color(QPalette::WindowText).rgb()));

    EXPECT_TRUE(HasInk(image, LabelWidget(CfgFrm->Label3)->geometry(), Yellow));
    for (QLabel* label : {LabelWidget(CfgFrm->Label6), LabelWidget(CfgFrm->Label4), LabelWidget(CfgFrm->Label5),
                          LabelWidget(CfgFrm->Label2)}) {
        SCOPED_TRACE(label->objectName().toStdString());
        EXPECT_TRUE(HasInk(image, label->geometry(), Aqua));
        EXPECT_FALSE(HasInk(image, label->geometry(), Yellow));
    }
}

TEST_F(DialogLayoutTest, RadioGroupIsHiddenWithNothingSelected)
{
    ShowDialog();
    RadioGroupBox* group = GroupWidget(CfgFrm->RadioGroup1);
    ASSERT_NE(group, nullptr);
    EXPECT_FALSE(group->isVisible());
    EXPECT_TRUE(group->isHidden());
    EXPECT_EQ(group->geometry(), QRect(8, 152, 97, 41));
    EXPECT_EQ(group->title(), QStringLiteral("Talvex Saver"));
    ASSERT_EQ(group->Count(), 1);
    EXPECT_EQ(group->Item(0)->text(), QStringLiteral("Quellan Saver"));
    EXPECT_FALSE(group->Item(0)->isChecked());
    EXPECT_EQ(group->ItemIndex(), -1);

    CfgFrm->RadioGroup1.SetItemIndex(0);
    EXPECT_EQ(group->ItemIndex(), 0);
    EXPECT_EQ(CfgFrm->RadioGroup1.ItemIndex(), 0);
    CfgFrm->RadioGroup1.SetItemIndex(-1);
    EXPECT_EQ(group->ItemIndex(), -1);
    EXPECT_EQ(CfgFrm->RadioGroup1.ItemIndex(), -1);
    EXPECT_FALSE(group->Item(0)->isChecked());
}
