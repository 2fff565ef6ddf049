// The glyph button: colour-keyed glyph halves and the glyph-and-caption layout.
#include "platform/window/qt/GlyphButton.h"

#include <QFontMetrics>
#include <QStyleOptionButton>
#include <QStyleOptionFocusRect>
#include <QStylePainter>

namespace {

// Every pixel of the key colour becomes fully transparent; the rest stays opaque.
QImage ApplyColourKey(const QImage& picture, QRgb key)
{
    QImage keyed = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < keyed.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(keyed.scanLine(y));
        for (int x = 0; x < keyed.width(); ++x) {
            if ((row[x] & 0x00FFFFFFu) == (key & 0x00FFFFFFu))
                row[x] = 0;
            else
                row[x] |= 0xFF000000u;
        }
    }
    return keyed;
}

} // namespace

GlyphButton::GlyphButton(QWidget* parent) : QPushButton(parent) {}

void GlyphButton::SetGlyph(const QImage& picture)
{
    m_normal = QImage();
    m_greyed = QImage();
    if (!picture.isNull()) {
        // The key is the picture's bottom-left pixel, taken before any conversion.
        const QRgb key = picture.pixel(0, picture.height() - 1);
        const QImage keyed = ApplyColourKey(picture, key);
        if (keyed.width() == 2 * keyed.height()) {
            const int half = keyed.width() / 2;
            m_normal = keyed.copy(0, 0, half, keyed.height());
            m_greyed = keyed.copy(half, 0, half, keyed.height());
        } else {
            m_normal = keyed;
            m_greyed = keyed;
        }
    }
    update();
}

QImage GlyphButton::CurrentGlyph() const
{
    return isEnabled() ? m_normal : m_greyed;
}

QSize GlyphButton::GlyphSize() const
{
    return m_normal.size();
}

QSize GlyphButton::TextSize() const
{
    if (text().isEmpty())
        return QSize(0, 0);
    const QFontMetrics metrics(font());
    return QSize(metrics.horizontalAdvance(text()), metrics.height());
}

GlyphLayout GlyphButton::Layout(QSize client, QSize glyph, QSize text)
{
    const int spacing = (glyph.width() == 0 || text.width() == 0) ? 0 : Spacing;
    const int total = glyph.width() + spacing + text.width();
    // The + 1 gives an odd remainder's extra pixel to the left and top margins.
    const int margin = (client.width() - total + 1) / 2;
    GlyphLayout layout;
    layout.glyphPos = QPoint(margin, (client.height() - glyph.height() + 1) / 2);
    layout.textPos = QPoint(margin + glyph.width() + spacing, (client.height() - text.height() + 1) / 2);
    return layout;
}

void GlyphButton::paintEvent(QPaintEvent* /*event*/)
{
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    option.icon = QIcon();
    painter.drawControl(QStyle::CE_PushButtonBevel, option);

    const QImage glyph = CurrentGlyph();
    const QSize textSize = TextSize();
    GlyphLayout layout = Layout(size(), glyph.size(), textSize);
    if (option.state & (QStyle::State_Sunken | QStyle::State_On)) {
        // A pressed button moves its content by the style's shift, as native buttons do.
        const QPoint shift(style()->pixelMetric(QStyle::PM_ButtonShiftHorizontal, &option, this),
                           style()->pixelMetric(QStyle::PM_ButtonShiftVertical, &option, this));
        layout.glyphPos += shift;
        layout.textPos += shift;
    }
    if (!glyph.isNull())
        painter.drawImage(layout.glyphPos, glyph);
    if (!text().isEmpty()) {
        // Plain text: an ampersand is drawn as it stands, never as an accelerator mark.
        style()->drawItemText(&painter, QRect(layout.textPos, textSize), Qt::AlignLeft | Qt::AlignTop,
                              palette(), isEnabled(), text(), QPalette::ButtonText);
    }
    if (option.state & QStyle::State_HasFocus) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = style()->subElementRect(QStyle::SE_PushButtonFocusRect, &option, this);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}
