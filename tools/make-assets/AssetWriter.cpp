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

void AssetWriter::Silhouette(const char* name, const QImage& image, int width, int height)
{
    const std::string n = name;
    Require(image.width() == width && image.height() == height, n + ": wrong size");
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const QRgb p = image.pixel(x, y);
            Require(Is(p, 0, 0, 0) || Is(p, 0, 255, 0), n + ": a pixel is neither black nor the key");
        }
    Require(Is(image.pixel(0, height - 1), 0, 255, 0), n + ": the bottom-left pixel is not the key");
    Save(QString(name) + ".bmp", BmpWriter::TrueColour(image));
}

void AssetWriter::Mono(const char* name, const QImage& image, int width, int height, bool blackBottomLeft)
{
    const std::string n = name;
    Require(image.width() == width && image.height() == height, n + ": wrong size");
    const QRgb corner = image.pixel(0, height - 1);
    Require(blackBottomLeft ? Is(corner, 0, 0, 0) : Is(corner, 255, 255, 255),
            n + ": the bottom-left pixel has the wrong colour");
    Save(QString(name) + ".bmp", BmpWriter::Mono(image));
}

void AssetWriter::Moon(const QImage& image)
{
    Require(image.width() == 106 && image.height() == 94, "Image20: wrong size");
    Require(Is(image.pixel(0, 93), 0, 255, 0), "Image20: the bottom-left pixel is not the key");
    for (int y = 0; y < 94; ++y)
        for (int x = 0; x < 106; ++x) {
            const QRgb p = image.pixel(x, y);
            if (Is(p, 0, 255, 0))
                continue;
            Require(!(qRed(p) <= 40 && qGreen(p) >= 215 && qBlue(p) <= 40), "Image20: a colour near the key");
            Require(!Is(p, 0, 128, 0), "Image20: the window key colour");
        }
    Save("Image20.bmp", BmpWriter::TrueColour(image));
}

void AssetWriter::WriteAll()
{
    Require(QDir().mkpath(m_folder), "cannot make " + m_folder.toStdString());
    for (int sky = 1; sky <= 5; ++sky)
        Save(QString("Image%1.jpg").arg(sky), SkyArt::Stream(sky));

    Silhouette("Image6", CastleArt::Image6(), 479, 328);
    Silhouette("Image7", CastleArt::Image7(), 1000, 500);
    Mono("Image8", BranchArt::Image8(), 500, 500, true);
    Silhouette("Image9", BranchArt::Image9(), 500, 306);
    Silhouette("Image10", TreeArt::Image10(), 500, 365);
    Silhouette("Image11", TreeArt::Image11(), 500, 500);
    Silhouette("Image12", HillArt::Image12(), 800, 174);
    Silhouette("Image13", HillArt::Image13(), 764, 174);
    Silhouette("Image14", HillArt::Image14(), 800, 174);

    for (int eyes = 1; eyes <= 5; ++eyes) {
        const std::string name = "Image" + std::to_string(14 + eyes);
        Save(QString::fromStdString(name) + ".jpg", GlowArt::Stream(GlowArt::Eyes(eyes), name.c_str()));
    }

    Moon(MoonArt::Image20());
    Mono("Image21", FigureArt::Image21(), 110, 200, false);
    Mono("Image22", FigureArt::Image22(), 185, 162, false);
    Mono("Image23", FigureArt::Image23(), 141, 314, true);

    for (int banner = 1; banner <= 5; ++banner) {
        const std::string name = "Image" + std::to_string(23 + banner);
        Save(QString::fromStdString(name) + ".jpg", GlowArt::Stream(GlowArt::Banner(banner), name.c_str()));
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
