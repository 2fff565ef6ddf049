// Picture::LoadBitmap: the BMP file image reader (1 and 24 bits, bottom-up, uncompressed).
//
// The image is validated as a whole before a pixel is read: every offset and length
// is checked against the block size in 64 bits, so a truncated or hostile block is
// rejected and never read past its end.
#include "platform/raster/Picture.h"

#include "platform/Exception.h"

#include <cstddef>
#include <cstdint>
#include <new>
#include <vector>

namespace {

constexpr std::size_t FileHeaderSize = 14;
constexpr std::uint32_t InfoHeaderSize = 40;
constexpr std::uint32_t NoCompression = 0;  // BI_RGB

std::uint16_t ReadU16(std::span<const std::uint8_t> data, std::size_t at)
{
    return static_cast<std::uint16_t>(data[at] | (data[at + 1] << 8));
}

std::uint32_t ReadU32(std::span<const std::uint8_t> data, std::size_t at)
{
    return static_cast<std::uint32_t>(data[at]) | (static_cast<std::uint32_t>(data[at + 1]) << 8) |
           (static_cast<std::uint32_t>(data[at + 2]) << 16) | (static_cast<std::uint32_t>(data[at + 3]) << 24);
}

std::int32_t ReadI32(std::span<const std::uint8_t> data, std::size_t at)
{
    return static_cast<std::int32_t>(ReadU32(data, at));
}

[[noreturn]] void Reject()
{
    throw EInvalidGraphic("Bitmap image is not valid");
}

} // namespace

std::unique_ptr<Picture> Picture::LoadBitmap(std::span<const std::uint8_t> fileImage)
{
    const std::uint64_t size = fileImage.size();
    if (size < FileHeaderSize + InfoHeaderSize) {
        Reject();
    }
    if (fileImage[0] != 'B' || fileImage[1] != 'M' || ReadU32(fileImage, 2) != size) {
        Reject();
    }
    const std::uint64_t pixelOffset = ReadU32(fileImage, 10);
    const std::uint32_t infoSize = ReadU32(fileImage, 14);
    const std::int32_t width = ReadI32(fileImage, 18);
    const std::int32_t height = ReadI32(fileImage, 22);
    const std::uint16_t planes = ReadU16(fileImage, 26);
    const std::uint16_t bitsPerPixel = ReadU16(fileImage, 28);
    const std::uint32_t compression = ReadU32(fileImage, 30);
    if (infoSize != InfoHeaderSize || planes != 1 || compression != NoCompression) {
        Reject();
    }
    if (bitsPerPixel != 1 && bitsPerPixel != 24) {
        Reject();
    }
    // Only bottom-up images: a negative height (top-down rows) is not accepted.
    if (width <= 0 || height <= 0) {
        Reject();
    }
    // A 1-bit image carries its two-entry palette between the headers and the pixels.
    const std::uint64_t paletteSize = bitsPerPixel == 1 ? 2 * 4 : 0;
    const std::uint64_t rowBytes = (static_cast<std::uint64_t>(width) * bitsPerPixel + 31) / 32 * 4;
    const std::uint64_t pixelBytes = rowBytes * static_cast<std::uint64_t>(height);
    if (pixelOffset < FileHeaderSize + InfoHeaderSize + paletteSize || pixelOffset > size ||
        pixelBytes > size - pixelOffset) {
        Reject();
    }

    std::unique_ptr<Picture> picture(new Picture());
    picture->m_kind = PictureKind::Bitmap;
    picture->m_width = width;
    picture->m_height = height;
    picture->m_bitsPerPixel = bitsPerPixel;
    picture->m_decodeTried = true;

    // The key of a keyed draw: white for 1 bit, else the bottom-left pixel, the first
    // one stored.
    const std::uint8_t* bottomLeft = fileImage.data() + pixelOffset;
    const Pixel key = bitsPerPixel == 1 ? White : Rgb(bottomLeft[2], bottomLeft[1], bottomLeft[0]);
    // Rows are stored bottom-up; they are packed top row first.
    PackedPixels packed(width, key);
    try {
        std::vector<Pixel> out(static_cast<std::size_t>(width));
        for (int y = 0; y < height; ++y) {
            const std::uint8_t* in =
                fileImage.data() + pixelOffset + static_cast<std::uint64_t>(height - 1 - y) * rowBytes;
            if (bitsPerPixel == 24) {
                for (int x = 0; x < width; ++x, in += 3) {
                    out[static_cast<std::size_t>(x)] = Rgb(in[2], in[1], in[0]);
                }
            } else {
                // Index 0 is black and index 1 white, whatever the palette says.
                for (int x = 0; x < width; ++x) {
                    const bool set = (in[x >> 3] >> (7 - (x & 7))) & 1;
                    out[static_cast<std::size_t>(x)] = set ? White : Black;
                }
            }
            if (!packed.AppendRow(out.data())) {
                throw EOutOfResources("Out of system resources");
            }
        }
    } catch (const std::bad_alloc&) {
        throw EOutOfResources("Out of system resources");
    }
    picture->m_packed = std::move(packed);
    return picture;
}
