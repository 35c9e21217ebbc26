#pragma once
// The pixel loops of the JB2 bilevel coding: shape bitmaps decoded directly
// or as a refinement of a known shape.

#include "Raster.h"
#include "ZPDecoder.h"

#include <cstdint>
#include <vector>

namespace vyrd {

// Number of contexts each kind of bitmap coding uses (one byte each).
inline constexpr std::size_t kJB2DirectContexts = 1024;
inline constexpr std::size_t kJB2RefinementContexts = 2048;

// Decodes shape bitmaps into BILEVEL rasters (1 = ink), top row first, each
// row from left to right, one adaptive bit per pixel. The decoder keeps
// working buffers between shapes; it holds no state of the stream itself.
// Used by one thread at a time.
class CJB2BitmapDecoder {
public:
    // Fills every pixel of `bitmap` (BILEVEL, stride = width). Returns false
    // when the coder ran past its padding while decoding (the stream is over;
    // the bitmap content is then undefined). Throws std::bad_alloc.
    bool DecodeDirect(CZPDecoder& zp, uint8_t (&contexts)[kJB2DirectContexts],
                      CRasterImage& bitmap);

    // Fills every pixel of `bitmap` from the shape `reference`, whose centre is
    // aligned with the bitmap's (rounding both half-sizes up). Same return as
    // DecodeDirect.
    bool DecodeRefinement(CZPDecoder& zp, uint8_t (&contexts)[kJB2RefinementContexts],
                          CRasterImage& bitmap, const CRasterImage& reference);

    // The buffer layout, shared with tests: rows top-down, kTopRows zero rows
    // above the first, kLeftColumns zero columns before column 0 and
    // kRightColumns after the last. Context reads never leave it, so the pixel
    // loops need no bounds test.
    static constexpr int32_t kTopRows = 2;
    static constexpr int32_t kLeftColumns = 2;
    static constexpr int32_t kRightColumns = 3;

private:
    // Zeroes the work buffer for a width x height bitmap; returns its stride.
    std::size_t PrepareBitmap(int32_t width, int32_t height);
    // Copies the decoded rows into the raster, which is stored bottom-up.
    void CopyOut(CRasterImage& bitmap, std::size_t stride) const;
    // Places the reference into the aligned buffer in the bitmap's coordinates,
    // with one zero row above and below.
    void AlignReference(const CRasterImage& reference, int32_t width, int32_t height,
                        std::size_t stride);

    std::vector<uint8_t> bitmap_;
    std::vector<uint8_t> aligned_;
};

}  // namespace vyrd
