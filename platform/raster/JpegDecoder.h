// JpegDecoder: libjpeg behind the system's own error handling ("JPEG error #%d").
#pragma once

#include "platform/raster/Picture.h"
#include "platform/raster/Raster.h"

#include <cstdint>
#include <span>

class JpegDecoder {
public:
    struct Size {
        int Width = 0;
        int Height = 0;
    };

    // The picture size from the stream header. Raises EJPEG.
    static Size ReadSize(std::span<const std::uint8_t> stream);

    // Decodes the whole stream at 1:1 into dst, top-left aligned; rows or columns
    // beyond dst are dropped. Raises EJPEG; the rows written before the error stay.
    static void Decode(std::span<const std::uint8_t> stream, JpegDepth depth, Raster& dst);
};
