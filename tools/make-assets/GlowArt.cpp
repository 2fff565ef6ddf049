// GlowArt: the eyes are computed per pixel (an almond-shaped lit iris with a slit
// pupil and a halo that falls off exponentially); the banners are lettered with
// QPainter in a bold sans-serif face.
#include "GlowArt.h"

#include "JpegCodec.h"

#include <QFont>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

namespace {

struct EyeStyle {
    int height;
    QColor colour;
    double halfWidth;  // of each eye, in pixels
    double halfHeight;
    double spacing;    // between the centres of the two eyes
    double slant;      // radians; positive tilts the inner corners down
    double pupil;      // half width of the slit pupil at the middle, in pixels
};

const EyeStyle Styles[5] = {
    {38, QColor(255, 250, 160), 13, 6.0, 52, 0.16, 1.6},
    {41, QColor(196, 84, 255), 12, 5.0, 48, 0.30, 1.2},
    {47, QColor(80, 140, 255), 11, 7.5, 44, 0.10, 2.0},
    {41, QColor(110, 255, 90), 14, 5.5, 56, 0.22, 1.4},
    {43, QColor(255, 214, 20), 12, 6.5, 50, 0.20, 1.8},
};

// The brightness of one eye at offset (dx, dy) from its centre, 0 to 1, and how
// white-hot it is (0 to 1). `mirror` flips the slant for the right-hand eye.
void EyeLight(const EyeStyle& s, double dx, double dy, double mirror, double& light, double& heat)
{
    const double c = std::cos(s.slant * mirror);
    const double sn = std::sin(s.slant * mirror);
    const double u = dx * c + dy * sn;
    const double v = -dx * sn + dy * c;
    // An almond: the half height shrinks towards the corners.
    const double across = std::clamp(std::abs(u) / s.halfWidth, 0.0, 4.0);
    const double lid = s.halfHeight * std::max(0.0, 1 - across * across) + 0.35;
    const double inside = std::abs(v) / lid;
    double d = across <= 1 ? inside : 1 + (across - 1) * s.halfWidth / s.halfHeight + inside * 0.5;
    if (d <= 1) {
        light = 1.0 - 0.25 * d * d;
        heat = std::max(0.0, 0.7 - d) / 0.7;
        const double slit = s.pupil * std::sqrt(std::max(0.0, 1 - (v / lid) * (v / lid)));
        if (std::abs(u) < slit) {
            light = 0.18;
            heat = 0;
        }
    } else {
        // The halo, in pixels beyond the lid.
        const double beyond = (d - 1) * s.halfHeight;
        light = 0.5 * std::exp(-beyond / 3.4);
        heat = 0;
    }
}

} // namespace

QImage GlowArt::Eyes(int number)
{
    const EyeStyle& s = Styles[number - 1];
    const int w = 150;
    const int h = s.height;
    QImage image(w, h, QImage::Format_RGB32);
    const double cx = w / 2.0;
    const double cy = h / 2.0;
    for (int y = 0; y < h; ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < w; ++x) {
            double total = 0;
            double heat = 0;
            for (int side = -1; side <= 1; side += 2) {
                double l = 0;
                double t = 0;
                EyeLight(s, x + 0.5 - (cx + side * s.spacing / 2), y + 0.5 - cy, -side, l, t);
                total = std::max(total, l);
                heat = std::max(heat, t);
            }
            // The outermost three pixels fade to black, so the border stays black
            // whatever the halo does.
            const int edge = std::min({x, y, w - 1 - x, h - 1 - y});
            if (edge < 4)
                total *= edge / 4.0;
            const double r = s.colour.red() * total + (255 - s.colour.red()) * total * heat * 0.6;
            const double g = s.colour.green() * total + (255 - s.colour.green()) * total * heat * 0.6;
            const double b = s.colour.blue() * total + (255 - s.colour.blue()) * total * heat * 0.6;
            line[x] = qRgb(std::clamp(static_cast<int>(std::lround(r)), 0, 255),
                           std::clamp(static_cast<int>(std::lround(g)), 0, 255),
                           std::clamp(static_cast<int>(std::lround(b)), 0, 255));
        }
    }
    return image;
}

QImage GlowArt::Banner(int number)
{
    // Each sky's own colour, brightened where the sky's colour is too dark to read on
    // black; the green keeps well away from the window key (0, 128, 0).
    static const QColor Colours[5] = {QColor(65, 64, 255), QColor(255, 127, 2), QColor(52, 16, 222),
                                      QColor(20, 190, 20), QColor(154, 19, 210)};
    QImage image(328, 41, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    QFont font("DejaVu Sans");
    font.setPixelSize(23);
    font.setBold(true);
    font.setStyleStrategy(QFont::PreferAntialias);
    painter.setFont(font);
    painter.setPen(Colours[number - 1]);
    painter.drawText(QRect(6, 4, 316, 33), Qt::AlignCenter, QString::fromLatin1(Address));
    painter.end();
    return image;
}

std::vector<std::uint8_t> GlowArt::Stream(const QImage& image, const char* name)
{
    std::vector<std::uint8_t> stream = JpegCodec::EncodeRgb(image, 95);
    const QImage decoded = JpegCodec::Decode(stream);
    const int w = decoded.width();
    const int h = decoded.height();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const QRgb p = decoded.pixel(x, y);
            if (qRed(p) == 0 && qGreen(p) == 128 && qBlue(p) == 0)
                throw std::runtime_error(std::string(name) + ": a pixel decodes to the window key (0, 128, 0)");
            const bool border = x == 0 || y == 0 || x == w - 1 || y == h - 1;
            if (border && std::max({qRed(p), qGreen(p), qBlue(p)}) > 16)
                throw std::runtime_error(std::string(name) + ": the border is not black at (" + std::to_string(x) +
                                         ", " + std::to_string(y) + ")");
        }
    return stream;
}
