#pragma once
// Enlarging a wavelet image to the size of the page by pixel replication.

#include "Raster.h"

namespace vyrd {

// Fills `page` (BGR24) with `image` (YCC_PLANES or GRAY_PLANE) converted to
// colour and enlarged by whole factors: fx = ceil(W / w) and fy = ceil(H / h),
// using only the source columns and rows that fit entirely (W / fx, H / fy when
// the division leaves a remainder). Page pixel (X, Y) shows source pixel
// (X / fx, Y / fy); the page pixels past the last whole copy on the right and
// at the top are white. An image without pixels leaves the page white.
void ScaleToPage(const CRasterImage& image, CRasterImage& page) noexcept;

}  // namespace vyrd
