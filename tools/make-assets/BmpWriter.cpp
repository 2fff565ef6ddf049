// BmpWriter: a 14-byte file header, a 40-byte information header, the palette, then
// the rows from the bottom up, each padded to a multiple of four bytes.
#include "BmpWriter.h"
#include "LittleEndian.h"

#include <stdexcept>
#include <string>

namespace {

void Poke32(std::vector<std::uint8_t>& out, size_t at, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out[at + static_cast<size_t>(i)] = static_cast<std::uint8_t>((value >> (8 * i)) & 0xFF);
}

int RowBytes(int width, int bitsPerPixel)
{
    return ((width * bitsPerPixel + 31) / 32) * 4;
}

int PaletteIndex(QRgb colour, const std::vector<QRgb>& palette, int x, int y)
{
    for (size_t i = 0; i < palette.size(); ++i)
        if (qRed(palette[i]) == qRed(colour) && qGreen(palette[i]) == qGreen(colour) &&
            qBlue(palette[i]) == qBlue(colour))
            return static_cast<int>(i);
    throw std::runtime_error("pixel (" + std::to_string(x) + ", " + std::to_string(y) +
                             ") is not a palette colour");
}

} // namespace

std::vector<std::uint8_t> BmpWriter::Header(int width, int height, int bitsPerPixel,
                                            const std::vector<QRgb>& palette)
{
    const auto imageBytes = static_cast<std::uint32_t>(RowBytes(width, bitsPerPixel) * height);
    const auto offset = static_cast<std::uint32_t>(14 + 40 + 4 * palette.size());
    std::vector<std::uint8_t> out;
    out.reserve(offset + imageBytes);
    out.push_back('B');
    out.push_back('M');
    Put32(out, offset + imageBytes); // file size
    Put32(out, 0);                   // two reserved words
    Put32(out, offset);
    Put32(out, 40);
    Put32(out, static_cast<std::uint32_t>(width));
    Put32(out, static_cast<std::uint32_t>(height)); // positive: rows bottom-up
    Put16(out, 1);                                  // planes
    Put16(out, static_cast<std::uint32_t>(bitsPerPixel));
    Put32(out, 0); // no compression
    Put32(out, imageBytes);
    Put32(out, 2835); // 72 dots per inch, in dots per metre
    Put32(out, 2835);
    Put32(out, static_cast<std::uint32_t>(palette.size()));
    Put32(out, 0);
    for (QRgb colour : palette) {
        out.push_back(static_cast<std::uint8_t>(qBlue(colour)));
        out.push_back(static_cast<std::uint8_t>(qGreen(colour)));
        out.push_back(static_cast<std::uint8_t>(qRed(colour)));
        out.push_back(0);
    }
    return out;
}

std::vector<std::uint8_t> BmpWriter::TrueColour(const QImage& source)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    std::vector<std::uint8_t> out = Header(image.width(), image.height(), 24, {});
    const int rowBytes = RowBytes(image.width(), 24);
    for (int y = image.height() - 1; y >= 0; --y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            out.push_back(static_cast<std::uint8_t>(qBlue(line[x])));
            out.push_back(static_cast<std::uint8_t>(qGreen(line[x])));
            out.push_back(static_cast<std::uint8_t>(qRed(line[x])));
        }
        for (int pad = image.width() * 3; pad < rowBytes; ++pad)
            out.push_back(0);
    }
    Poke32(out, 2, static_cast<std::uint32_t>(out.size()));
    return out;
}

std::vector<std::uint8_t> BmpWriter::Mono(const QImage& source)
{
    const std::vector<QRgb> palette{qRgb(0, 0, 0), qRgb(255, 255, 255)};
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    std::vector<std::uint8_t> out = Header(image.width(), image.height(), 1, palette);
    const int rowBytes = RowBytes(image.width(), 1);
    for (int y = image.height() - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(static_cast<size_t>(rowBytes), 0);
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (PaletteIndex(line[x], palette, x, y) == 1)
                row[static_cast<size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
        out.insert(out.end(), row.begin(), row.end());
    }
    Poke32(out, 2, static_cast<std::uint32_t>(out.size()));
    return out;
}

std::vector<std::uint8_t> BmpWriter::Indexed16(const QImage& source, const std::vector<QRgb>& palette)
{
    if (palette.size() != 16)
        throw std::runtime_error("a 4-bit picture needs a palette of 16 colours");
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    std::vector<std::uint8_t> out = Header(image.width(), image.height(), 4, palette);
    const int rowBytes = RowBytes(image.width(), 4);
    for (int y = image.height() - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(static_cast<size_t>(rowBytes), 0);
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int index = PaletteIndex(line[x], palette, x, y);
            row[static_cast<size_t>(x / 2)] |= static_cast<std::uint8_t>(x % 2 == 0 ? index << 4 : index);
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    Poke32(out, 2, static_cast<std::uint32_t>(out.size()));
    return out;
}
