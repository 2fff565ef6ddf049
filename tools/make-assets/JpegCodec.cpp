// JpegCodec: libjpeg calls; an error from libjpeg ends the tool with its message,
// since a picture that cannot be written or read back must not be committed.
#include "JpegCodec.h"

#include <jpeglib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

[[noreturn]] void FailExit(j_common_ptr info)
{
    char message[JMSG_LENGTH_MAX];
    (*info->err->format_message)(info, message);
    std::fprintf(stderr, "make-assets: libjpeg: %s\n", message);
    std::exit(1);
}

std::vector<std::uint8_t> Encode(int width, int height, const std::vector<std::uint8_t>& samples,
                                 J_COLOR_SPACE space, int quality)
{
    jpeg_compress_struct info{};
    jpeg_error_mgr err{};
    info.err = jpeg_std_error(&err);
    err.error_exit = FailExit;
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = static_cast<JDIMENSION>(width);
    info.image_height = static_cast<JDIMENSION>(height);
    info.input_components = 3;
    info.in_color_space = space;
    // The defaults give a JFIF 1.01 header, YCbCr with the luma sampled 2x2 against
    // the chroma, and Huffman coding; forcing baseline keeps the tables 8-bit.
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    info.optimize_coding = TRUE;
    info.dct_method = JDCT_FLOAT;
    jpeg_start_compress(&info, TRUE);
    const auto stride = static_cast<size_t>(width) * 3;
    while (info.next_scanline < info.image_height) {
        auto* row = const_cast<JSAMPLE*>(samples.data() + info.next_scanline * stride);
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    std::vector<std::uint8_t> out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

} // namespace

std::vector<std::uint8_t> JpegCodec::EncodeYCbCr(int width, int height, const std::vector<std::uint8_t>& ycc,
                                                 int quality)
{
    return Encode(width, height, ycc, JCS_YCbCr, quality);
}

std::vector<std::uint8_t> JpegCodec::EncodeRgb(const QImage& source, int quality)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    std::vector<std::uint8_t> rgb;
    rgb.reserve(static_cast<size_t>(image.width()) * static_cast<size_t>(image.height()) * 3);
    for (int y = 0; y < image.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            rgb.push_back(static_cast<std::uint8_t>(qRed(line[x])));
            rgb.push_back(static_cast<std::uint8_t>(qGreen(line[x])));
            rgb.push_back(static_cast<std::uint8_t>(qBlue(line[x])));
        }
    }
    return Encode(image.width(), image.height(), rgb, JCS_RGB, quality);
}

QImage JpegCodec::Decode(const std::vector<std::uint8_t>& stream)
{
    jpeg_decompress_struct info{};
    jpeg_error_mgr err{};
    info.err = jpeg_std_error(&err);
    err.error_exit = FailExit;
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, stream.data(), static_cast<unsigned long>(stream.size()));
    jpeg_read_header(&info, TRUE);
    info.dct_method = JDCT_FLOAT;
    info.do_fancy_upsampling = TRUE;
    info.out_color_space = JCS_RGB;
    info.scale_num = 1;
    info.scale_denom = 1;
    jpeg_start_decompress(&info);
    QImage image(static_cast<int>(info.output_width), static_cast<int>(info.output_height), QImage::Format_RGB32);
    std::vector<JSAMPLE> row(static_cast<size_t>(info.output_width) * 3);
    while (info.output_scanline < info.output_height) {
        const int y = static_cast<int>(info.output_scanline);
        JSAMPROW rows[1] = {row.data()};
        jpeg_read_scanlines(&info, rows, 1);
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x)
            line[x] = qRgb(row[static_cast<size_t>(x) * 3], row[static_cast<size_t>(x) * 3 + 1],
                           row[static_cast<size_t>(x) * 3 + 2]);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return image;
}
