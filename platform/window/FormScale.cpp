// The density rule: fonts by the ratio of the densities, then every position and size
// by the ratio of the dialog font's resulting text height to the design one.
#include "platform/window/FormScale.h"

#include <cstdint>
#include <cstdlib>

int MulDivRounded(int number, int numerator, int denominator)
{
    const std::int64_t product = static_cast<std::int64_t>(number) * numerator;
    const std::int64_t magnitude = (std::llabs(product) + denominator / 2) / denominator;
    return static_cast<int>(product < 0 ? -magnitude : magnitude);
}

bool FormScale::TakeScreenDensity(int density)
{
    if (designDensity <= 0)
        return false;
    builtForDensity = density > 0 ? density : designDensity;
    return builtForDensity != designDensity;
}

void FormScale::TakeTextHeight(int textHeight)
{
    numerator = textHeight;
    denominator = designTextHeight;
}

int FormScale::FontPixels(const TFont& font) const
{
    return designDensity > 0 ? MulDivRounded(font.Height, builtForDensity, designDensity) : font.Height;
}
