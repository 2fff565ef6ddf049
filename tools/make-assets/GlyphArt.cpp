// GlyphArt: the 18 x 18 glyphs are pixel art, one character per pixel; the greyed
// image is derived the way disabled buttons show their glyphs: every drawn pixel grey,
// with a white copy one pixel down and to the right where the background shows.
#include "GlyphArt.h"

#include <QColor>
#include <QPainter>
#include <cstring>
#include <stdexcept>
#include <string>

namespace {

const QRgb Olive = qRgb(128, 128, 0);
const QRgb Grey = qRgb(128, 128, 128);
const QRgb White = qRgb(255, 255, 255);

// '.' is the olive background.
QRgb ColourOf(char c)
{
    switch (c) {
    case '.': return Olive;
    case 'G': return qRgb(0, 176, 0);
    case 'D': return qRgb(0, 96, 0);
    case 'R': return qRgb(255, 0, 0);
    case 'M': return qRgb(128, 0, 0);
    default: throw std::runtime_error(std::string("unknown glyph colour ") + c);
    }
}

const char* const Check[18] = {
    "..................", "..................", "..................", "..................",
    ".............DD...", "............DGGD..", "...........DGGGD..", "..........DGGGD...",
    "...DD....DGGGD....", "..DGGD..DGGGD.....", "..DGGGDDGGGD......", "...DGGGGGGD.......",
    "....DGGGGGD.......", ".....DGGGD........", "......DGD.........", ".......D..........",
    "..................", "..................",
};

const char* const Walker[18] = {
    "..................", ".........DD.......", "........DGGD......", "........DGGD......",
    ".........DD.......", "........DGGD......", ".......DGGGGD.....", "......DGDGGDGD....",
    ".....DGD.GG.DGD...", ".....DD.DGGD.DD...", "........DGGGD.....", ".......DGD.DGD....",
    "......DGD...DGD...", ".....DGD.....DGD..", "....DGD.......DGD.", "...DGGD.......DD..",
    "...DDD............", "..................",
};

// The cross: two bars three pixels thick, edged in maroon.
char CrossPixel(int x, int y)
{
    if (x < 3 || x > 14 || y < 3 || y > 14)
        return '.';
    const int a = std::abs(x - y);
    const int b = std::abs(x + y - 17);
    if (a <= 1 || b <= 1)
        return 'R';
    if (a == 2 || b == 2)
        return 'M';
    return '.';
}

QImage FromArt(const char* name)
{
    QImage normal(18, 18, QImage::Format_RGB32);
    for (int y = 0; y < 18; ++y)
        for (int x = 0; x < 18; ++x) {
            char c = '.';
            if (std::strcmp(name, "BBOK") == 0)
                c = Check[y][x];
            else if (std::strcmp(name, "BBIGNORE") == 0)
                c = Walker[y][x];
            else if (std::strcmp(name, "BBCANCEL") == 0)
                c = CrossPixel(x, y);
            else
                throw std::runtime_error(std::string("unknown glyph ") + name);
            if ((std::strcmp(name, "BBOK") == 0 && std::strlen(Check[y]) != 18) ||
                (std::strcmp(name, "BBIGNORE") == 0 && std::strlen(Walker[y]) != 18))
                throw std::runtime_error(std::string("glyph art row is not 18 pixels: ") + name);
            normal.setPixel(x, y, ColourOf(c));
        }
    return normal;
}

} // namespace

std::vector<QRgb> GlyphArt::Palette()
{
    return {qRgb(0, 0, 0),       qRgb(128, 0, 0),     qRgb(0, 96, 0),      Olive,
            qRgb(0, 0, 128),     qRgb(128, 0, 128),   qRgb(0, 128, 128),   qRgb(192, 192, 192),
            Grey,                qRgb(255, 0, 0),     qRgb(0, 176, 0),     qRgb(255, 255, 0),
            qRgb(0, 0, 255),     qRgb(255, 250, 200), qRgb(0, 255, 255),   White};
}

QImage GlyphArt::Glyph(const char* name)
{
    const QImage normal = FromArt(name);
    QImage out(36, 18, QImage::Format_RGB32);
    out.fill(Olive);
    for (int y = 0; y < 18; ++y)
        for (int x = 0; x < 18; ++x)
            out.setPixel(x, y, normal.pixel(x, y));
    // The greyed image: white shadow first, then the grey shape over it.
    for (int y = 0; y < 17; ++y)
        for (int x = 0; x < 17; ++x)
            if (normal.pixel(x, y) != Olive)
                out.setPixel(18 + x + 1, y + 1, White);
    for (int y = 0; y < 18; ++y)
        for (int x = 0; x < 18; ++x)
            if (normal.pixel(x, y) != Olive)
                out.setPixel(18 + x, y, Grey);
    return out;
}

QImage GlyphArt::Icon(int size)
{
    // A castle against a navy night sky under a full moon, with a lit window. Drawn on
    // a grid of 32 x 32 units; at 32 pixels each unit is one pixel, drawn without
    // smoothing, so every pixel is one of the 16 colours. Larger renderings of the
    // same shapes are smoothed.
    QImage icon(size, size, QImage::Format_RGB32);
    icon.fill(qRgb(0, 0, 128));
    QPainter p(&icon);
    p.setRenderHint(QPainter::Antialiasing, size != 32);
    p.scale(size / 32.0, size / 32.0);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 250, 200));
    p.drawEllipse(QRect(19, 2, 10, 10));
    p.setBrush(QColor(192, 192, 192));
    p.drawRect(QRect(22, 5, 2, 2));
    p.drawRect(QRect(25, 8, 2, 1));
    p.setBrush(QColor(255, 255, 255));
    for (const QPoint& star : {QPoint(3, 3), QPoint(9, 6), QPoint(14, 2), QPoint(5, 11), QPoint(29, 15)})
        p.drawRect(QRect(star, QSize(1, 1)));
    p.setBrush(Qt::black);
    // The hill, the curtain wall with merlons, the keep with merlons, a turret roof.
    p.drawPolygon(QPolygon({QPoint(0, 28), QPoint(8, 25), QPoint(20, 24), QPoint(32, 26), QPoint(32, 32),
                            QPoint(0, 32)}));
    p.drawRect(QRect(2, 19, 28, 8));
    for (int x = 2; x <= 28; x += 4)
        p.drawRect(QRect(x, 17, 2, 2));
    p.drawRect(QRect(11, 9, 10, 12));
    for (int x = 11; x <= 19; x += 3)
        p.drawRect(QRect(x, 7, 2, 2));
    p.drawRect(QRect(3, 14, 5, 6));
    p.drawPolygon(QPolygon({QPoint(2, 14), QPoint(5, 9), QPoint(9, 14)}));
    p.setBrush(QColor(255, 255, 0));
    p.drawRect(QRect(15, 12, 2, 3));
    p.drawRect(QRect(5, 16, 1, 2));
    p.setBrush(QColor(0, 0, 128));
    p.drawRect(QRect(14, 22, 4, 5)); // the gate
    p.end();
    return icon;
}
