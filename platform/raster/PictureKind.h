// The two kinds of stored picture: a BMP file image or a JPEG stream.
#pragma once

enum class PictureKind { Bitmap, Jpeg };
