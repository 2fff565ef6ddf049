// make-fuzz-seeds: writes the picture fuzz targets' seed inputs. Small pictures of
// every kind the screen form holds (BMP files of 1 and 24 bits, JPEG streams in the
// catalogue's layout and in the others a decoder meets), small screen forms packed from
// them, and, when assets/ holds the pictures, copies of those and the real packed form.
//
//   make-fuzz-seeds ASSETDIR OUTDIR
//
// OUTDIR/bitmap, OUTDIR/jpeg and OUTDIR/form are the small seeds; OUTDIR/replay/<target>
// the full-size files, which a run feeds once each at their whole length.
#include "scene/PictureTable.h"
#include "support/PictureFiles.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

// A synthetic picture, 0xKKRRGGBB (K the fourth channel of a CMYK stream): black
// shapes on the key green, with a few other colours so that keyed draws have
// something to leave and something to copy.
std::uint32_t SyntheticPixel(int x, int y, int height)
{
    const std::uint32_t k = static_cast<std::uint32_t>((x * 9) & 0xFF) << 24;
    if (y == height - 1 && x == 0)
        return k | 0x00FF00;  // bottom-left: the colour key of a 24-bit picture
    if ((x + 2 * y) % 5 == 0)
        return k;
    if ((x * y) % 7 == 3)
        return k | (static_cast<std::uint32_t>((40 * x) & 0xFF) << 16) |
               (static_cast<std::uint32_t>((25 * y) & 0xFF) << 8) | 200;
    return k | 0x00FF00;
}

// A BMP file image of the synthetic picture; a 1-bit one has white where it is green.
// `gap` extra bytes lie between the headers and the pixels.
Bytes MakeBitmap(int width, int height, int bits, int gap = 0)
{
    const auto colourAt = [height](int x, int y) { return SyntheticPixel(x, y, height); };
    if (bits == 24)
        return MakeBmp24(width, height, colourAt, {.gap = gap});
    return MakeBmp1(
        width, height, [&](int x, int y) { return (colourAt(x, y) & 0xFFFFFF) == 0x00FF00 ? 1 : 0; }, {.gap = gap});
}

bool IsBitmapHolder(int holder)
{
    return Facts(holder).Kind == PictureKind::Bitmap;
}

bool IsOneBitHolder(int holder)
{
    return Facts(holder).BitsPerPixel == 1;
}

// Longer files are left out of the seeds: the fuzzer cuts every input to its length
// limit (64 KiB), which would leave only a broken head of them. The replay has them.
// The sky pictures (a million pixels each) are left out too: the banners and eyes are
// the same kind of stream, and decode forty times faster.
constexpr std::size_t MaxSeedSize = 64 * 1024;
constexpr std::size_t MaxJpegSeedSize = 16 * 1024;

// Bytes after the 28 blocks, which the form target reads as draw positions.
const Bytes PositionTail = {0x40, 0x40, 0x80, 0x80, 0x01, 0xFE, 0xC0, 0x20};

