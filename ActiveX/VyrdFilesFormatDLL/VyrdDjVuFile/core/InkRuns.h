#pragma once
// The rows of a bilevel layer's blits that lie on a page, for the paints.

#include "JB2Layer.h"
#include "Raster.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace vyrd {

// The part of one row of one blit that lies on the page.
struct InkRun {
    std::size_t blit;    // blit number, in decoding order
    int32_t pageRow;     // row of the page
    int32_t pageColumn;  // page column of the run's first pixel
    const uint8_t* ink;  // the run's shape pixels, 1 = ink
    int32_t count;       // pixels in the run, at least 1
};

// Calls paint(run) for every row of every blit, in blit order, clipped to a
// page of `pageWidth` x `pageHeight` on all four sides: positions may be
// negative and shapes may reach past the right or top edge. Positions are
// widened to 64 bits so that no position from the stream can overflow.
template <class Paint>
void ForEachInkRun(int32_t pageWidth, int32_t pageHeight, const CJB2Layer& mask, Paint paint) {
    const std::vector<JB2Blit>& blits = mask.Blits();
    for (std::size_t k = 0; k < blits.size(); ++k) {
        const JB2Blit& blit = blits[k];
        const CRasterImage& shape = *blit.shape;
        const int64_t firstColumn = std::max<int64_t>(0, -int64_t{blit.x});
        const int64_t endColumn = std::min<int64_t>(shape.Width(), int64_t{pageWidth} - blit.x);
        const int64_t firstRow = std::max<int64_t>(0, -int64_t{blit.y});
        const int64_t endRow = std::min<int64_t>(shape.Height(), int64_t{pageHeight} - blit.y);
        if (firstColumn >= endColumn || firstRow >= endRow) {
            continue;
        }
        for (int64_t j = firstRow; j < endRow; ++j) {
            paint(InkRun{k, int32_t(blit.y + j), int32_t(blit.x + firstColumn),
                         shape.Row(int32_t(j)) + firstColumn, int32_t(endColumn - firstColumn)});
        }
    }
}

}  // namespace vyrd
