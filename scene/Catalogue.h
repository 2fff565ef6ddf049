// The picture catalogue: the 28 pictures of the screen form, Image1 to Image28,
// parsed from the form's stored picture blocks.
#pragma once

#include "platform/raster/Picture.h"
#include "scene/PictureTable.h"

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>

class Catalogue {
public:
    // Parses the stored form: one block per holder, Image1 to Image28 in order.
    // Raises EInvalidGraphic or EJPEG for a bad block, EReadError ("Stream read
    // error") when the stream ends early, and EClassNotFound for a class name other
    // than TBitmap and TJPEGImage.
    static std::unique_ptr<Catalogue> Load(std::span<const std::uint8_t> formStream, JpegDepth depth);

    // Tells catalogues apart for the life of the process (no two share one).
    std::uint64_t Serial() const { return m_serial; }

    // holder 1 to 28.
    Picture& Image(int holder) { return *m_pictures.at(static_cast<std::size_t>(holder - 1)); }
    // "Image1" to "Image28"; nullptr for any other key.
    static const PictureFacts* Find(std::string_view key);

    // Draws holder's picture at (x, y), keyed when the table says so; only the part
    // inside clip, when given.
    void Draw(Raster& dst, int holder, int x, int y);
    void Draw(Raster& dst, int holder, int x, int y, const Rect& clip);

private:
    std::array<std::unique_ptr<Picture>, PictureCount> m_pictures;
    std::uint64_t m_serial = 0;
};

// The screen form's stored picture blocks, linked into the program.
std::span<const std::uint8_t> ScreenFormPictures();
// Gives back the memory those blocks hold once the catalogue is made from them: their
// pages are dropped, and read again from the program file should they be touched.
// Their bytes stay as they are.
void ReleaseScreenFormPictures();
