// The font of a form or control: face, height at the design density and colour.
#pragma once

#include "platform/window/TColor.h"

#include <string>

struct TFont {
    std::string Name = "MS Sans Serif";
    int Height = 11;               // character height in pixels at the design density
    TColor Color = clWindowText;
    bool operator==(const TFont&) const = default;
};
