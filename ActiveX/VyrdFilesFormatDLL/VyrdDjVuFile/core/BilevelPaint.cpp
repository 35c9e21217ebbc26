#include "BilevelPaint.h"

#include "InkRuns.h"

namespace vyrd {

void PaintBlitsBilevel(CRasterImage& page, const CJB2Layer& mask) noexcept {
    ForEachInkRun(page.Width(), page.Height(), mask, [&](const InkRun& run) {
        uint8_t* out = page.Row(run.pageRow) + run.pageColumn;
        for (int32_t i = 0; i < run.count; ++i) {
            out[i] |= run.ink[i];
        }
    });
}

}  // namespace vyrd
