// Writers for BMP file images, JPEG streams and stored forms, used by the tests.
#include "support/PictureFiles.h"

#include <cstdio>
#include <cstdlib>
#include <jpeglib.h>
#include <stdexcept>

namespace {

void Put16(Bytes& out, std::uint32_t value)
{
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

void Put32(Bytes& out, std::uint32_t value)
{
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

Bytes BmpHeaders(int width, int height, int bitsPerPixel, std::uint32_t pixelOffset, std::uint32_t imageSize)
{
    Bytes out;
    out.push_back('B');
    out.push_back('M');
    Put32(out, pixelOffset + imageSize);
    Put32(out, 0);
    Put32(out, pixelOffset);
    Put32(out, 40);
    Put32(out, static_cast<std::uint32_t>(width));
    Put32(out, static_cast<std::uint32_t>(height));
    Put16(out, 1);
    Put16(out, static_cast<std::uint32_t>(bitsPerPixel));
    Put32(out, 0);
    Put32(out, imageSize);
    Put32(out, 2835);
    Put32(out, 2835);
    Put32(out, bitsPerPixel == 1 ? 2 : 0);
    Put32(out, 0);
    return out;
}

} // namespace

Bytes MakeBmp24(int width, int height, const std::function<std::uint32_t(int x, int y)>& colourAt)
{
    const int stride = (width * 3 + 3) / 4 * 4;
    Bytes out = BmpHeaders(width, height, 24, 54, static_cast<std::uint32_t>(stride * height));
    for (int row = height - 1; row >= 0; --row) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t c = colourAt(x, row);
            out.push_back(static_cast<std::uint8_t>(c & 0xFF));
            out.push_back(static_cast<std::uint8_t>((c >> 8) & 0xFF));
            out.push_back(static_cast<std::uint8_t>((c >> 16) & 0xFF));
        }
        for (int pad = width * 3; pad < stride; ++pad)
            out.push_back(0);
    }
    return out;
}

Bytes MakeBmp1(int width, int height, const std::function<int(int x, int y)>& bitAt)
{
    const int stride = ((width + 7) / 8 + 3) / 4 * 4;
    Bytes out = BmpHeaders(width, height, 1, 62, static_cast<std::uint32_t>(stride * height));
    Put32(out, 0x00000000);
    Put32(out, 0x00FFFFFF);
    for (int row = height - 1; row >= 0; --row) {
        Bytes line(static_cast<std::size_t>(stride), 0);
        for (int x = 0; x < width; ++x)
            if (bitAt(x, row) != 0)
                line[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
        out.insert(out.end(), line.begin(), line.end());
    }
    return out;
}

Bytes MakeJpeg(int width, int height, const std::function<std::uint32_t(int x, int y)>& colourAt)
{
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr jerr{};
    cinfo.err = jpeg_std_error(&jerr);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, 95, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<JSAMPLE> row(static_cast<std::size_t>(width) * 3);
    while (cinfo.next_scanline < cinfo.image_height) {
        const int y = static_cast<int>(cinfo.next_scanline);
        for (int x = 0; x < width; ++x) {
            const std::uint32_t c = colourAt(x, y);
            row[static_cast<std::size_t>(x) * 3] = static_cast<JSAMPLE>((c >> 16) & 0xFF);
            row[static_cast<std::size_t>(x) * 3 + 1] = static_cast<JSAMPLE>((c >> 8) & 0xFF);
            row[static_cast<std::size_t>(x) * 3 + 2] = static_cast<JSAMPLE>(c & 0xFF);
        }
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    Bytes out(buffer, buffer + size);
    jpeg_destroy_compress(&cinfo);
    std::free(buffer);
    return out;
}

Bytes MakeForm(const std::vector<FormBlock>& blocks)
{
    Bytes out;
    for (const FormBlock& block : blocks) {
        out.push_back(static_cast<std::uint8_t>(block.className.size()));
        out.insert(out.end(), block.className.begin(), block.className.end());
        Put32(out, static_cast<std::uint32_t>(block.data.size()));
        out.insert(out.end(), block.data.begin(), block.data.end());
    }
    return out;
}
