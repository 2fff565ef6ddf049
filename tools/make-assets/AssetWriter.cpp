// AssetWriter: the file names are the picture holders' names with the extension of
// their kind: Image1.jpg .. Image28.jpg / .bmp, BBOK.bmp, BBCANCEL.bmp, BBIGNORE.bmp and
// MAINICON.ico; the icon's PNGs for the desktop are MAINICON-32.png and MAINICON-256.png.
#include "AssetWriter.h"

#include "BmpWriter.h"
#include "BranchArt.h"
#include "CastleArt.h"
#include "FigureArt.h"
#include "GlowArt.h"
#include "GlyphArt.h"
#include "HillArt.h"
#include "IconWriter.h"
#include "MoonArt.h"
#include "SkyArt.h"
#include "TreeArt.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

namespace {

void Require(bool ok, const std::string& what)
{
    if (!ok)
        throw std::runtime_error(what);
}

bool Is(QRgb p, int r, int g, int b)
{
    return qRed(p) == r && qGreen(p) == g && qBlue(p) == b;
}

} // namespace

void AssetWriter::Save(const QString& file, const std::vector<std::uint8_t>& bytes)
{
    QFile out(QDir(m_folder).filePath(file));
    Require(out.open(QIODevice::WriteOnly | QIODevice::Truncate), "cannot write " + file.toStdString());
    Require(out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size())) ==
                static_cast<qint64>(bytes.size()),
            "cannot write " + file.toStdString());
    std::printf("%-14s %8zu bytes\n", file.toLatin1().constData(), bytes.size());
}

void AssetWriter::Silhouette(int holder, const QImage& image, bool blackBottomLeft)
{
    const PictureFacts& facts = Facts(holder);
    const std::string name = "Image" + std::to_string(holder);
    Require(facts.Kind == PictureKind::Bitmap && facts.Keyed, name + ": not a keyed bitmap in the table");
    Require(image.width() == facts.Width && image.height() == facts.Height, name + ": wrong size");
    const QRgb corner = image.pixel(0, facts.Height - 1);
    if (facts.BitsPerPixel == 1) {
        Require(blackBottomLeft ? Is(corner, 0, 0, 0) : Is(corner, 255, 255, 255),
                name + ": the bottom-left pixel has the wrong colour");
        Save(QString::fromStdString(AssetFileName(holder)), BmpWriter::Mono(image));
        return;
    }
    const int r = RedOf(facts.ColourKey);
    const int g = GreenOf(facts.ColourKey);
    const int b = BlueOf(facts.ColourKey);
    for (int y = 0; y < facts.Height; ++y)
        for (int x = 0; x < facts.Width; ++x) {
            const QRgb p = image.pixel(x, y);
            Require(Is(p, 0, 0, 0) || Is(p, r, g, b), name + ": a pixel is neither black nor the key");
        }
    Require(Is(corner, r, g, b), name + ": the bottom-left pixel is not the key");
    Save(QString::fromStdString(AssetFileName(holder)), BmpWriter::TrueColour(image));
}

void AssetWriter::Moon(const QImage& image)
{
    constexpr int Holder = 20;
    const PictureFacts& facts = Facts(Holder);
    const int r = RedOf(facts.ColourKey);
    const int g = GreenOf(facts.ColourKey);
    const int b = BlueOf(facts.ColourKey);
    Require(image.width() == facts.Width && image.height() == facts.Height, "Image20: wrong size");
    Require(Is(image.pixel(0, facts.Height - 1), r, g, b), "Image20: the bottom-left pixel is not the key");
    for (int y = 0; y < facts.Height; ++y)
        for (int x = 0; x < facts.Width; ++x) {
            const QRgb p = image.pixel(x, y);
            if (Is(p, r, g, b))
                continue;
            Require(std::abs(qRed(p) - r) > 40 || std::abs(qGreen(p) - g) > 40 || std::abs(qBlue(p) - b) > 40,
                    "Image20: a colour near the key");
            Require(!Is(p, 0, 128, 0), "Image20: the window key colour");
        }
    Save(QString::fromStdString(AssetFileName(Holder)), BmpWriter::TrueColour(image));
}

void AssetWriter::Jpeg(int holder, const std::vector<std::uint8_t>& stream)
{
    Require(Facts(holder).Kind == PictureKind::Jpeg, "Image" + std::to_string(holder) + ": not a JPEG in the table");
    Save(QString::fromStdString(AssetFileName(holder)), stream);
}

void AssetWriter::WriteAll()
{
    Require(QDir().mkpath(m_folder), "cannot make " + m_folder.toStdString());
    for (int sky = 1; sky <= 5; ++sky)
        Jpeg(HolderOf(PictureRole::Sky, sky), SkyArt::Stream(sky));

    Silhouette(6, CastleArt::Image6());
    Silhouette(7, CastleArt::Image7());
    Silhouette(8, BranchArt::Image8(), true);
    Silhouette(9, BranchArt::Image9());
    Silhouette(10, TreeArt::Image10());
    Silhouette(11, TreeArt::Image11());
    Silhouette(12, HillArt::Image12());
    Silhouette(13, HillArt::Image13());
    Silhouette(14, HillArt::Image14());

    for (int eyes = 1; eyes <= 5; ++eyes) {
        const int holder = HolderOf(PictureRole::Eyes, eyes);
        Jpeg(holder, GlowArt::Stream(GlowArt::Eyes(eyes), ("Image" + std::to_string(holder)).c_str()));
    }

    Moon(MoonArt::Image20());
    Silhouette(21, FigureArt::Image21());
    Silhouette(22, FigureArt::Image22());
    Silhouette(23, FigureArt::Image23(), true);

    for (int banner = 1; banner <= 5; ++banner) {
        const int holder = HolderOf(PictureRole::Banner, banner);
        Jpeg(holder, GlowArt::Stream(GlowArt::Banner(banner), ("Image" + std::to_string(holder)).c_str()));
    }

    const auto palette = GlyphArt::Palette();
    for (const char* glyph : {"BBOK", "BBCANCEL", "BBIGNORE"}) {
        const QImage image = GlyphArt::Glyph(glyph);
        Require(image.width() == 36 && image.height() == 18, std::string(glyph) + ": wrong size");
        Require(Is(image.pixel(0, 17), 128, 128, 0), std::string(glyph) + ": the bottom-left pixel is not olive");
        Save(QString(glyph) + ".bmp", BmpWriter::Indexed16(image, palette));
    }
    Save("MAINICON.ico", IconWriter::Write16(GlyphArt::Icon(), palette, false, 0));
    // The icon for the desktop's hicolor theme: the same 32 x 32 image as PNG, and a
    // larger rendering of the drawing.
    for (const int size : {32, 256})
        SavePng(QString("MAINICON-%1.png").arg(size), GlyphArt::Icon(size));
}

void AssetWriter::SavePng(const QString& file, const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    Require(buffer.open(QIODevice::WriteOnly) && image.save(&buffer, "PNG"), "cannot encode " + file.toStdString());
    Save(file, std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
}
