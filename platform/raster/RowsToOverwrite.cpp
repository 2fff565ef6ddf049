// RowsToOverwrite: the fill of rows whose promised overwrite did not come.
#include "platform/raster/RowsToOverwrite.h"

#include "platform/raster/FillSpan.h"
#include "platform/raster/Raster.h"

#include <algorithm>

void RowsToOverwrite::Fill(Raster& raster, std::uint32_t colour) const
{
    const int top = std::max(m_top, 0);
    const int bottom = std::min(m_bottom, raster.Height());
    for (int y = top; y < bottom; ++y)
        FillSpan(raster.Scanline(y), static_cast<std::size_t>(raster.Width()), colour);
}
