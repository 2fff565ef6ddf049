// Pictures: BMP file images (1 or 24 bits) and JPEG streams, drawn unscaled into a
// raster, opaque or through a colour-key mask.
#pragma once

#include "platform/raster/PackedPixels.h"
#include "platform/raster/PictureKind.h"
#include "platform/raster/Raster.h"

#include <cstdint>
#include <exception>
#include <memory>
#include <span>
#include <vector>

enum class Keying { Opaque, UseKey };
// Fixed once at start-up from the screen's colour depth: displays of 8 bits per
// pixel or fewer get JPEG pictures quantised to 236 colours.
enum class JpegDepth { TrueColour, Quantised236 };

class Picture {
public:
    // Validates the whole file image before trusting a byte of it; raises
    // EInvalidGraphic "Bitmap image is not valid".
    static std::unique_ptr<Picture> LoadBitmap(std::span<const std::uint8_t> fileImage);
    // Keeps the stream compressed; reads width and height from its header. A header
    // the decoder rejects raises EJPEG "JPEG error #%d".
    static std::unique_ptr<Picture> LoadJpeg(std::span<const std::uint8_t> stream, JpegDepth depth);

    ~Picture();

    PictureKind Kind() const { return m_kind; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // 1 or 24 for bitmaps, 24 for JPEG pictures.
    int BitsPerPixel() const { return m_bitsPerPixel; }

    // The colour key of a keyed draw: white for a 1-bit picture, otherwise the
    // bottom-left pixel.
    Pixel ColourKey();

    // How often the JPEG stream was decoded (at most once).
    int DecodeCount() const { return m_decodeCount; }

    // True once the pixels are final: a bitmap from its load, a JPEG picture after its
    // one decode, successful or not. An opaque draw then cannot fail.
    bool IsDecoded() const { return m_decodeTried && !m_aheadFailure; }

    // Whether its next draw sets every pixel of its rectangle (opaque) and cannot
    // raise: decoded, with pixels for all its rows. Not before the decode, nor while a
    // failure of the decode ahead waits for the draw, nor after a decode that ran out
    // of memory: the picture then keeps no pixels and draws nothing.
    bool DrawsWhole() const
    {
        return IsDecoded() && m_packed.Width() == m_width && m_packed.Height() == m_height;
    }

    // Decodes a JPEG picture now, ahead of its first draw, when there is time. A
    // failure is kept and raised by the first draw (or key or pixel request), as if
    // that had decoded.
    void DecodeAhead() noexcept;

    // The pixels as a raster (decoding a JPEG picture first), made on the first
    // request; for tests and tools. Drawing never needs it.
    const Raster& Pixels();
    // Whether a draw with its top-left corner at the origin sets pixel (x, y): inside
    // the picture and, keyed, not of the colour key. For a decoded picture only.
    bool DrawsPixel(int x, int y, Keying keying) const;

    // The memory the decoded pixels take, packed as they are kept.
    std::size_t PixelBytes() const { return m_packed.HeldBytes(); }

private:
    friend void DrawPicture(Raster& dst, Picture& picture, int x, int y, Keying keying, const Rect& clip);
    Picture() = default;
    void EnsureDecoded();

    PictureKind m_kind = PictureKind::Bitmap;
    int m_width = 0;
    int m_height = 0;
    int m_bitsPerPixel = 24;
    JpegDepth m_depth = JpegDepth::TrueColour;
    std::vector<std::uint8_t> m_stream;      // JPEG: the compressed stream
    // The decoded pixels in runs, with the colour key split off: a keyed draw skips
    // the key's runs and copies the rest.
    PackedPixels m_packed;
    std::unique_ptr<Raster> m_expanded;      // Pixels(), once asked for
    std::exception_ptr m_aheadFailure;       // DecodeAhead's failure, for the first use
    bool m_decodeTried = false;
    int m_decodeCount = 0;
};

// The whole picture unscaled, top-left at (x, y), clipped to dst. Keyed: the pixels
// of the colour key are left undrawn; a 1-bit picture's drawn pixels are black.
// Raises EJPEG when a JPEG picture fails to decode at its first draw.
void DrawPicture(Raster& dst, Picture& picture, int x, int y, Keying keying);
// Only the part that lies inside clip.
void DrawPicture(Raster& dst, Picture& picture, int x, int y, Keying keying, const Rect& clip);
