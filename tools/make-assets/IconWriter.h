// IconWriter: an .ico file holding one image of 16 colours (4 bits per pixel) with its AND mask.
#pragma once

#include <QImage>
#include <QRgb>
#include <cstdint>
#include <vector>

class IconWriter {
public:
    // `image` must use only palette colours; pixels equal to `transparent` (when it is
    // one of the palette colours) get a set AND-mask bit and palette index 0.
    static std::vector<std::uint8_t> Write16(const QImage& image, const std::vector<QRgb>& palette,
                                             bool hasTransparent, QRgb transparent);
};
