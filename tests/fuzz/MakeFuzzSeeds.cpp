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

#include <csetjmp>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

// jpeglib.h needs size_t and FILE declared before it.
#include <jpeglib.h>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

struct Rgb {
    std::uint8_t r, g, b;
};

// A synthetic picture: black shapes on the key green, with a few other colours so
// that keyed draws have something to leave and something to copy.
Rgb SyntheticPixel(int x, int y, int height)
{
    if (y == height - 1 && x == 0)
        return {0, 255, 0};  // bottom-left: the colour key of a 24-bit picture
    if ((x + 2 * y) % 5 == 0)
        return {0, 0, 0};
    if ((x * y) % 7 == 3)
        return {static_cast<std::uint8_t>(40 * x), static_cast<std::uint8_t>(25 * y), 200};
    return {0, 255, 0};
}

void PutU16(Bytes& out, unsigned value)
{
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

void PutU32(Bytes& out, std::uint32_t value)
{
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<std::uint8_t>((value >> shift) & 0xFF));
}

// A BMP file image: file header, 40-byte information header, for 1 bit the black and
// white palette, then the rows bottom-up, each padded to 4 bytes. `gap` extra bytes
// lie between the headers and the pixels.
Bytes MakeBitmap(int width, int height, int bits, int gap = 0)
{
    const std::uint32_t rowBytes = (static_cast<std::uint32_t>(width) * bits + 31) / 32 * 4;
    const std::uint32_t offset = 54 + (bits == 1 ? 8 : 0) + static_cast<std::uint32_t>(gap);
    const std::uint32_t size = offset + rowBytes * static_cast<std::uint32_t>(height);
    Bytes out{'B', 'M'};
    PutU32(out, size);
    PutU32(out, 0);
    PutU32(out, offset);
    PutU32(out, 40);
    PutU32(out, static_cast<std::uint32_t>(width));
    PutU32(out, static_cast<std::uint32_t>(height));
    PutU16(out, 1);
    PutU16(out, static_cast<unsigned>(bits));
    PutU32(out, 0);
    PutU32(out, rowBytes * static_cast<std::uint32_t>(height));
    PutU32(out, 2835);
    PutU32(out, 2835);
    PutU32(out, bits == 1 ? 2 : 0);
    PutU32(out, 0);
    if (bits == 1) {
        const std::uint8_t palette[8] = {0, 0, 0, 0, 255, 255, 255, 0};
        out.insert(out.end(), palette, palette + 8);
    }
    out.insert(out.end(), static_cast<std::size_t>(gap), 0x5A);
    for (int row = height - 1; row >= 0; --row) {
        Bytes line(rowBytes, 0);
        for (int x = 0; x < width; ++x) {
            const Rgb p = SyntheticPixel(x, row, height);
            if (bits == 24) {
                line[static_cast<std::size_t>(3 * x)] = p.b;
                line[static_cast<std::size_t>(3 * x + 1)] = p.g;
                line[static_cast<std::size_t>(3 * x + 2)] = p.r;
            } else if (p.g == 255) {
                line[static_cast<std::size_t>(x / 8)] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
            }
        }
        out.insert(out.end(), line.begin(), line.end());
    }
    return out;
}

struct JpegLayout {
    int width;
    int height;
    J_COLOR_SPACE space;  // JCS_RGB, JCS_GRAYSCALE or JCS_CMYK input
    int lumaH;            // luma sampling factors; chroma is 1x1
    int lumaV;
    bool progressive;
    int restartInterval;
    bool arithmetic;
    int quality;
};

