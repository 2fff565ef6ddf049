// GlyphArt: the dialog's button glyphs BBOK, BBCANCEL and BBIGNORE (36 x 18, 16 colours,
// a normal and a greyed image side by side, olive transparent) and the program icon
// MAINICON (32 x 32, 16 colours), also rendered larger for the desktop's icon theme.
#pragma once

#include <QImage>
#include <QRgb>
#include <vector>

class GlyphArt {
public:
    // The 16 colours both the glyphs and the icon use; olive (128, 128, 0) among them.
    static std::vector<QRgb> Palette();
    // "BBOK", "BBCANCEL" or "BBIGNORE".
    static QImage Glyph(const char* name);
    // size 32 gives the icon of 16 colours; other sizes the same drawing, smoothed.
    static QImage Icon(int size = 32);
};
