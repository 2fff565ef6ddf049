// fuzz-jpeg: one JPEG stream, as a TJPEGImage block holds it. Reads its size, decodes it
// at the first draw, in true colour or quantised to 236 colours as a byte of the input
// chooses, and checks every pixel of opaque and keyed draws.
#include "FuzzCheck.h"
#include "PictureDrawCheck.h"
#include "platform/Exception.h"
#include "platform/raster/Picture.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    const std::span<const std::uint8_t> data(bytes, size);
    // The middle byte lies in the entropy-coded data of most streams, which mutations
    // change freely; its lowest bit picks the decode.
    const bool quantised = size > 0 && (data[size / 2] & 1) != 0;
    std::unique_ptr<Picture> picture;
    try {
        picture = Picture::LoadJpeg(data, quantised ? JpegDepth::Quantised236 : JpegDepth::TrueColour);
    } catch (const Exception& error) {
        FUZZ_CHECK(std::strcmp(error.ClassName(), "EJPEG") == 0, "raised %s", error.ClassName());
        FUZZ_CHECK(std::string(error.what()).starts_with("JPEG error #"), "'%s'", error.what());
        return 0;
    }
    FUZZ_CHECK(picture->Kind() == PictureKind::Jpeg, "kind");
    FUZZ_CHECK(picture->BitsPerPixel() == 24, "%d bits", picture->BitsPerPixel());
    FUZZ_CHECK(picture->Width() > 0 && picture->Height() > 0, "%dx%d", picture->Width(), picture->Height());
    FUZZ_CHECK(picture->DecodeCount() == 0, "decoded while loading");
    if (std::uint64_t(picture->Width()) * std::uint64_t(picture->Height()) > MaxFuzzPixels)
        return -1;

    const std::span<const std::uint8_t> positionBytes = data.subspan(size / 2, std::min<std::size_t>(size / 2, 8));
    Raster canvas(CanvasWidth, CanvasHeight);
    // The first draw decodes; which keying it uses is the input's choice too.
    const bool keyedFirst = size > 1 && (data[size / 2 - 1] & 1) != 0;
    const Keying first = keyedFirst ? Keying::UseKey : Keying::Opaque;
    const Keying second = keyedFirst ? Keying::Opaque : Keying::UseKey;
    for (const auto& [x, y] : DrawPositions(picture->Width(), picture->Height(), canvas, positionBytes)) {
        DrawAndCheck(canvas, *picture, first, x, y);
        DrawAndCheck(canvas, *picture, second, x, y);
    }
    CheckDecodedPixels(*picture, quantised);
    FUZZ_CHECK(picture->DecodeCount() == 1, "decoded %d times", picture->DecodeCount());
    return 0;
}
