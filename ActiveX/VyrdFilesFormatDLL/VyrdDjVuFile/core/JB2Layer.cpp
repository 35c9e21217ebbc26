#include "JB2Layer.h"

namespace vyrd {

bool CJB2Layer::AddBlit(const RefPtr<CRasterImage>& shape, int32_t x, int32_t y) {
    // In 64 bits: positions come from the stream and may be anywhere in the
    // 32-bit range.
    if (int64_t{x} + shape->Width() > width_ || int64_t{y} + shape->Height() > height_) {
        return false;
    }
    blits_.push_back(JB2Blit{shape, x, y});
    return true;
}

}  // namespace vyrd
