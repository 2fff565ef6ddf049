// Writers for BMP file images, JPEG streams and stored forms, used by the tests.
#include "support/PictureFiles.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>

// jpeglib.h needs size_t and FILE declared before it.
#include <jpeglib.h>

namespace {

constexpr std::size_t HeadersSize = 14 + 40;
constexpr std::uint8_t Filler = 0x5A;

// The headers, the palette and the gap; putRow(row, y) fills each padded row of
// pixels, which the file holds bottom-up.
Bytes MakeBmp(int width, int height, int bits, const BmpExtras& extras,
              const std::function<void(std::uint8_t* row, std::size_t stride, int y)>& putRow)
{
    const std::size_t stride = (static_cast<std::size_t>(width) * static_cast<std::size_t>(bits) + 31) / 32 * 4;
    const std::size_t pixelBytes = stride * static_cast<std::size_t>(height);
    const std::size_t offset = HeadersSize + (bits == 1 ? 8 : 0) + static_cast<std::size_t>(extras.gap);
    Bytes out(offset + pixelBytes, 0);
    out[0] = 'B';
    out[1] = 'M';
    SetU32(out, 2, static_cast<std::uint32_t>(out.size()));
    SetU32(out, 10, static_cast<std::uint32_t>(offset));
    SetU32(out, 14, 40);
    SetU32(out, 18, static_cast<std::uint32_t>(width));
    SetU32(out, 22, static_cast<std::uint32_t>(height));
    SetU16(out, 26, 1);
    SetU16(out, 28, static_cast<std::uint32_t>(bits));
    SetU32(out, 34, static_cast<std::uint32_t>(pixelBytes));
    SetU32(out, 38, 2835);   // 72 dots per inch
    SetU32(out, 42, 2835);
    if (bits == 1) {
        SetU32(out, 46, 2);
        SetU32(out, HeadersSize, extras.paletteZero & 0xFFFFFF);
        SetU32(out, HeadersSize + 4, extras.paletteOne & 0xFFFFFF);
    }
    std::fill(out.begin() + static_cast<std::ptrdiff_t>(offset) - extras.gap,
              out.begin() + static_cast<std::ptrdiff_t>(offset), Filler);
    for (int y = 0; y < height; ++y)
        putRow(out.data() + offset + stride * static_cast<std::size_t>(height - 1 - y), stride, y);
    return out;
}

struct ErrorJump {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

[[noreturn]] void JumpOnError(j_common_ptr cinfo)
{
    std::longjmp(reinterpret_cast<ErrorJump*>(cinfo->err)->jump, 1);
}

// Everything the error path touches lives in the caller's frame, so that the jump
// back skips no destructor.
struct EncodeState {
    jpeg_compress_struct cinfo;
    ErrorJump error;
    unsigned char* buffer;
    unsigned long size;
};

bool Encode(EncodeState* s, int width, int height, int components, const JpegLayout& layout, const Bytes& samples)
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
    s->cinfo.image_width = static_cast<JDIMENSION>(width);
    s->cinfo.image_height = static_cast<JDIMENSION>(height);
    s->cinfo.input_components = components;
    s->cinfo.in_color_space = components == 1 ? JCS_GRAYSCALE : components == 4 ? JCS_CMYK : JCS_RGB;
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
    const std::size_t stride = static_cast<std::size_t>(width) * static_cast<std::size_t>(components);
    while (s->cinfo.next_scanline < s->cinfo.image_height) {
        JSAMPROW row = const_cast<JSAMPLE*>(samples.data()) + s->cinfo.next_scanline * stride;
        jpeg_write_scanlines(&s->cinfo, &row, 1);
    }
    jpeg_finish_compress(&s->cinfo);
    jpeg_destroy_compress(&s->cinfo);
    return true;
}

ColourAt FromRows(const ColourRows& rows)
{
    return [&rows](int x, int y) { return rows[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)]; };
}

int WidthOf(const ColourRows& rows)
{
    return rows.empty() ? 0 : static_cast<int>(rows[0].size());
}

} // namespace

void SetU16(Bytes& bytes, std::size_t at, std::uint32_t value)
{
    bytes[at] = static_cast<std::uint8_t>(value);
    bytes[at + 1] = static_cast<std::uint8_t>(value >> 8);
}

void SetU32(Bytes& bytes, std::size_t at, std::uint32_t value)
{
    SetU16(bytes, at, value & 0xFFFF);
    SetU16(bytes, at + 2, value >> 16);
}

Bytes MakeBmp24(int width, int height, const ColourAt& colourAt, const BmpExtras& extras)
{
    return MakeBmp(width, height, 24, extras, [&](std::uint8_t* row, std::size_t stride, int y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t c = colourAt(x, y);
            *row++ = static_cast<std::uint8_t>(c);
            *row++ = static_cast<std::uint8_t>(c >> 8);
            *row++ = static_cast<std::uint8_t>(c >> 16);
        }
        std::fill(row, row + (stride - static_cast<std::size_t>(width) * 3), Filler);
    });
}

Bytes MakeBmp1(int width, int height, const std::function<int(int x, int y)>& bitAt, const BmpExtras& extras)
{
    return MakeBmp(width, height, 1, extras, [&](std::uint8_t* row, std::size_t stride, int y) {
        for (int x = 0; x < static_cast<int>(stride * 8); ++x)
            if (x >= width || bitAt(x, y) != 0)
                row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
    });
}

Bytes MakeBmp24(const ColourRows& rows)
{
    return MakeBmp24(WidthOf(rows), static_cast<int>(rows.size()), FromRows(rows));
}

Bytes MakeBmp1(const ColourRows& rows, const BmpExtras& extras)
{
    const ColourAt colourAt = FromRows(rows);
    return MakeBmp1(
        WidthOf(rows), static_cast<int>(rows.size()),
        [&](int x, int y) { return (colourAt(x, y) & 0xFFFFFF) != 0 ? 1 : 0; }, extras);
}

Bytes MakeJpeg(int width, int height, const ColourAt& colourAt, const JpegLayout& layout)
{
    const int components = layout.colours == JpegColours::Grey ? 1 : layout.colours == JpegColours::Cmyk ? 4 : 3;
    Bytes samples;
    samples.reserve(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) *
                    static_cast<std::size_t>(components));
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const std::uint32_t c = colourAt(x, y);
            const std::uint8_t all[4] = {static_cast<std::uint8_t>(c >> 16), static_cast<std::uint8_t>(c >> 8),
                                         static_cast<std::uint8_t>(c), static_cast<std::uint8_t>(c >> 24)};
            samples.insert(samples.end(), all, all + components);
        }
    }
    EncodeState state{};
    Bytes out;
    if (Encode(&state, width, height, components, layout, samples))
        out.assign(state.buffer, state.buffer + state.size);
    std::free(state.buffer);
    return out;
}

Bytes MakeJpeg(const ColourRows& rows, const JpegLayout& layout)
{
    return MakeJpeg(WidthOf(rows), static_cast<int>(rows.size()), FromRows(rows), layout);
}

Bytes MakeForm(const std::vector<FormBlock>& blocks)
{
    Bytes out;
    for (const FormBlock& block : blocks) {
        out.push_back(static_cast<std::uint8_t>(block.className.size()));
        out.insert(out.end(), block.className.begin(), block.className.end());
        out.resize(out.size() + 4);
        SetU32(out, out.size() - 4, static_cast<std::uint32_t>(block.data.size()));
        out.insert(out.end(), block.data.begin(), block.data.end());
    }
    return out;
}
