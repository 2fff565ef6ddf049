// The density rule's state of a form, the same on every window system: the density
// and dialog text height its sizes were designed for, the density its window was
// built for, and the scale that came of it.
#pragma once

#include "platform/window/TFont.h"

// number * numerator / denominator, rounded to the nearest integer with halves away
// from zero, without overflow for any int arguments; denominator > 0.
int MulDivRounded(int number, int numerator, int denominator);

struct FormScale {
    int designDensity = 0;      // pixels per inch; 0: the form keeps no design density
    int designTextHeight = 0;   // the dialog font's text height at the design density
    int builtForDensity = 96;
    int numerator = 1;          // positions and sizes scale by numerator / denominator
    int denominator = 1;

    // The window is being made on a screen of this density (0 or below: unknown,
    // taken as the design one). Returns whether the sizes scale: the window system
    // then measures the dialog font at FontPixels and calls TakeTextHeight.
    bool TakeScreenDensity(int density);
    void TakeTextHeight(int textHeight);
    // A font's pixel size by the ratio of the densities; as designed without a design
    // density.
    int FontPixels(const TFont& font) const;
    // A position or size of the description by the scale.
    int Scaled(int length) const { return MulDivRounded(length, numerator, denominator); }
};
