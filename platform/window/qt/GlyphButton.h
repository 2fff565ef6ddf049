// A push button with a two-image glyph picture to the left of its caption, glyph and
// caption centred together, the greyed image shown while the button is disabled.
#pragma once

#include <QImage>
#include <QPoint>
#include <QPushButton>
#include <QSize>

// Where the glyph and the caption go on a button's client area, in its pixels.
struct GlyphLayout {
    QPoint glyphPos;
    QPoint textPos;
};

class GlyphButton : public QPushButton {
    Q_OBJECT
public:
    // Pixels between the glyph's right edge and the caption's left edge.
    static constexpr int Spacing = 4;

    explicit GlyphButton(QWidget* parent = nullptr);

    // A picture of two square images side by side: the normal one on the left, the
    // greyed one on the right. The colour of its bottom-left pixel is transparent.
    // A picture that is not twice as wide as high is shown whole, in every state.
    void SetGlyph(const QImage& picture);
    // The image drawn in the current state, colour key already applied.
    QImage CurrentGlyph() const;
    QSize GlyphSize() const;

    // Glyph left of the text with Spacing between them, the pair centred across the
    // client width; glyph and text each centred vertically on their own. An odd
    // remainder puts the extra pixel on the left and the top. With no glyph or no
    // text the spacing is dropped. Content wider than the button overhangs both sides.
    static GlyphLayout Layout(QSize client, QSize glyph, QSize text);
    // The caption's extent in the button's font: advance width by line height.
    QSize TextSize() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_normal;
    QImage m_greyed;
};
