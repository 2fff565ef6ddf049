// ContactSheet: pictures are read back with Qt's image readers, so the sheet shows the
// files as they are. Keyed pictures have their key colour ((0, 255, 0), or white for
// the 1-bit ones) replaced by a grey checker so their silhouettes read; large pictures
// are shown scaled down and the tiny glyphs and icon scaled up, with the factor in
// the label.
#include "ContactSheet.h"

#include <QDir>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <algorithm>
#include <stdexcept>
#include <vector>

namespace {

struct Entry {
    QString file;
    double scale;
    enum Keying { None, Green, WhiteKey } keying;
};

QRgb Checker(int x, int y)
{
    return ((x / 8 + y / 8) % 2 == 0) ? qRgb(120, 120, 120) : qRgb(150, 150, 150);
}

QImage Prepare(const QImage& source, Entry::Keying keying)
{
    QImage image = source.convertToFormat(QImage::Format_RGB32);
    if (keying == Entry::None)
        return image;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            const bool key = keying == Entry::Green ? (qRed(p) == 0 && qGreen(p) == 255 && qBlue(p) == 0)
                                                    : (qRed(p) == 255 && qGreen(p) == 255 && qBlue(p) == 255);
            if (key)
                image.setPixel(x, y, Checker(x, y));
        }
    return image;
}

} // namespace

void ContactSheet::Write(const QString& assetFolder, const QString& pngFile)
{
    std::vector<Entry> entries;
    for (int i = 1; i <= 5; ++i)
        entries.push_back({QString("Image%1.jpg").arg(i), 0.25, Entry::None});
    entries.push_back({"Image6.bmp", 0.5, Entry::Green});
    entries.push_back({"Image7.bmp", 0.5, Entry::Green});
    entries.push_back({"Image8.bmp", 0.5, Entry::WhiteKey});
    for (int i = 9; i <= 14; ++i)
        entries.push_back({QString("Image%1.bmp").arg(i), 0.5, Entry::Green});
    entries.push_back({"Image20.bmp", 1, Entry::Green});
    for (int i = 21; i <= 23; ++i)
        entries.push_back({QString("Image%1.bmp").arg(i), 1, Entry::WhiteKey});
    for (int i = 15; i <= 19; ++i)
        entries.push_back({QString("Image%1.jpg").arg(i), 1, Entry::None});
    for (int i = 24; i <= 28; ++i)
        entries.push_back({QString("Image%1.jpg").arg(i), 1, Entry::None});
    for (const char* glyph : {"BBOK.bmp", "BBCANCEL.bmp", "BBIGNORE.bmp"})
        entries.push_back({glyph, 4, Entry::None});
    entries.push_back({"MAINICON.ico", 4, Entry::None});

    // Flow layout: left to right, wrapping at the sheet's width.
    const int sheetWidth = 1560;
    const int margin = 12;
    const int labelHeight = 18;
    struct Placed {
        QImage image;
        QString label;
        QRect rect;
    };
    std::vector<Placed> placed;
    int x = margin;
    int y = margin;
    int rowHeight = 0;
    for (const Entry& e : entries) {
        const QString path = QDir(assetFolder).filePath(e.file);
        QImage source(path);
        if (source.isNull())
            throw std::runtime_error("cannot read " + path.toStdString());
        QImage shown = Prepare(source, e.keying);
        const QSize size(static_cast<int>(shown.width() * e.scale), static_cast<int>(shown.height() * e.scale));
        shown = shown.scaled(size, Qt::IgnoreAspectRatio,
                             e.scale < 1 ? Qt::SmoothTransformation : Qt::FastTransformation);
        QString label = QString("%1  %2 x %3").arg(e.file).arg(source.width()).arg(source.height());
        if (e.scale != 1)
            label += QString("  (shown x%1)").arg(e.scale);
        const int cellWidth = std::max(shown.width(), 230);
        if (x + cellWidth > sheetWidth - margin) {
            x = margin;
            y += rowHeight + margin;
            rowHeight = 0;
        }
        placed.push_back({shown, label, QRect(x, y, shown.width(), shown.height())});
        x += cellWidth + margin;
        rowHeight = std::max(rowHeight, shown.height() + labelHeight);
    }
    const int sheetHeight = y + rowHeight + margin;

    QImage sheet(sheetWidth, sheetHeight, QImage::Format_RGB32);
    sheet.fill(qRgb(236, 236, 232));
    QPainter painter(&sheet);
    QFont font("DejaVu Sans");
    font.setPixelSize(12);
    painter.setFont(font);
    for (const Placed& p : placed) {
        painter.drawImage(p.rect.topLeft(), p.image);
        painter.setPen(qRgb(30, 30, 30));
        painter.drawText(QPoint(p.rect.left(), p.rect.bottom() + 15), p.label);
    }
    painter.end();
    if (!sheet.save(pngFile, "PNG"))
        throw std::runtime_error("cannot write " + pngFile.toStdString());
}
