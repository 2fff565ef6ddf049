// dump-pictures: decodes the 28 embedded pictures as the program does and writes one
// line per picture and JPEG depth: holder, kind, depth, size and a 64-bit FNV-1a
// digest of the pixels (red, green, blue, rows top-down). Two builds whose lines
// match decode every pixel alike.
//
//   dump-pictures OUTFILE
#include "scene/Catalogue.h"

#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <string>

namespace {

std::uint64_t PixelDigest(const Raster& pixels)
{
    std::uint64_t digest = 14695981039346656037ULL;
    const auto add = [&digest](int byte) {
        digest ^= static_cast<std::uint64_t>(byte);
        digest *= 1099511628211ULL;
    };
    for (int y = 0; y < pixels.Height(); ++y) {
        for (int x = 0; x < pixels.Width(); ++x) {
            const Pixel p = pixels.PixelAt(x, y);
            add(RedOf(p));
            add(GreenOf(p));
            add(BlueOf(p));
        }
    }
    return digest;
}

// Every picture at the true-colour depth; the JPEG pictures once more quantised to
// 236 colours, as on a display of 8 bits or fewer.
std::string Dump()
{
    std::string lines;
    for (const JpegDepth depth : {JpegDepth::TrueColour, JpegDepth::Quantised236}) {
        const auto catalogue = Catalogue::Load(ScreenFormPictures(), depth);
        for (int holder = 1; holder <= PictureCount; ++holder) {
            Picture& picture = catalogue->Image(holder);
            const bool jpeg = picture.Kind() == PictureKind::Jpeg;
            if (!jpeg && depth != JpegDepth::TrueColour)
                continue;
            char line[128];
            std::snprintf(line, sizeof line, "Image%d %s %s %dx%d %016" PRIx64 "\n", holder,
                          jpeg ? "jpeg" : "bitmap", depth == JpegDepth::TrueColour ? "24" : "236",
                          picture.Width(), picture.Height(), PixelDigest(picture.Pixels()));
            lines += line;
        }
    }
    return lines;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: dump-pictures OUTFILE\n");
        return 2;
    }
    std::string lines;
    try {
        lines = Dump();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "dump-pictures: %s\n", error.what());
        return 1;
    }
    // Binary, so that both builds write the same bytes (no CR on Windows).
    std::FILE* out = std::fopen(argv[1], "wb");
    if (out == nullptr || std::fwrite(lines.data(), 1, lines.size(), out) != lines.size()
        || std::fclose(out) != 0) {
        std::fprintf(stderr, "dump-pictures: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
