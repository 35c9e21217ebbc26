#include "YccColour.h"

namespace vyrd {

void YccRowToBgr(const int8_t* y, const int8_t* cb, const int8_t* cr, int32_t count,
                 uint8_t* out) noexcept {
    for (int32_t i = 0; i < count; ++i, out += 3) {
        YccToBgr(y[i], cb[i], cr[i], out);
    }
}

void GrayRowToBgr(const int8_t* y, int32_t count, uint8_t* out) noexcept {
    for (int32_t i = 0; i < count; ++i, out += 3) {
        const uint8_t v = GrayValue(y[i]);
        out[0] = v;
        out[1] = v;
        out[2] = v;
    }
}

}  // namespace vyrd
