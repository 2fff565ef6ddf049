// The 28 pictures of the screen form in one table: holder, role, kind, size and depth,
// keyed flag and colour key, and where the tick draws each. The catalogue, the tick,
// pack-pictures, make-assets and the tests all read it.
#pragma once

#include "platform/raster/PictureKind.h"
#include "platform/raster/Raster.h"

#include <array>
#include <string>

enum class PictureRole { Sky, Castle, Branches, ShortTree, TallTree, Hill, Eyes, Moon, Figure, Banner };

// Where the tick puts a picture's top-left corner, in frame coordinates. The column is
// Left plus the plan's column field for the picture (the moon's, a tree's, a hill's,
// the figure's, the eyes', the castle's shift, the branches' shift negated; none for
// the sky and the banner); with LeftFromRight, Left counts back from the frame's right
// edge, W - Left. The row is Top plus the plan's row field (the moon's, the eyes'), or
// with TopFromBottom H - Top.
struct Placement {
    int Left = 0;
    int Top = 0;
    bool LeftFromRight = false;
    bool TopFromBottom = false;
};

// An unkeyed picture's colour key: no pixel has a zero top byte.
constexpr Pixel NoKey = 0;
constexpr Pixel BitmapKey = Rgb(0, 255, 0);

struct PictureFacts {
    int Holder;          // 1 to 28: Image1 to Image28
    PictureRole Role;
    PictureKind Kind;
    int Width;
    int Height;
    int BitsPerPixel;    // 24, or 1 for the black-and-white bitmaps; JPEG pictures decode to 24
    bool Keyed;          // the holder's Transparent property
    Pixel ColourKey;     // what the first keyed draw derives; NoKey for the unkeyed
    Placement At;
};

constexpr int PictureCount = 28;

namespace picture_table {
using enum PictureRole;
using enum PictureKind;
constexpr Placement Origin{};
// The trees, hills and figures stand with their last row on frame row 499, the
// castles on row 509; the eyes lie 510 rows below their plan row; the banner keeps
// one pixel to the right and bottom edges.
constexpr Placement Ground(int height) { return {0, 500 - height}; }
constexpr Placement CastleAt(int width, int height) { return {width, 510 - height, true}; }
constexpr Placement BannerAt{329, 42, true, true};
constexpr Placement EyesAt{0, 510};

constexpr PictureFacts Jpeg24(int holder, PictureRole role, int width, int height, Placement at)
{
    return {holder, role, Jpeg, width, height, 24, false, NoKey, at};
}
constexpr PictureFacts Keyed24(int holder, PictureRole role, int width, int height, Placement at)
{
    return {holder, role, Bitmap, width, height, 24, true, BitmapKey, at};
}
constexpr PictureFacts Keyed1(int holder, PictureRole role, int width, int height, Placement at)
{
    return {holder, role, Bitmap, width, height, 1, true, White, at};
}
} // namespace picture_table

inline constexpr std::array<PictureFacts, PictureCount> PictureTable = [] {
    using namespace picture_table;
    return std::array<PictureFacts, PictureCount>{{
        Jpeg24(1, Sky, 2000, 500, Origin),
        Jpeg24(2, Sky, 2000, 500, Origin),
        Jpeg24(3, Sky, 2000, 500, Origin),
        Jpeg24(4, Sky, 2000, 500, Origin),
        Jpeg24(5, Sky, 2000, 500, Origin),
        Keyed24(6, Castle, 479, 328, CastleAt(479, 328)),
        Keyed24(7, Castle, 1000, 500, CastleAt(1000, 500)),
        Keyed1(8, Branches, 500, 500, Origin),
        Keyed24(9, Branches, 500, 306, Origin),
        Keyed24(10, ShortTree, 500, 365, Ground(365)),
        Keyed24(11, TallTree, 500, 500, Ground(500)),
        Keyed24(12, Hill, 800, 174, Ground(174)),
        Keyed24(13, Hill, 764, 174, Ground(174)),
        Keyed24(14, Hill, 800, 174, Ground(174)),
        Jpeg24(15, Eyes, 150, 38, EyesAt),
        Jpeg24(16, Eyes, 150, 41, EyesAt),
        Jpeg24(17, Eyes, 150, 47, EyesAt),
        Jpeg24(18, Eyes, 150, 41, EyesAt),
        Jpeg24(19, Eyes, 150, 43, EyesAt),
        Keyed24(20, Moon, 106, 94, Origin),
        Keyed1(21, Figure, 110, 200, Ground(200)),
        Keyed1(22, Figure, 185, 162, Ground(162)),
        Keyed1(23, Figure, 141, 314, Ground(314)),
        Jpeg24(24, Banner, 328, 41, BannerAt),
        Jpeg24(25, Banner, 328, 41, BannerAt),
        Jpeg24(26, Banner, 328, 41, BannerAt),
        Jpeg24(27, Banner, 328, 41, BannerAt),
        Jpeg24(28, Banner, 328, 41, BannerAt),
    }};
}();

// holder 1 to 28.
constexpr const PictureFacts& Facts(int holder)
{
    return PictureTable[static_cast<std::size_t>(holder - 1)];
}

// The n-th picture of a role (n from 1, in holder order): the sky of SkyIndex n, the
// castle of CastleChoice n. 0 when the role has no n-th picture.
constexpr int HolderOf(PictureRole role, int n)
{
    for (const PictureFacts& facts : PictureTable) {
        if (facts.Role == role && --n == 0)
            return facts.Holder;
    }
    return 0;
}

// The picture's class name in the stored form.
constexpr const char* StoredClassName(PictureKind kind)
{
    return kind == PictureKind::Bitmap ? "TBitmap" : "TJPEGImage";
}

// The file of assets/ that holds the picture: "Image7.bmp", "Image1.jpg".
inline std::string AssetFileName(int holder)
{
    return "Image" + std::to_string(holder) + (Facts(holder).Kind == PictureKind::Bitmap ? ".bmp" : ".jpg");
}
