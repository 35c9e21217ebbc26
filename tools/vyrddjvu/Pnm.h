#pragma once
// Binary PNM output of rasters.

#include "Raster.h"

#include <cstdio>

namespace vyrddjvu {

// Writes `raster` top-down (rasters are stored bottom-up): BILEVEL as P4
// (1 = black), GRAY_PLANE as P5, BGR24 as P6 in RGB order. Returns false for
// other formats, a raster without pixels, or a write error.
bool WritePnm(const vyrd::CRasterImage& raster, std::FILE* out);

}  // namespace vyrddjvu
