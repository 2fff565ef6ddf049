// SkyArt: the five sky backdrops Image1..Image5, 2000 x 500 vertical gradients, as JPEG streams.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

class SkyArt {
public:
    static constexpr int Width = 2000;
    static constexpr int Height = 500;

    // The stream of sky `number` (1 to 5), already checked by decoding it the way the
    // saver does; throws std::runtime_error when the decoded picture misses the
    // catalogue colours.
    static std::vector<std::uint8_t> Stream(int number);

    // The colour each row should show, as (red, green, blue) in 0..255.
    static std::vector<std::array<double, 3>> RowColours(int number);

private:
    static std::vector<std::uint8_t> Encode(int number);
    static void Check(int number, const std::vector<std::uint8_t>& stream);
};
