// Stand-in pictures for the tick tests.
#include "support/SyntheticCatalogue.h"

#include "scene/PictureTable.h"

#include <stdexcept>

namespace {

constexpr int Marker = 4;   // marker blocks are 4 x 4

bool InMarker(int x, int y, const PictureFacts& size)
{
    const bool topLeft = x < Marker && y < Marker;
    const bool bottomRight = x >= size.Width - Marker && y >= size.Height - Marker;
    return topLeft || bottomRight;
}

// A JPEG whose first component asks for quantisation table 3, which the stream never
// defines: the header reads, the decode fails.
Bytes BreakJpeg(Bytes jpeg)
{
    for (std::size_t i = 0; i + 12 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC0) {
            // FFC0, length(2), precision(1), height(2), width(2), count(1), then
            // per component: id, sampling, table.
            jpeg[i + 2 + 2 + 1 + 2 + 2 + 1 + 2] = 3;
            return jpeg;
        }
    }
    throw std::runtime_error("no SOF0 in the stand-in JPEG");
}

} // namespace

Pixel LayerColour(int holder)
{
    // Distinct, and far from black, white, the key and each other.
    return Rgb(40 + holder * 7, 200 - holder * 5, 60 + holder * 6);
}

Bytes SyntheticForm(int breakHolder)
{
    std::vector<FormBlock> blocks;
    for (const PictureFacts& size : PictureTable) {
        const int holder = size.Holder;
        const Pixel colour = LayerColour(holder) & 0xFFFFFF;
        const char* className = StoredClassName(size.Kind);
        if (size.Kind == PictureKind::Jpeg) {
            Bytes jpeg = MakeJpeg(size.Width, size.Height, [colour](int, int) { return colour; });
            blocks.push_back({className, holder == breakHolder ? BreakJpeg(std::move(jpeg)) : std::move(jpeg)});
        } else if (size.BitsPerPixel == 1) {
            blocks.push_back({className, MakeBmp1(size.Width, size.Height, [&size](int x, int y) {
                                  return InMarker(x, y, size) ? 0 : 1;
                              })});
        } else {
            const Pixel key = size.ColourKey & 0xFFFFFF;
            blocks.push_back({className, MakeBmp24(size.Width, size.Height, [&size, colour, key](int x, int y) {
                                  return InMarker(x, y, size) ? colour : key;
                              })});
        }
    }
    return MakeForm(blocks);
}
