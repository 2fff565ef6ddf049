// Colours and fonts of forms and controls.
#pragma once

#include "platform/raster/Raster.h"

#include <cstdint>
#include <string>

// An RGB colour made with Rgb() (top byte 0xFF), or a colour of the system's scheme
// (top byte 0), which the window system resolves.
using TColor = std::uint32_t;

constexpr TColor clWindowText = 0x00000008u;
constexpr bool IsSystemColour(TColor colour)
{
    return (colour >> 24) == 0;
}

struct TFont {
    std::string Name = "MS Sans Serif";
    int Height = 11;               // character height in pixels at the design density
    TColor Color = clWindowText;
    bool operator==(const TFont&) const = default;
};
