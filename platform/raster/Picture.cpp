// Picture: JPEG loading, decoding at first use, the colour key and the mask of drawn runs.
#include "platform/raster/Picture.h"

#include "platform/Exception.h"
#include "platform/raster/JpegDecoder.h"

#include <algorithm>
#include <cstdint>
#include <limits>

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

void Picture::EnsureDecoded()
{
    if (m_decodeTried) {
        return;
    }
    // Tried once only: after a failure the raster keeps what was decoded and later
    // draws copy it.
    m_decodeTried = true;
    ++m_decodeCount;
    m_pixels = std::make_unique<Raster>(0, 0);
    auto pixels = std::make_unique<Raster>(m_width, m_height);
    for (int y = 0; y < pixels->Height(); ++y) {
        std::fill_n(pixels->Scanline(y), pixels->Width(), Black);
    }
    m_pixels = std::move(pixels);
    JpegDecoder::Decode(m_stream, m_depth, *m_pixels);
}

const Raster& Picture::Pixels()
{
    EnsureDecoded();
    return *m_pixels;
}

Pixel Picture::ColourKey()
{
    if (m_maskBuilt) {
        return m_key;
    }
    if (m_kind == PictureKind::Bitmap && m_bitsPerPixel == 1) {
        return White;
    }
    const Raster& pixels = Pixels();
    if (pixels.IsEmpty()) {
        // No pixel of a real picture has a zero top byte, so nothing matches.
        return 0;
    }
    return pixels.PixelAt(0, pixels.Height() - 1);
}

void Picture::EnsureMask()
{
    if (m_maskBuilt) {
        return;
    }
    const Raster& pixels = Pixels();
    const Pixel key = ColourKey();
    std::vector<std::uint32_t> runStart;
    std::vector<std::int32_t> runs;
    runStart.reserve(static_cast<std::size_t>(pixels.Height()) + 1);
    for (int y = 0; y < pixels.Height(); ++y) {
        if (runs.size() > std::numeric_limits<std::uint32_t>::max() - static_cast<std::size_t>(pixels.Width())) {
            throw EOutOfResources("Out of system resources");
        }
        runStart.push_back(static_cast<std::uint32_t>(runs.size()));
        const Pixel* row = pixels.Scanline(y);
        int x = 0;
        while (x < pixels.Width()) {
            while (x < pixels.Width() && row[x] == key) {
                ++x;
            }
            if (x == pixels.Width()) {
                break;
            }
            const int begin = x;
            while (x < pixels.Width() && row[x] != key) {
                ++x;
            }
            runs.push_back(begin);
            runs.push_back(x);
        }
    }
    runStart.push_back(static_cast<std::uint32_t>(runs.size()));
    runs.shrink_to_fit();
    m_runStart = std::move(runStart);
    m_runs = std::move(runs);
    m_key = key;
    m_maskBuilt = true;
    ++m_maskBuildCount;
}
