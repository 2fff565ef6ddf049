// The glyph buttons: olive glyph pixels show the button face, the greyed half while
// disabled, glyph and caption centred together with 4 pixels between them.
#include "support/DialogFixture.h"

#include "config/TCfgFrm.h"
#include "platform/window/qt/GlyphButton.h"

#include <QFontMetrics>
#include <QPainter>
#include <ostream>

namespace {

constexpr QRgb Olive = qRgb(128, 128, 0);

struct GlyphCase {
    const char* name;
    const char* file;
    const char* caption;
};

const GlyphCase GlyphCases[] = {
    {"Ok", "BBOK.bmp", "OK"},
    {"Cancel", "BBCANCEL.bmp", "Cancel"},
    {"Test", "BBIGNORE.bmp", "Test..."},
};

void PrintTo(const GlyphCase& c, std::ostream* os)
{
    *os << c.caption;
}

QFont DialogFont()
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    return font;
}

QImage Render(GlyphButton& button)
{
    return button.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

class GlyphRenderTest : public ::testing::TestWithParam<GlyphCase> {
protected:
    void SetUp() override
    {
        m_picture = AssetPicture(GetParam().file);
        ASSERT_EQ(m_picture.size(), QSize(36, 18)) << GetParam().file;
        ASSERT_EQ(m_picture.pixel(0, 17) & 0xFFFFFFu, Olive & 0xFFFFFFu) << "bottom-left pixel is the key";
        m_button.resize(72, 34);
        m_button.setFont(DialogFont());
        const QFontMetrics metrics(DialogFont());
        m_textWidth = metrics.horizontalAdvance(QString::fromLatin1(GetParam().caption));
        m_textHeight = metrics.height();
        // Glyph, 4 pixels, caption: centred as one block, an odd pixel to the left.
        m_glyphX = (72 - (18 + 4 + m_textWidth) + 1) / 2;
        m_glyphY = (34 - 18 + 1) / 2;
        m_textX = m_glyphX + 18 + 4;
        m_textY = (34 - m_textHeight + 1) / 2;
    }

    // The button as drawn with glyph and caption, and its bare face at the same state.
    void RenderBoth(bool enabled, QImage& full, QImage& face)
    {
        m_button.setEnabled(enabled);
        m_button.setText(QString());
        m_button.SetGlyph(QImage());
        face = Render(m_button);
        m_button.setText(QString::fromLatin1(GetParam().caption));
        m_button.SetGlyph(m_picture);
        full = Render(m_button);
    }

    // Every pixel of one half of the picture at the glyph's place: key pixels show the
    // face, the others their own colour exactly.
    void ExpectHalfDrawn(int halfLeft, const QImage& full, const QImage& face)
    {
        int keyed = 0;
        int opaque = 0;
        for (int gy = 0; gy < 18; ++gy) {
            for (int gx = 0; gx < 18; ++gx) {
                const QRgb src = m_picture.pixel(halfLeft + gx, gy) | 0xFF000000u;
                const QPoint at(m_glyphX + gx, m_glyphY + gy);
                if (src == Olive) {
                    ++keyed;
                    EXPECT_EQ(full.pixel(at), face.pixel(at)) << "key pixel " << gx << "," << gy;
                } else {
                    ++opaque;
                    EXPECT_EQ(full.pixel(at), src) << "glyph pixel " << gx << "," << gy;
                }
            }
        }
        EXPECT_GT(keyed, 0);
        EXPECT_GT(opaque, 0);
    }

    QImage m_picture;
    GlyphButton m_button;
    int m_textWidth = 0, m_textHeight = 0;
    int m_glyphX = 0, m_glyphY = 0, m_textX = 0, m_textY = 0;
};

} // namespace

TEST_P(GlyphRenderTest, NormalHalfDrawnWithOliveShowingTheFace)
{
    QImage full, face;
    RenderBoth(true, full, face);
    ExpectHalfDrawn(0, full, face);
}

TEST_P(GlyphRenderTest, GreyedHalfDrawnWhileDisabled)
{
    QImage full, face;
    RenderBoth(false, full, face);
    ExpectHalfDrawn(18, full, face);
}

