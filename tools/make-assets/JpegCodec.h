// JpegCodec: baseline JFIF encoding with libjpeg (4:2:0), and decoding the way the
// screen saver decodes, so that the tool can check what the saver will show.
#pragma once

#include <QImage>
#include <cstdint>
#include <vector>

class JpegCodec {
public:
    // Encodes full-resolution Y, Cb, Cr samples, interleaved three bytes a pixel; the
    // encoder subsamples the chroma 2x2 itself.
    static std::vector<std::uint8_t> EncodeYCbCr(int width, int height, const std::vector<std::uint8_t>& ycc,
                                                 int quality);
    // Encodes an RGB picture with libjpeg's own colour conversion.
    static std::vector<std::uint8_t> EncodeRgb(const QImage& image, int quality);
    // Full size, floating-point inverse DCT, smooth chroma upsampling, RGB output.
    static QImage Decode(const std::vector<std::uint8_t>& stream);
};
