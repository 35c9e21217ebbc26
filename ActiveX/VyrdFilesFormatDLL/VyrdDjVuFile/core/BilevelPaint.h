#pragma once
// Painting a bilevel layer onto a page raster.

#include "JB2Layer.h"
#include "Raster.h"

namespace vyrd {

// ORs the ink of every blit of `mask` into `page` (BILEVEL, 1 = ink), in blit
// order. Blits are clipped to the page on all four sides: positions may be
// negative and shapes may reach past the right or top edge.
void PaintBlitsBilevel(CRasterImage& page, const CJB2Layer& mask) noexcept;

}  // namespace vyrd
