// Picture: JPEG loading, decoding at first use into packed runs, the colour key.
#include "platform/raster/Picture.h"

#include "platform/Exception.h"
#include "platform/raster/JpegDecoder.h"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <new>
#include <utility>
#include <vector>

std::unique_ptr<Picture> Picture::LoadJpeg(std::span<const std::uint8_t> stream, JpegDepth depth)
{
    const JpegDecoder::Size size = JpegDecoder::ReadSize(stream);
    std::unique_ptr<Picture> picture(new Picture());
    picture->m_kind = PictureKind::Jpeg;
    picture->m_width = size.Width;
    picture->m_height = size.Height;
    picture->m_bitsPerPixel = 24;
    picture->m_depth = depth;
    picture->m_stream.assign(stream.begin(), stream.end());
    return picture;
}

Picture::~Picture() = default;

namespace {

class PackingSink final : public JpegDecoder::RowSink {
public:
    explicit PackingSink(PackedPixels& packed) : m_packed(packed) {}
    bool TakeRow(const Pixel* row) noexcept override { return m_packed.AppendRow(row); }

private:
    PackedPixels& m_packed;
};

} // namespace

void Picture::DecodeAhead() noexcept
{
    if (m_decodeTried) {
        return;
    }
    try {
        EnsureDecoded();
    } catch (...) {
        m_aheadFailure = std::current_exception();
    }
}

void Picture::EnsureDecoded()
{
    if (m_decodeTried) {
        if (m_aheadFailure) {
            std::rethrow_exception(std::exchange(m_aheadFailure, nullptr));
        }
        return;
    }
    // Tried once only: after a failure the picture keeps what was decoded, the rows
    // below it black, and later draws show that.
    m_decodeTried = true;
    ++m_decodeCount;
    PackedPixels packed(m_width);
    std::exception_ptr failure;
    try {
        std::vector<Pixel> row(static_cast<std::size_t>(m_width), Black);
        PackingSink sink(packed);
        try {
            JpegDecoder::Decode(m_stream, m_depth, row, sink);
        } catch (const EJPEG&) {
            failure = std::current_exception();
        }
        std::fill(row.begin(), row.end(), Black);
        while (packed.Height() < m_height) {
            if (!packed.AppendRow(row.data())) {
                throw EOutOfResources("Out of system resources");
            }
        }
    } catch (const std::bad_alloc&) {
        throw EOutOfResources("Out of system resources");
    }
    // No pixel of a real picture has a zero top byte, so an empty picture's key
    // matches nothing.
    packed.Finish(packed.IsEmpty() ? 0 : packed.PixelAt(0, packed.Height() - 1));
    m_packed = std::move(packed);
    // Never decoded again: the stream has served.
    m_stream = {};
    if (failure) {
        std::rethrow_exception(failure);
    }
}

const Raster& Picture::Pixels()
{
    EnsureDecoded();
    if (!m_expanded) {
        auto pixels = std::make_unique<Raster>(m_packed.Width(), m_packed.Height());
        for (int y = 0; y < pixels->Height(); ++y) {
            m_packed.DrawRow(y, 0, pixels->Width(), pixels->Scanline(y), false);
        }
        m_expanded = std::move(pixels);
    }
    return *m_expanded;
}

bool Picture::DrawsPixel(int x, int y, Keying keying) const
{
    if (x < 0 || y < 0 || x >= m_packed.Width() || y >= m_packed.Height())
        return false;
    return keying == Keying::Opaque || m_packed.PixelAt(x, y) != m_packed.Key();
}

Pixel Picture::ColourKey()
{
    if (m_kind == PictureKind::Bitmap && m_bitsPerPixel == 1) {
        return White;
    }
    EnsureDecoded();
    return m_packed.Key();
}
