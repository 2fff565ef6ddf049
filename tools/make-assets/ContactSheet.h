// ContactSheet: one PNG showing every picture, glyph and the icon as read back from an
// asset folder, each labelled with its file name and size.
#pragma once

#include <QString>

class ContactSheet {
public:
    // Throws std::runtime_error when a file is missing or cannot be read.
    static void Write(const QString& assetFolder, const QString& pngFile);
};
