#pragma once
// Page composition: the decoded layers of a page made into one raster.

#include "DjVuPage.h"
#include "Raster.h"
#include "RefCounted.h"

namespace vyrd {

// Composes `page` at its own resolution (the INFO width and height), never
// scaled, rotated or gamma-corrected: the background enlarged to the page, the
// mask painted over it in the colours of the palette or of the foreground
// image. Returns a BILEVEL or BGR24 raster (bottom-up, stride = width), or
// null when the page has no INFO, its INFO gives a width or height of 0, or
// the raster cannot be allocated. Every call decodes anew; nothing is cached.
// Throws std::bad_alloc.
RefPtr<CRasterImage> RenderPage(CDjVuPage& page);

// The page's bilevel mask alone at page size: every blit painted as ink on
// paper (BILEVEL). Null under the same conditions as RenderPage, and when the
// page has no mask. Throws std::bad_alloc.
RefPtr<CRasterImage> RenderMask(CDjVuPage& page);

enum class WaveletLayer { kBackground, kForeground };

// One wavelet layer of the page alone, at the layer's own size, converted to
// colour (BGR24). Null when the page has no such layer or the raster cannot be
// allocated. Throws std::bad_alloc.
RefPtr<CRasterImage> RenderWaveletLayer(CDjVuPage& page, WaveletLayer layer);

}  // namespace vyrd