TEST_P(GlyphRenderTest, CaptionFourPixelsRightOfTheGlyphAndCentredTogether)
{
    QImage full, face;
    RenderBoth(true, full, face);
    // The caption as it must come out: the face with the text painted at the worked-out
    // place, in the button's text colour. Outside the glyph the button must match it
    // pixel for pixel.
    QImage expected = face.copy();
    {
        QPainter painter(&expected);
        painter.setFont(DialogFont());
        painter.setPen(m_button.palette().color(QPalette::ButtonText));
        painter.drawText(QRect(m_textX, m_textY, m_textWidth, m_textHeight), Qt::AlignLeft | Qt::AlignTop,
                         QString::fromLatin1(GetParam().caption));
    }
    const QRect glyphRect(m_glyphX, m_glyphY, 18, 18);
    int inkPixels = 0;
    int mismatches = 0;
    for (int y = 0; y < full.height(); ++y) {
        for (int x = 0; x < full.width(); ++x) {
            if (glyphRect.contains(x, y))
                continue;
            if (expected.pixel(x, y) != face.pixel(x, y))
                ++inkPixels;
            if (full.pixel(x, y) != expected.pixel(x, y))
                ++mismatches;
        }
    }
    EXPECT_GT(inkPixels, 20);
    EXPECT_EQ(mismatches, 0);
    // The block glyph + 4 + caption leaves equal margins, give or take the odd pixel.
    const int leftMargin = m_glyphX;
    const int rightMargin = 72 - (m_textX + m_textWidth);
    EXPECT_GE(leftMargin - rightMargin, 0);
    EXPECT_LE(leftMargin - rightMargin, 1);
}

INSTANTIATE_TEST_SUITE_P(Glyphs, GlyphRenderTest, ::testing::ValuesIn(GlyphCases),
                         [](const ::testing::TestParamInfo<GlyphCase>& param) { return std::string(param.param.name); });

namespace {

struct LayoutCase {
    QSize client, glyph, text;
    QPoint glyphPos, textPos;
};

// Worked by hand: margin = (client width - (glyph + 4 + text) + 1) / 2, vertical
// places (client height - height + 1) / 2 each; no spacing without glyph or text.
const LayoutCase LayoutCases[] = {
    {{72, 34}, {18, 18}, {16, 13}, {17, 8}, {39, 11}},   // 72 - 38 = 34: 17 and 17
    {{72, 34}, {18, 18}, {37, 13}, {7, 8}, {29, 11}},    // 72 - 59 = 13: 7 left, 6 right
    {{72, 34}, {18, 18}, {32, 13}, {9, 8}, {31, 11}},    // 72 - 54 = 18: 9 and 9
    {{72, 34}, {18, 18}, {0, 0}, {27, 8}, {45, 17}},     // glyph alone
    {{72, 34}, {0, 0}, {16, 13}, {28, 17}, {28, 11}},    // caption alone
    {{111, 52}, {18, 18}, {25, 20}, {32, 17}, {54, 16}}, // 111 - 47 = 64: 32 and 32
};

} // namespace

TEST(GlyphLayout, MatchesHandWorkedPlaces)
{
    for (const LayoutCase& c : LayoutCases) {
        const GlyphLayout layout = GlyphButton::Layout(c.client, c.glyph, c.text);
        EXPECT_EQ(layout.glyphPos, c.glyphPos) << c.client.width() << " " << c.text.width();
        EXPECT_EQ(layout.textPos, c.textPos) << c.client.width() << " " << c.text.width();
    }
}

class DialogGlyphTest : public DialogTest {};

TEST_F(DialogGlyphTest, ButtonsCarryTheAssetGlyphsKeyedOnOlive)
{
    const std::pair<GlyphButton*, const char*> buttons[] = {
        {ButtonWidget(CfgFrm->btnOK), "BBOK.bmp"},
        {ButtonWidget(CfgFrm->btnCancel), "BBCANCEL.bmp"},
        {ButtonWidget(CfgFrm->btnTest), "BBIGNORE.bmp"}};
    for (const auto& [button, file] : buttons) {
        SCOPED_TRACE(file);
        const QImage picture = AssetPicture(file);
        ASSERT_EQ(picture.size(), QSize(36, 18));
        for (bool enabled : {true, false}) {
            button->setEnabled(enabled);
            const QImage glyph = button->CurrentGlyph().convertToFormat(QImage::Format_ARGB32);
            ASSERT_EQ(glyph.size(), QSize(18, 18));
            const int halfLeft = enabled ? 0 : 18;
            for (int y = 0; y < 18; ++y) {
                for (int x = 0; x < 18; ++x) {
                    const QRgb src = picture.pixel(halfLeft + x, y) | 0xFF000000u;
                    if (src == Olive)
                        EXPECT_EQ(qAlpha(glyph.pixel(x, y)), 0) << x << "," << y;
                    else
                        EXPECT_EQ(glyph.pixel(x, y), src) << x << "," << y;
                }
            }
        }
        button->setEnabled(true);
    }
}
