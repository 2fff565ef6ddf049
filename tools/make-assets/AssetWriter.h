// AssetWriter: draws every picture, checks it against the picture table and the facts
// the saver relies on, and writes the asset folder.
#pragma once

#include "scene/PictureTable.h"

#include <QImage>
#include <QString>
#include <cstdint>
#include <vector>

class AssetWriter {
public:
    explicit AssetWriter(const QString& folder) : m_folder(folder) {}

    // Writes all 28 pictures, the three glyphs and the icon (also as PNG); throws
    // std::runtime_error when a picture breaks a fact the saver relies on.
    void WriteAll();

private:
    // A keyed bitmap of the table's size and depth. 24 bits: black and the table's
    // key only, the bottom-left pixel the key; 1 bit: black and white, the bottom-left
    // pixel black when blackBottomLeft.
    void Silhouette(int holder, const QImage& image, bool blackBottomLeft = false);
    void Moon(const QImage& image);
    // A JPEG picture, written as it comes.
    void Jpeg(int holder, const std::vector<std::uint8_t>& stream);
    void Save(const QString& file, const std::vector<std::uint8_t>& bytes);
    void SavePng(const QString& file, const QImage& image);

    QString m_folder;
};
