// JpegDecoder: decoding through libjpeg, whose errors come back by longjmp and leave here as EJPEG.
//
// libjpeg is C: a C++ exception must never unwind through its frames. Its error exit
// jumps back to the setjmp in the function that called into the library; that
// function destroys the decompressor and reports the message number, and only its
// caller, outside every libjpeg frame, throws. The functions that call setjmp hold
// no objects with destructors, and everything they touch after the jump lives in
// their caller's frame.
#include "platform/raster/JpegDecoder.h"

#include "platform/Exception.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <string>

// jpeglib.h needs size_t and FILE declared before it.
#include <jpeglib.h>

namespace {

constexpr int QuantisedColours = 236;

struct DecodeContext {
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr err;
    std::jmp_buf jump;
    bool failed;
    bool refused;
    int width;
    int height;
    Pixel palette[256];
};

DecodeContext* ContextOf(j_common_ptr cinfo)
{
    return static_cast<DecodeContext*>(cinfo->client_data);
}

[[noreturn]] void ErrorExit(j_common_ptr cinfo)
{
    std::longjmp(ContextOf(cinfo)->jump, 1);
}

// Warnings (corrupt data that the decoder can step over) are ignored.
void OutputMessage(j_common_ptr) {}

void Prepare(DecodeContext* ctx)
{
    std::memset(&ctx->cinfo, 0, sizeof ctx->cinfo);
    // jpeg_create_decompress keeps err and client_data, so an error inside it finds both.
    ctx->cinfo.err = jpeg_std_error(&ctx->err);
    ctx->cinfo.client_data = ctx;
    ctx->err.error_exit = ErrorExit;
    ctx->err.output_message = OutputMessage;
}

// Fills in the size, or sets failed and leaves libjpeg's message number in err.
void TryReadSize(DecodeContext* ctx, const std::uint8_t* data, std::size_t size)
{
    Prepare(ctx);
    if (setjmp(ctx->jump) != 0) {
        jpeg_destroy_decompress(&ctx->cinfo);
        ctx->failed = true;
        return;
    }
    jpeg_create_decompress(&ctx->cinfo);
    jpeg_mem_src(&ctx->cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(&ctx->cinfo, TRUE);
    ctx->width = static_cast<int>(ctx->cinfo.image_width);
    ctx->height = static_cast<int>(ctx->cinfo.image_height);
    jpeg_destroy_decompress(&ctx->cinfo);
}

// Sets failed after an error and leaves libjpeg's message number in err.
// A row the sink refuses sets refused and ends the decode.
void TryDecode(DecodeContext* ctx, const std::uint8_t* data, std::size_t size, bool quantise, Pixel* out,
               std::size_t outWidth, JpegDecoder::RowSink* sink)
{
    Prepare(ctx);
    if (setjmp(ctx->jump) != 0) {
        jpeg_destroy_decompress(&ctx->cinfo);
        ctx->failed = true;
        return;
    }
    jpeg_decompress_struct* cinfo = &ctx->cinfo;
    jpeg_create_decompress(cinfo);
    jpeg_mem_src(cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(cinfo, TRUE);
    cinfo->dct_method = JDCT_FLOAT;
    cinfo->do_fancy_upsampling = TRUE;
    cinfo->scale_num = 1;
    cinfo->scale_denom = 1;
    cinfo->out_color_space = JCS_RGB;
    if (quantise) {
        cinfo->quantize_colors = TRUE;
        cinfo->desired_number_of_colors = QuantisedColours;
    }
    jpeg_start_decompress(cinfo);

    if (quantise) {
        for (int i = 0; i < cinfo->actual_number_of_colors && i < 256; ++i) {
            ctx->palette[i] = Rgb(cinfo->colormap[0][i], cinfo->colormap[1][i], cinfo->colormap[2][i]);
        }
    }
    const int components = cinfo->output_components;
    JSAMPARRAY row = (*cinfo->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(cinfo), JPOOL_IMAGE,
                                                 cinfo->output_width * static_cast<JDIMENSION>(components), 1);
    const std::size_t columns = std::min<std::size_t>(cinfo->output_width, outWidth);
    while (cinfo->output_scanline < cinfo->output_height) {
        if (jpeg_read_scanlines(cinfo, row, 1) != 1) {
            break;
        }
        const JSAMPLE* in = row[0];
        if (quantise) {
            for (std::size_t x = 0; x < columns; ++x) {
                out[x] = ctx->palette[in[x]];
            }
        } else if (components == 3) {
            for (std::size_t x = 0; x < columns; ++x, in += 3) {
                out[x] = Rgb(in[0], in[1], in[2]);
            }
        }
        if (!sink->TakeRow(out)) {
            ctx->refused = true;
            jpeg_destroy_decompress(cinfo);
            return;
        }
    }
    jpeg_finish_decompress(cinfo);
    jpeg_destroy_decompress(cinfo);
}

[[noreturn]] void RaiseJpegError(int code)
{
    throw EJPEG("JPEG error #" + std::to_string(code));
}

} // namespace

JpegDecoder::Size JpegDecoder::ReadSize(std::span<const std::uint8_t> stream)
{
    DecodeContext ctx{};
    TryReadSize(&ctx, stream.data(), stream.size());
    if (ctx.failed) {
        RaiseJpegError(ctx.err.msg_code);
    }
    return {ctx.width, ctx.height};
}

void JpegDecoder::Decode(std::span<const std::uint8_t> stream, JpegDepth depth, std::span<Pixel> row, RowSink& sink)
{
    DecodeContext ctx{};
    std::fill(std::begin(ctx.palette), std::end(ctx.palette), Black);
    TryDecode(&ctx, stream.data(), stream.size(), depth == JpegDepth::Quantised236, row.data(), row.size(), &sink);
    if (ctx.failed) {
        RaiseJpegError(ctx.err.msg_code);
    }
    if (ctx.refused) {
        throw EOutOfResources("Out of system resources");
    }
}
