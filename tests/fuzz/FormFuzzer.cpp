// fuzz-form: the screen form's stored picture blocks. Parses the stream as the screen
// form does, then draws every picture it yields, keyed as the catalogue says and the
// other way too, and checks each draw pixel by pixel. Bytes after the 28 blocks give
// the draw positions.
#include "FuzzCheck.h"
#include "PictureDrawCheck.h"
#include "platform/Exception.h"
#include "scene/Catalogue.h"

#include <cstdint>
#include <cstring>
#include <span>
#include <string>

namespace {

// One past the last of the 28 blocks, read the simple way: the stream parsed, so
// every length in it lies within the data.
std::size_t EndOfBlocks(std::span<const std::uint8_t> data)
{
    std::size_t at = 0;
    for (int block = 0; block < PictureCount; ++block) {
        at += 1 + data[at];
        const std::uint32_t size = std::uint32_t(data[at]) | std::uint32_t(data[at + 1]) << 8 |
                                   std::uint32_t(data[at + 2]) << 16 | std::uint32_t(data[at + 3]) << 24;
        at += 4 + size;
    }
    return at;
}

void CheckLoadError(const Exception& error)
{
    const std::string name = error.ClassName();
    const std::string message = error.what();
    if (name == "EReadError") {
        FUZZ_CHECK(message == "Stream read error", "'%s'", message.c_str());
    } else if (name == "EClassNotFound") {
        // what() ends at a NUL inside the class name, so only the head is sure.
        FUZZ_CHECK(message.starts_with("Class "), "'%s'", message.c_str());
    } else if (name == "EInvalidGraphic") {
        FUZZ_CHECK(message == "Bitmap image is not valid", "'%s'", message.c_str());
    } else if (name == "EJPEG") {
        FUZZ_CHECK(message.starts_with("JPEG error #"), "'%s'", message.c_str());
    } else {
        FUZZ_CHECK(false, "loading raised %s '%s'", name.c_str(), message.c_str());
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size)
{
    const std::span<const std::uint8_t> data(bytes, size);
    const JpegDepth depth = size % 2 == 0 ? JpegDepth::TrueColour : JpegDepth::Quantised236;

    std::unique_ptr<Catalogue> catalogue;
    try {
        catalogue = Catalogue::Load(data, depth);
    } catch (const Exception& error) {
        CheckLoadError(error);
        return 0;
    }
    FUZZ_CHECK(catalogue != nullptr, "Load returned nothing");

    std::uint64_t pixels = 0;
    for (int holder = 1; holder <= PictureCount; ++holder) {
        const Picture& picture = catalogue->Image(holder);
        FUZZ_CHECK(picture.Width() > 0 && picture.Height() > 0, "Image%d is %dx%d", holder, picture.Width(),
                   picture.Height());
        const std::uint64_t count = std::uint64_t(picture.Width()) * std::uint64_t(picture.Height());
        if (count > MaxFuzzPixels)
            return -1;
        pixels += count;
    }
    if (pixels > MaxFuzzFormPixels)
        return -1;  // legal but only slow: not added to the corpus

    const std::span<const std::uint8_t> tail = data.subspan(EndOfBlocks(data));
    // A smaller canvas and fewer fixed positions than the single-picture targets, which
    // check the draws themselves more thoroughly: here the 28 pictures share the time.
    Raster canvas(CanvasWidth / 2, CanvasHeight / 2);
    for (int holder = 1; holder <= PictureCount; ++holder) {
        Picture& picture = catalogue->Image(holder);
        const Keying catalogueKeying = Facts(holder).Keyed ? Keying::UseKey : Keying::Opaque;
        const Keying otherKeying = catalogueKeying == Keying::UseKey ? Keying::Opaque : Keying::UseKey;
        const auto positions = DrawPositions(picture.Width(), picture.Height(), canvas, tail, 5);
        // The first few positions through the catalogue, as a tick draws; all of them
        // both ways through DrawPicture.
        for (std::size_t i = 0; i < positions.size(); ++i) {
            const int x = positions[i].first;
            const int y = positions[i].second;
            if (i < 4) {
                DrawAndCheck(canvas, picture, catalogueKeying, x, y,
                             [&] { catalogue->Draw(canvas, holder, x, y); });
            }
            DrawAndCheck(canvas, picture, catalogueKeying, x, y);
            DrawAndCheck(canvas, picture, otherKeying, x, y);
        }
        CheckDecodedPixels(picture, depth == JpegDepth::Quantised236 && picture.Kind() == PictureKind::Jpeg);
    }
    return 0;
}
