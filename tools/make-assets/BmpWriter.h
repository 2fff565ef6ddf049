// BmpWriter: BMP file images of 1, 4 or 24 bits per pixel, uncompressed, rows bottom-up.
#pragma once

#include <QImage>
#include <QRgb>
#include <cstdint>
#include <vector>

class BmpWriter {
public:
    // 24 bits per pixel, no palette, pixels at offset 54.
    static std::vector<std::uint8_t> TrueColour(const QImage& image);
    // 1 bit per pixel with the palette {black, white}, pixels at offset 62. Every pixel
    // must be black or white; anything else throws std::runtime_error.
    static std::vector<std::uint8_t> Mono(const QImage& image);
    // 4 bits per pixel with the given 16-colour palette, pixels at offset 118. Every
    // pixel must be a palette colour.
    static std::vector<std::uint8_t> Indexed16(const QImage& image, const std::vector<QRgb>& palette);

private:
    static std::vector<std::uint8_t> Header(int width, int height, int bitsPerPixel,
                                            const std::vector<QRgb>& palette);
};
