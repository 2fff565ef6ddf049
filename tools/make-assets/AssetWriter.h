// AssetWriter: draws every picture, checks it against the catalogue facts and writes
// the asset folder.
#pragma once

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
    // A 24-bit keyed silhouette: exactly black and (0, 255, 0), the bottom-left pixel
    // the key.
    void Silhouette(const char* name, const QImage& image, int width, int height);
    // A 1-bit picture: black and white only, the bottom-left pixel as given.
    void Mono(const char* name, const QImage& image, int width, int height, bool blackBottomLeft);
    void Moon(const QImage& image);
    void Save(const QString& file, const std::vector<std::uint8_t>& bytes);
    void SavePng(const QString& file, const QImage& image);

    QString m_folder;
};