struct ErrorJump {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

[[noreturn]] void JumpOnError(j_common_ptr cinfo)
{
    std::longjmp(reinterpret_cast<ErrorJump*>(cinfo->err)->jump, 1);
}

// Encodes with libjpeg; nothing when this build of the library lacks a feature.
// Everything the error path touches lives in the caller's frame (`state`).
struct EncodeState {
    jpeg_compress_struct cinfo;
    ErrorJump error;
    unsigned char* buffer;
    unsigned long size;
    Bytes samples;
};

bool Encode(EncodeState* s, const JpegLayout& layout)
{
    s->cinfo.err = jpeg_std_error(&s->error.manager);
    s->error.manager.error_exit = JumpOnError;
    s->error.manager.output_message = [](j_common_ptr) {};
    if (setjmp(s->error.jump) != 0) {
        jpeg_destroy_compress(&s->cinfo);
        return false;
    }
    jpeg_create_compress(&s->cinfo);
    jpeg_mem_dest(&s->cinfo, &s->buffer, &s->size);
    const int components = layout.space == JCS_GRAYSCALE ? 1 : layout.space == JCS_CMYK ? 4 : 3;
    s->cinfo.image_width = static_cast<JDIMENSION>(layout.width);
    s->cinfo.image_height = static_cast<JDIMENSION>(layout.height);
    s->cinfo.input_components = components;
    s->cinfo.in_color_space = layout.space;
    jpeg_set_defaults(&s->cinfo);
    jpeg_set_quality(&s->cinfo, layout.quality, TRUE);
    if (components == 3) {
        s->cinfo.comp_info[0].h_samp_factor = layout.lumaH;
        s->cinfo.comp_info[0].v_samp_factor = layout.lumaV;
    }
    s->cinfo.restart_interval = static_cast<unsigned>(layout.restartInterval);
    s->cinfo.arith_code = layout.arithmetic ? TRUE : FALSE;
    if (layout.progressive)
        jpeg_simple_progression(&s->cinfo);
    jpeg_start_compress(&s->cinfo, TRUE);
    const std::size_t stride = static_cast<std::size_t>(layout.width) * static_cast<std::size_t>(components);
    while (s->cinfo.next_scanline < s->cinfo.image_height) {
        JSAMPROW row = s->samples.data() + s->cinfo.next_scanline * stride;
        jpeg_write_scanlines(&s->cinfo, &row, 1);
    }
    jpeg_finish_compress(&s->cinfo);
    jpeg_destroy_compress(&s->cinfo);
    return true;
}

std::optional<Bytes> MakeJpeg(const JpegLayout& layout)
{
    EncodeState state{};
    const int components = layout.space == JCS_GRAYSCALE ? 1 : layout.space == JCS_CMYK ? 4 : 3;
    for (int y = 0; y < layout.height; ++y) {
        for (int x = 0; x < layout.width; ++x) {
            const Rgb p = SyntheticPixel(x, y, layout.height);
            const std::uint8_t all[4] = {p.r, p.g, p.b, static_cast<std::uint8_t>(x * 9)};
            state.samples.insert(state.samples.end(), all, all + components);
        }
    }
    const bool ok = Encode(&state, layout);
    std::optional<Bytes> out;
    if (ok)
        out = Bytes(state.buffer, state.buffer + state.size);
    std::free(state.buffer);
    return out;
}

bool IsBitmapHolder(int holder)
{
    return Facts(holder).Kind == PictureKind::Bitmap;
}

bool IsOneBitHolder(int holder)
{
    return Facts(holder).BitsPerPixel == 1;
}

void AppendBlock(Bytes& form, const std::string& className, const Bytes& data)
{
    form.push_back(static_cast<std::uint8_t>(className.size()));
    form.insert(form.end(), className.begin(), className.end());
    PutU32(form, static_cast<std::uint32_t>(data.size()));
    form.insert(form.end(), data.begin(), data.end());
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
    const struct { const char* name; JpegLayout layout; } jpegs[] = {
        {"baseline-420-16x16", {16, 16, JCS_RGB, 2, 2, false, 0, false, 75}},
        {"baseline-420-17x13", {17, 13, JCS_RGB, 2, 2, false, 0, false, 90}},
        {"baseline-444-8x8", {8, 8, JCS_RGB, 1, 1, false, 0, false, 50}},
        {"baseline-422-10x6", {10, 6, JCS_RGB, 2, 1, false, 0, false, 75}},
        {"grey-9x9", {9, 9, JCS_GRAYSCALE, 1, 1, false, 0, false, 75}},
        {"progressive-24x10", {24, 10, JCS_RGB, 2, 2, true, 0, false, 75}},
        {"restart-20x20", {20, 20, JCS_RGB, 2, 2, false, 1, false, 75}},
        {"arithmetic-16x8", {16, 8, JCS_RGB, 2, 2, false, 0, true, 75}},
        {"cmyk-8x8", {8, 8, JCS_CMYK, 1, 1, false, 0, false, 75}},
        {"wide-70x2", {70, 2, JCS_RGB, 2, 2, false, 0, false, 30}},
    };
    std::vector<Bytes> formJpegs;
    for (const auto& j : jpegs) {
        const std::optional<Bytes> stream = MakeJpeg(j.layout);
        if (!stream)
            continue;  // a feature this libjpeg lacks
        ok &= WriteFile(out / "jpeg" / (std::string(j.name) + ".jpg"), *stream);
        if (j.layout.space == JCS_RGB && !j.layout.arithmetic)
            formJpegs.push_back(*stream);
    }

    // Small screen forms: every holder of its kind and depth, JPEG layouts rotating.
    for (int variant = 0; variant < 3; ++variant) {
        Bytes form;
        for (int holder = 1; holder <= 28; ++holder) {
            if (IsBitmapHolder(holder)) {
                const int bits = IsOneBitHolder(holder) ? 1 : 24;
                AppendBlock(form, "TBitmap", MakeBitmap(3 + holder % 9 + variant, 2 + holder % 5, bits));
            } else {
                AppendBlock(form, "TJPEGImage", formJpegs[(static_cast<std::size_t>(holder) + variant) % formJpegs.size()]);
            }
        }
        form.insert(form.end(), PositionTail.begin(), PositionTail.end());
        ok &= WriteFile(out / "form" / ("synthetic-" + std::to_string(variant) + ".form"), form);
    }

    // The real pictures: the small ones as seeds of their kind, all of them whole for
    // the replay, and the whole packed form for the replay.
    Bytes realForm;
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
        AppendBlock(realForm, bitmap ? "TBitmap" : "TJPEGImage", *bytes);
    }
    if (complete) {
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
