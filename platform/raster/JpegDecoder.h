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

    // Takes the decoded rows one by one, top row first. It must not throw: it runs
    // between calls into libjpeg. A refused row ends the decode.
    class RowSink {
    public:
        virtual bool TakeRow(const Pixel* row) noexcept = 0;

    protected:
        ~RowSink() = default;
    };

    // Decodes the whole stream at 1:1 through row, whose pixels beyond the picture's
    // width are left as they are, handing each row to sink. Raises EJPEG; the rows
    // handed over before the error stay with the sink. A refused row raises
    // EOutOfResources.
    static void Decode(std::span<const std::uint8_t> stream, JpegDepth depth, std::span<Pixel> row, RowSink& sink);
};
