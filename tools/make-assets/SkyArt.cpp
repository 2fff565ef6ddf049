// SkyArt: the gradients are laid down in YCbCr, one triple per row, chosen so that
// libjpeg's integer YCbCr-to-RGB conversion comes as close as it can to each row's
// colour. The flat band of sky 4 (rows 128 to 255) must come out exactly (0, 128, 1),
// one blue step from the window's colour key: its luma blocks and the chroma blocks
// next to it hold a single triple that converts to exactly that colour, so that
// neither the DCT (flat blocks keep only their DC term, which the DC quantiser step of
// at most 7 restores exactly) nor the triangle-filter chroma upsampling (which mixes
// the neighbouring chroma row) can move it.
#include "SkyArt.h"

#include "JpegCodec.h"

#include <QImage>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>
#include <string>

namespace {

struct Stop {
    int row;
    std::array<double, 3> colour;
};

const std::vector<Stop>& Stops(int number)
{
    static const std::vector<Stop> skies[5] = {
        {{0, {65, 64, 255}}, {100, {30, 30, 188}}, {200, {0, 0, 126}}, {300, {0, 1, 78}}, {400, {1, 0, 40}},
         {499, {0, 0, 0}}},
        {{0, {255, 254, 1}}, {100, {255, 127, 2}}, {200, {245, 36, 3}}, {300, {193, 0, 1}}, {400, {94, 0, 0}},
         {499, {0, 0, 0}}},
        {{0, {1, 0, 2}}, {100, {113, 1, 113}}, {200, {42, 0, 172}}, {300, {0, 0, 156}}, {400, {1, 0, 76}},
         {499, {0, 0, 0}}},
        {{0, {0, 0, 0}}, {100, {0, 112, 0}}, {128, {0, 128, 1}}, {255, {0, 128, 1}}, {300, {1, 103, 1}},
         {400, {1, 51, 0}}, {499, {1, 1, 1}}},
        {{0, {65, 64, 254}}, {100, {154, 19, 210}}, {200, {135, 1, 134}}, {300, {65, 0, 68}}, {400, {31, 0, 32}},
         {499, {0, 0, 0}}},
    };
    return skies[number - 1];
}

// Rows whose sampled colour the catalogue fixes.
constexpr int SampleRows[] = {0, 100, 200, 300, 400, 499};

// The band of sky 4 and the rows around it that share its chroma: whole 16-row
// chroma blocks (luma rows 112..127 and 256..271) on either side of rows 128..255.
constexpr int BandFirst = 128;
constexpr int BandLast = 255;
constexpr int BandChromaFirst = 112;
constexpr int BandChromaLast = 271;

// libjpeg's YCbCr-to-RGB conversion (jdcolor.c), in its 16-bit fixed point, with
// the output limited to 0..255.
constexpr int ScaleBits = 16;
constexpr long OneHalf = 1L << (ScaleBits - 1);
constexpr long Fix(double x) { return static_cast<long>(x * (1L << ScaleBits) + 0.5); }

std::array<int, 3> LibjpegRgb(int y, int cb, int cr)
{
    const long x = cr - 128;
    const long z = cb - 128;
    const int rOff = static_cast<int>((Fix(1.40200) * x + OneHalf) >> ScaleBits);
    const int bOff = static_cast<int>((Fix(1.77200) * z + OneHalf) >> ScaleBits);
    const int gOff = static_cast<int>(((-Fix(0.34414)) * z + OneHalf + (-Fix(0.71414)) * x) >> ScaleBits);
    auto limit = [](int v) { return std::clamp(v, 0, 255); };
    return {limit(y + rOff), limit(y + gOff), limit(y + bOff)};
}

std::array<double, 3> ToYCbCr(const std::array<double, 3>& rgb)
{
    const double r = rgb[0], g = rgb[1], b = rgb[2];
    return {0.299 * r + 0.587 * g + 0.114 * b, -0.168736 * r - 0.331264 * g + 0.5 * b + 128,
            0.5 * r - 0.418688 * g - 0.081312 * b + 128};
}

double Miss(const std::array<int, 3>& got, const std::array<double, 3>& want)
{
    double worst = 0;
    for (int c = 0; c < 3; ++c)
        worst = std::max(worst, std::abs(got[static_cast<size_t>(c)] - want[static_cast<size_t>(c)]));
    return worst;
}

// The integer triple near the exact conversion whose libjpeg conversion misses the
// colour least; with `chroma` given, only the luma is searched.
std::array<int, 3> BestTriple(const std::array<double, 3>& rgb, const std::array<int, 2>* chroma)
{
    const auto ycc = ToYCbCr(rgb);
    std::array<int, 3> best{};
    double bestMiss = 1e9;
    const int y0 = static_cast<int>(std::lround(ycc[0]));
    const int cb0 = chroma ? (*chroma)[0] : static_cast<int>(std::lround(ycc[1]));
    const int cr0 = chroma ? (*chroma)[1] : static_cast<int>(std::lround(ycc[2]));
    const int span = chroma ? 0 : 2;
    for (int y = std::max(0, y0 - 3); y <= std::min(255, y0 + 3); ++y)
        for (int cb = std::max(0, cb0 - span); cb <= std::min(255, cb0 + span); ++cb)
            for (int cr = std::max(0, cr0 - span); cr <= std::min(255, cr0 + span); ++cr) {
                const double miss = Miss(LibjpegRgb(y, cb, cr), rgb);
                if (miss < bestMiss) {
                    bestMiss = miss;
                    best = {y, cb, cr};
                }
            }
    return best;
}

} // namespace

