// GlowArt: the glowing eyes Image15..Image19 and the caption banners Image24..Image28,
// each its motif on black, as JPEG pictures.
#pragma once

#include <QImage>
#include <cstdint>
#include <vector>

class GlowArt {
public:
    // The web address the banners letter.
    static constexpr const char* Address = "www.talvexnet.example";

    // Pair `number` (1 to 5: pale yellow, violet, blue, green, yellow).
    static QImage Eyes(int number);
    // Banner `number` (1 to 5), lettered in a colour of sky `number`.
    static QImage Banner(int number);

    // Encodes and checks by decoding that the outermost rows and columns stay black
    // (every channel at most 16) and that no pixel is the window key (0, 128, 0).
    static std::vector<std::uint8_t> Stream(const QImage& image, const char* name);
};
