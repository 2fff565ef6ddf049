// IconWriter: ICONDIR (6 bytes), one ICONDIRENTRY (16 bytes), then the image as a
// BITMAPINFOHEADER whose height counts both the colour rows and the mask rows,
// the palette, the 4-bit rows bottom-up and the 1-bit AND mask rows bottom-up.
#include "IconWriter.h"
#include "LittleEndian.h"

#include <stdexcept>

namespace {

bool SameColour(QRgb a, QRgb b)
{
    return qRed(a) == qRed(b) && qGreen(a) == qGreen(b) && qBlue(a) == qBlue(b);
}

} // namespace

std::vector<std::uint8_t> IconWriter::Write16(const QImage& source, const std::vector<QRgb>& palette,
                                              bool hasTransparent, QRgb transparent)
{
    if (palette.size() != 16)
        throw std::runtime_error("an icon of 16 colours needs 16 palette entries");
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    const int w = image.width();
    const int h = image.height();
    const int colourRow = ((w * 4 + 31) / 32) * 4;
    const int maskRow = ((w + 31) / 32) * 4;
    const auto imageBytes = static_cast<std::uint32_t>(40 + 64 + (colourRow + maskRow) * h);

    std::vector<std::uint8_t> out;
    Put16(out, 0); // reserved
    Put16(out, 1); // type: icon
    Put16(out, 1); // one image
    out.push_back(static_cast<std::uint8_t>(w));
    out.push_back(static_cast<std::uint8_t>(h));
    out.push_back(16); // colours
    out.push_back(0);
    Put16(out, 1); // planes
    Put16(out, 4); // bits per pixel
    Put32(out, imageBytes);
    Put32(out, 6 + 16);

    Put32(out, 40);
    Put32(out, static_cast<std::uint32_t>(w));
    Put32(out, static_cast<std::uint32_t>(2 * h));
    Put16(out, 1);
    Put16(out, 4);
    Put32(out, 0);
    Put32(out, static_cast<std::uint32_t>((colourRow + maskRow) * h));
    Put32(out, 0);
    Put32(out, 0);
    Put32(out, 16);
    Put32(out, 0);
    for (QRgb colour : palette) {
        out.push_back(static_cast<std::uint8_t>(qBlue(colour)));
        out.push_back(static_cast<std::uint8_t>(qGreen(colour)));
        out.push_back(static_cast<std::uint8_t>(qRed(colour)));
        out.push_back(0);
    }

    std::vector<std::uint8_t> mask;
    for (int y = h - 1; y >= 0; --y) {
        std::vector<std::uint8_t> row(static_cast<size_t>(colourRow), 0);
        std::vector<std::uint8_t> maskBits(static_cast<size_t>(maskRow), 0);
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            int index = -1;
            if (hasTransparent && SameColour(line[x], transparent)) {
                index = 0;
                maskBits[static_cast<size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
            } else {
                for (size_t i = 0; i < palette.size() && index < 0; ++i)
                    if (SameColour(line[x], palette[i]))
                        index = static_cast<int>(i);
            }
            if (index < 0)
                throw std::runtime_error("icon pixel is not a palette colour");
            row[static_cast<size_t>(x / 2)] |= static_cast<std::uint8_t>(x % 2 == 0 ? index << 4 : index);
        }
        out.insert(out.end(), row.begin(), row.end());
        mask.insert(mask.end(), maskBits.begin(), maskBits.end());
    }
    out.insert(out.end(), mask.begin(), mask.end());
    return out;
}