std::vector<std::array<double, 3>> SkyArt::RowColours(int number)
{
    const auto& stops = Stops(number);
    std::vector<std::array<double, 3>> rows(Height);
    for (int y = 0; y < Height; ++y) {
        size_t k = 0;
        while (k + 2 < stops.size() && stops[k + 1].row <= y)
            ++k;
        const Stop& a = stops[k];
        const Stop& b = stops[k + 1];
        const double t = std::clamp(static_cast<double>(y - a.row) / (b.row - a.row), 0.0, 1.0);
        for (size_t c = 0; c < 3; ++c)
            rows[static_cast<size_t>(y)][c] = a.colour[c] + (b.colour[c] - a.colour[c]) * t;
    }
    if (number == 3) {
        // A violet band near row 120 and a blue band near row 250, both gone well
        // before the sampled rows 100, 200 and 300.
        const std::array<double, 3> violet{178, 40, 206};
        const std::array<double, 3> blue{40, 80, 250};
        for (int y = 0; y < Height; ++y) {
            const double wv = 0.75 * std::exp(-std::pow((y - 123) / (y < 123 ? 5.0 : 11.0), 2));
            const double wb = 0.6 * std::exp(-std::pow((y - 250) / 13.0, 2));
            auto& row = rows[static_cast<size_t>(y)];
            for (size_t c = 0; c < 3; ++c) {
                row[c] += (violet[c] - row[c]) * wv;
                row[c] += (blue[c] - row[c]) * wb;
            }
        }
    }
    return rows;
}

std::vector<std::uint8_t> SkyArt::Encode(int number)
{
    const auto rows = RowColours(number);
    // The band's triple: the one nearest the exact conversion that libjpeg turns into
    // exactly (0, 128, 1).
    const std::array<double, 3> bandColour{0, 128, 1};
    const std::array<int, 3> band = BestTriple(bandColour, nullptr);
    if (LibjpegRgb(band[0], band[1], band[2]) != std::array<int, 3>{0, 128, 1})
        throw std::runtime_error("no YCbCr triple converts to (0, 128, 1)");
    const std::array<int, 2> bandChroma{band[1], band[2]};

    std::vector<std::uint8_t> ycc(static_cast<size_t>(Width) * Height * 3);
    for (int y = 0; y < Height; ++y) {
        std::array<int, 3> triple;
        if (number == 4 && y >= BandFirst && y <= BandLast)
            triple = band;
        else if (number == 4 && y >= BandChromaFirst && y <= BandChromaLast)
            triple = BestTriple(rows[static_cast<size_t>(y)], &bandChroma);
        else
            triple = BestTriple(rows[static_cast<size_t>(y)], nullptr);
        auto* out = ycc.data() + static_cast<size_t>(y) * Width * 3;
        for (int x = 0; x < Width; ++x)
            for (size_t c = 0; c < 3; ++c)
                out[static_cast<size_t>(x) * 3 + c] = static_cast<std::uint8_t>(triple[c]);
    }
    // Quality 90 gives DC quantiser steps of 3 (luma and chroma): a flat block's DC
    // term comes back within 3/16 of a level, so flat blocks decode exactly.
    return JpegCodec::EncodeYCbCr(Width, Height, ycc, 90);
}

void SkyArt::Check(int number, const std::vector<std::uint8_t>& stream)
{
    const QImage decoded = JpegCodec::Decode(stream);
    const std::string name = "Image" + std::to_string(number);
    if (decoded.width() != Width || decoded.height() != Height)
        throw std::runtime_error(name + ": wrong size after decoding");
    const auto rows = RowColours(number);
    for (int y = 0; y < Height; ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(decoded.constScanLine(y));
        for (int x = 0; x < Width; ++x) {
            const std::array<int, 3> got{qRed(line[x]), qGreen(line[x]), qBlue(line[x])};
            if (got == std::array<int, 3>{0, 128, 0})
                throw std::runtime_error(name + ": a pixel decodes to the window key (0, 128, 0)");
            if (number == 4 && y >= BandFirst && y <= BandLast && got != std::array<int, 3>{0, 128, 1})
                throw std::runtime_error(name + ": band row " + std::to_string(y) + " is not exactly (0, 128, 1)");
            if (Miss(got, rows[static_cast<size_t>(y)]) > 3 &&
                std::find(std::begin(SampleRows), std::end(SampleRows), y) != std::end(SampleRows))
                throw std::runtime_error(name + ": row " + std::to_string(y) + " misses its colour by more than 3: (" +
                                         std::to_string(got[0]) + ", " + std::to_string(got[1]) + ", " +
                                         std::to_string(got[2]) + ")");
            // The triangle-filter upsampling rounds even and odd columns with
            // different biases, so a row may differ by a level across its width.
            if (std::abs(qRed(line[x]) - qRed(line[0])) > 2 || std::abs(qGreen(line[x]) - qGreen(line[0])) > 2 ||
                std::abs(qBlue(line[x]) - qBlue(line[0])) > 2)
                throw std::runtime_error(name + ": row " + std::to_string(y) + " is not one colour");
        }
    }
}

std::vector<std::uint8_t> SkyArt::Stream(int number)
{
    std::vector<std::uint8_t> stream = Encode(number);
    Check(number, stream);
    return stream;
}
