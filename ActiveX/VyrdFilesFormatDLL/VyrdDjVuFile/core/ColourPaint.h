#pragma once
// Painting a bilevel layer onto a colour page raster.

#include "FgPalette.h"
#include "JB2Layer.h"
#include "Raster.h"

namespace vyrd {

// Every ink pixel of every blit takes `colour`, clipped to the page on all
// four sides. `page` is BGR24.
void PaintBlitsInColour(CRasterImage& page, const CJB2Layer& mask, PaletteColour colour) noexcept;

// Every ink pixel of blit k takes the palette colour of blit k. A blit the
// palette names no colour for is painted black. Blits are clipped to the page
// on all four sides. `page` is BGR24.
void PaintBlitsWithPalette(CRasterImage& page, const CJB2Layer& mask,
                           const CFgPalette& palette) noexcept;

// Every ink pixel (X, Y) takes the colour of `foreground` (YCC_PLANES or
// GRAY_PLANE, usually smaller than the page) at (X / fx, Y / fy), with
// fx = ceil(W / w) and fy = ceil(H / h). Clipped like the palette paint; a
// foreground without pixels paints black. `page` is BGR24. Throws
// std::bad_alloc (the foreground is converted to colour once).
void PaintBlitsWithImage(CRasterImage& page, const CJB2Layer& mask, const CRasterImage& foreground);

}  // namespace vyrd
