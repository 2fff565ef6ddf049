// Stand-in pictures for the tick tests.
#include "SyntheticCatalogue.h"

#include <stdexcept>

namespace {

constexpr PictureSize Sizes[28] = {
    {2000, 500}, {2000, 500}, {2000, 500}, {2000, 500}, {2000, 500},   // skies
    {479, 328},  {1000, 500}, {500, 500},  {500, 306},  {500, 365},    // castles, branches, short tree
    {500, 500},  {800, 174},  {764, 174},  {800, 174},                 // tall tree, hills
    {150, 38},   {150, 41},   {150, 47},   {150, 41},   {150, 43},     // eyes
    {106, 94},   {110, 200},  {185, 162},  {141, 314},                 // moon, figures
    {328, 41},   {328, 41},   {328, 41},   {328, 41},   {328, 41},     // banners
};

constexpr int Marker = 4;   // marker blocks are 4 x 4

bool InMarker(int x, int y, PictureSize size)
{
    const bool topLeft = x < Marker && y < Marker;
    const bool bottomRight = x >= size.width - Marker && y >= size.height - Marker;
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

PictureSize CatalogueSize(int holder)
{
    return Sizes[holder - 1];
}

bool IsOneBit(int holder)
{
    return holder == 8 || (holder >= 21 && holder <= 23);
}

bool IsBitmap(int holder)
{
    return (holder >= 6 && holder <= 14) || (holder >= 20 && holder <= 23);
}

Pixel LayerColour(int holder)
{
    // Distinct, and far from black, white, the key and each other.
    return Rgb(40 + holder * 7, 200 - holder * 5, 60 + holder * 6);
}

Bytes SyntheticForm(int breakHolder)
{
    std::vector<FormBlock> blocks;
    for (int holder = 1; holder <= 28; ++holder) {
        const PictureSize size = CatalogueSize(holder);
        if (IsOneBit(holder)) {
            blocks.push_back({"TBitmap", MakeBmp1(size.width, size.height, [size](int x, int y) {
                                  return InMarker(x, y, size) ? 0 : 1;
                              })});
        } else if (IsBitmap(holder)) {
            const Pixel colour = LayerColour(holder) & 0xFFFFFF;
            blocks.push_back({"TBitmap", MakeBmp24(size.width, size.height, [size, colour](int x, int y) {
                                  return InMarker(x, y, size) ? colour : 0x00FF00u;
                              })});
        } else {
            const Pixel colour = LayerColour(holder) & 0xFFFFFF;
            Bytes jpeg = MakeJpeg(size.width, size.height, [colour](int, int) { return colour; });
            blocks.push_back({"TJPEGImage", holder == breakHolder ? BreakJpeg(std::move(jpeg)) : std::move(jpeg)});
        }
    }
    return MakeForm(blocks);
}
