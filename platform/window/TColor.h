// Colours of forms and controls: an RGB value or one of the system's scheme.
#pragma once

#include "platform/raster/Raster.h"

#include <cstdint>

// An RGB colour made with Rgb() (top byte 0xFF), or a colour of the system's scheme
// (top byte 0), which the window system resolves.
using TColor = std::uint32_t;

constexpr TColor clWindowText = 0x00000008u;
constexpr bool IsSystemColour(TColor colour)
{
    return (colour >> 24) == 0;
}
