// JPEG streams for tests, made with libjpeg's compressor (baseline or progressive).
#pragma once

#include "platform/raster/Raster.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

namespace rastertest {

enum class JpegMode { Baseline, Progressive };

// rows: top row first, all of the same width. Default chroma subsampling (2x2).
inline std::vector<std::uint8_t> EncodeJpeg(const std::vector<std::vector<Pixel>>& rows, int quality = 95,
                                            JpegMode mode = JpegMode::Baseline)
{
    jpeg_compress_struct cinfo{};
    jpeg_error_mgr err{};
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = static_cast<JDIMENSION>(rows[0].size());
    cinfo.image_height = static_cast<JDIMENSION>(rows.size());
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    if (mode == JpegMode::Progressive) {
        jpeg_simple_progression(&cinfo);
    }
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<JSAMPLE> line(rows[0].size() * 3);
    for (const auto& row : rows) {
        for (std::size_t x = 0; x < row.size(); ++x) {
            line[3 * x] = static_cast<JSAMPLE>(RedOf(row[x]));
            line[3 * x + 1] = static_cast<JSAMPLE>(GreenOf(row[x]));
            line[3 * x + 2] = static_cast<JSAMPLE>(BlueOf(row[x]));
        }
        JSAMPROW rowPointer = line.data();
        jpeg_write_scanlines(&cinfo, &rowPointer, 1);
    }
    jpeg_finish_compress(&cinfo);
    std::vector<std::uint8_t> stream(buffer, buffer + size);
    jpeg_destroy_compress(&cinfo);
    std::free(buffer);
    return stream;
}

inline std::vector<std::vector<Pixel>> Solid(int width, int height, Pixel colour)
{
    return std::vector<std::vector<Pixel>>(static_cast<std::size_t>(height),
                                           std::vector<Pixel>(static_cast<std::size_t>(width), colour));
}

// The offset of the n-th (0-based) marker 0xFF code in the stream, or -1.
inline long FindMarker(const std::vector<std::uint8_t>& stream, std::uint8_t code, int n = 0)
{
    for (std::size_t i = 0; i + 1 < stream.size(); ++i) {
        if (stream[i] == 0xFF && stream[i + 1] == code && n-- == 0) {
            return static_cast<long>(i);
        }
    }
    return -1;
}

} // namespace rastertest
