#include "YccColour.h"

#include <cstring>

namespace vyrd {

namespace {

constexpr int32_t kChunk = 64;

// Writes `count` packed pixels as blue, green, red triples: each pixel is
// stored as 4 bytes, the fourth overwritten by the next pixel, and the last
// one byte by byte so that nothing is written past the row.
void StorePacked(const uint32_t* packed, int32_t count, uint8_t* out) noexcept {
    int32_t i = 0;
    for (; i + 1 < count; ++i, out += 3) {
        StorePixelWord(out, packed[i]);
    }
    out[0] = uint8_t(packed[i]);
    out[1] = uint8_t(packed[i] >> 8);
    out[2] = uint8_t(packed[i] >> 16);
}

}  // namespace

// The pixels are converted a chunk at a time into packed values (a loop the
// compiler vectorises), then stored.
void YccRowToBgr(const int8_t* y, const int8_t* cb, const int8_t* cr, int32_t count,
                 uint8_t* out) noexcept {
    uint32_t packed[kChunk];
    for (int32_t start = 0; start < count; start += kChunk) {
        const int32_t n = count - start < kChunk ? count - start : kChunk;
        for (int32_t i = 0; i < n; ++i) {
            packed[i] = ycc::PackedBgr(y[start + i], cb[start + i], cr[start + i]);
        }
        StorePacked(packed, n, out + 3 * std::size_t(start));
    }
}

void GrayRowToBgr(const int8_t* y, int32_t count, uint8_t* out) noexcept {
    uint32_t packed[kChunk];
    for (int32_t start = 0; start < count; start += kChunk) {
        const int32_t n = count - start < kChunk ? count - start : kChunk;
        for (int32_t i = 0; i < n; ++i) {
            packed[i] = ycc::PackedGray(y[start + i]);
        }
        StorePacked(packed, n, out + 3 * std::size_t(start));
    }
}

}  // namespace vyrd
