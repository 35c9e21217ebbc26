#include "BilevelPaint.h"

#include <algorithm>
#include <cstdint>

namespace vyrd {

void PaintBlitsBilevel(CRasterImage& page, const CJB2Layer& mask) noexcept {
    const int64_t pageWidth = page.Width();
    const int64_t pageHeight = page.Height();
    for (const JB2Blit& blit : mask.Blits()) {
        const CRasterImage& shape = *blit.shape;
        // The part of the shape that lies on the page, in shape coordinates;
        // 64-bit so that no position from the stream can overflow.
        const int64_t firstColumn = std::max<int64_t>(0, -int64_t{blit.x});
        const int64_t endColumn = std::min<int64_t>(shape.Width(), pageWidth - blit.x);
        const int64_t firstRow = std::max<int64_t>(0, -int64_t{blit.y});
        const int64_t endRow = std::min<int64_t>(shape.Height(), pageHeight - blit.y);
        if (firstColumn >= endColumn || firstRow >= endRow) {
            continue;
        }
        const std::size_t count = std::size_t(endColumn - firstColumn);
        for (int64_t j = firstRow; j < endRow; ++j) {
            const uint8_t* from = shape.Row(int32_t(j)) + firstColumn;
            uint8_t* to = page.Row(int32_t(blit.y + j)) + (blit.x + firstColumn);
            for (std::size_t i = 0; i < count; ++i) {
                to[i] |= from[i];
            }
        }
    }
}

}  // namespace vyrd
