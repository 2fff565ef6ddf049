// fuzz-bitmap: one BMP file image, as a TBitmap block holds it. Loads it, then draws it
// opaque and keyed at many positions and checks every pixel of each draw.
#include "FuzzCheck.h"
#include "PictureDrawCheck.h"
#include "platform/Exception.h"
#include "platform/raster/Picture.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    const std::span<const std::uint8_t> data(bytes, size);
    std::unique_ptr<Picture> picture;
    try {
        picture = Picture::LoadBitmap(data);
    } catch (const Exception& error) {
        FUZZ_CHECK(std::strcmp(error.ClassName(), "EInvalidGraphic") == 0, "raised %s", error.ClassName());
        FUZZ_CHECK(std::strcmp(error.what(), "Bitmap image is not valid") == 0, "'%s'", error.what());
        return 0;
    }
    FUZZ_CHECK(picture->Kind() == PictureKind::Bitmap, "kind");
    FUZZ_CHECK(picture->BitsPerPixel() == 1 || picture->BitsPerPixel() == 24, "%d bits", picture->BitsPerPixel());
    FUZZ_CHECK(picture->Width() > 0 && picture->Height() > 0, "%dx%d", picture->Width(), picture->Height());
    // The pixels lie within the block: every row, padded to 4 bytes, after the headers.
    const std::uint64_t rowBytes = (std::uint64_t(picture->Width()) * picture->BitsPerPixel() + 31) / 32 * 4;
    FUZZ_CHECK(rowBytes * std::uint64_t(picture->Height()) + 54 <= size, "%dx%d from %zu bytes",
               picture->Width(), picture->Height(), size);
    if (std::uint64_t(picture->Width()) * std::uint64_t(picture->Height()) > MaxFuzzPixels)
        return -1;

    CheckDecodedPixels(*picture, false);
    // Positions from the middle of the pixel data, which mutations change freely.
    const std::span<const std::uint8_t> positionBytes = data.subspan(size / 2, std::min<std::size_t>(size / 2, 8));
    Raster canvas(CanvasWidth, CanvasHeight);
    for (const auto& [x, y] : DrawPositions(picture->Width(), picture->Height(), canvas, positionBytes)) {
        DrawAndCheck(canvas, *picture, Keying::Opaque, x, y);
        DrawAndCheck(canvas, *picture, Keying::UseKey, x, y);
    }
    FUZZ_CHECK(picture->DecodeCount() == 0, "a bitmap was decoded %d times", picture->DecodeCount());
    return 0;
}