std::optional<Bytes> ReadFile(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool WriteFile(const fs::path& path, const Bytes& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        std::fprintf(stderr, "make-fuzz-seeds: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: make-fuzz-seeds ASSETDIR OUTDIR\n");
        return 2;
    }
    const fs::path assets = argv[1];
    const fs::path out = argv[2];
    for (const char* dir : {"bitmap", "jpeg", "form", "replay/fuzz-bitmap", "replay/fuzz-jpeg", "replay/fuzz-form"})
        fs::create_directories(out / dir);
    bool ok = true;

    // Bitmaps: both depths, widths that need row padding, a gap before the pixels.
    const struct { int width, height, bits, gap; } bitmaps[] = {
        {1, 1, 1, 0}, {9, 3, 1, 0}, {33, 2, 1, 0}, {17, 19, 1, 4},
        {1, 1, 24, 0}, {3, 2, 24, 0}, {5, 5, 24, 0}, {13, 7, 24, 2}, {70, 3, 24, 0},
    };
    for (const auto& b : bitmaps) {
        const std::string name = "synthetic-" + std::to_string(b.width) + "x" + std::to_string(b.height) + "-" +
                                 std::to_string(b.bits) + "bit" + (b.gap ? "-gap" : "") + ".bmp";
        ok &= WriteFile(out / "bitmap" / name, MakeBitmap(b.width, b.height, b.bits, b.gap));
    }

    // JPEG streams: the catalogue's layout (4:2:0 baseline) and what else a decoder meets.
    const struct { const char* name; int width, height; JpegLayout layout; } jpegs[] = {
        {"baseline-420-16x16", 16, 16, {.quality = 75}},
        {"baseline-420-17x13", 17, 13, {.quality = 90}},
        {"baseline-444-8x8", 8, 8, {.quality = 50, .lumaH = 1, .lumaV = 1}},
        {"baseline-422-10x6", 10, 6, {.quality = 75, .lumaV = 1}},
        {"grey-9x9", 9, 9, {.quality = 75, .colours = JpegColours::Grey}},
        {"progressive-24x10", 24, 10, {.quality = 75, .progressive = true}},
        {"restart-20x20", 20, 20, {.quality = 75, .restartInterval = 1}},
        {"arithmetic-16x8", 16, 8, {.quality = 75, .arithmetic = true}},
        {"cmyk-8x8", 8, 8, {.quality = 75, .colours = JpegColours::Cmyk}},
        {"wide-70x2", 70, 2, {.quality = 30}},
    };
    std::vector<Bytes> formJpegs;
    for (const auto& j : jpegs) {
        const Bytes stream =
            MakeJpeg(j.width, j.height, [&](int x, int y) { return SyntheticPixel(x, y, j.height); }, j.layout);
        if (stream.empty())
            continue;  // a feature this libjpeg lacks
        ok &= WriteFile(out / "jpeg" / (std::string(j.name) + ".jpg"), stream);
        if (j.layout.colours == JpegColours::Rgb && !j.layout.arithmetic)
            formJpegs.push_back(stream);
    }

    // Small screen forms: every holder of its kind and depth, JPEG layouts rotating.
    for (int variant = 0; variant < 3; ++variant) {
        std::vector<FormBlock> blocks;
        for (int holder = 1; holder <= 28; ++holder) {
            if (IsBitmapHolder(holder)) {
                const int bits = IsOneBitHolder(holder) ? 1 : 24;
                blocks.push_back({"TBitmap", MakeBitmap(3 + holder % 9 + variant, 2 + holder % 5, bits)});
            } else {
                blocks.push_back(
                    {"TJPEGImage", formJpegs[(static_cast<std::size_t>(holder) + variant) % formJpegs.size()]});
            }
        }
        Bytes form = MakeForm(blocks);
        form.insert(form.end(), PositionTail.begin(), PositionTail.end());
        ok &= WriteFile(out / "form" / ("synthetic-" + std::to_string(variant) + ".form"), form);
    }

    // The real pictures: the small ones as seeds of their kind, all of them whole for
    // the replay, and the whole packed form for the replay.
    std::vector<FormBlock> realBlocks;
    bool complete = true;
    for (int holder = 1; holder <= 28; ++holder) {
        const bool bitmap = IsBitmapHolder(holder);
        const std::string file = AssetFileName(holder);
        const std::optional<Bytes> bytes = ReadFile(assets / file);
        if (!bytes || bytes->empty()) {
            complete = false;
            continue;
        }
        const char* kind = bitmap ? "bitmap" : "jpeg";
        if (bytes->size() <= (bitmap ? MaxSeedSize : MaxJpegSeedSize))
            ok &= WriteFile(out / kind / ("asset-" + file), *bytes);
        ok &= WriteFile(out / "replay" / (bitmap ? "fuzz-bitmap" : "fuzz-jpeg") / file, *bytes);
        realBlocks.push_back({bitmap ? "TBitmap" : "TJPEGImage", *bytes});
    }
    if (complete) {
        Bytes realForm = MakeForm(realBlocks);
        realForm.insert(realForm.end(), PositionTail.begin(), PositionTail.end());
        ok &= WriteFile(out / "replay" / "fuzz-form" / "assets.form", realForm);
    }
    // The dialog's button glyphs are BMP files too.
    if (fs::is_directory(assets)) {
        for (const auto& entry : fs::directory_iterator(assets)) {
            const std::string name = entry.path().filename().string();
            if (name.starts_with("BB") && name.ends_with(".bmp")) {
                if (const std::optional<Bytes> bytes = ReadFile(entry.path())) {
                    ok &= WriteFile(out / "bitmap" / ("asset-" + name), *bytes);
                    ok &= WriteFile(out / "replay" / "fuzz-bitmap" / name, *bytes);
                }
            }
        }
    }
    std::printf("make-fuzz-seeds: synthetic seeds written; real pictures %s\n",
                complete ? "packed" : "incomplete (assets/ not ready), skipped");
    return ok ? 0 : 1;
}
