#pragma once
// Page composition: the decoded layers of a page made into one raster.

#include "DjVuPage.h"
#include "Raster.h"
#include "RefCounted.h"

namespace vyrd {

// Composes `page` at its own resolution (the INFO width and height), never
// scaled, rotated or gamma-corrected. Returns a BILEVEL or BGR24 raster
// (bottom-up, stride = width), or null when the page has no INFO, its INFO
// gives a width or height of 0, or the raster cannot be allocated. Every call
// decodes anew; nothing is cached.
RefPtr<CRasterImage> RenderPage(CDjVuPage& page);

}  // namespace vyrd
