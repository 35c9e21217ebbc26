#pragma once
// Conversion of wavelet image samples (signed Y, Cb, Cr bytes) to blue, green
// and red.

#include <bit>
#include <cstdint>
#include <cstring>

namespace vyrd {

namespace ycc {

// Divisions that truncate toward zero, written with shifts so that loops
// over them vectorise.
constexpr int Quarter(int v) noexcept {
    return (v + ((v >> 31) & 3)) >> 2;
}
constexpr int Half(int v) noexcept {
    return (v + ((v >> 31) & 1)) >> 1;
}
constexpr uint8_t Clamp(int v) noexcept {
    return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v);
}

// Blue, green and red of one colour sample in the low three bytes.
constexpr uint32_t PackedBgr(int y, int cb, int cr) noexcept {
    const int base = y + 128;
    const uint32_t blue = Clamp(base + Quarter(7 * cb));
    const uint32_t green = Clamp(base - Quarter(cb) - Quarter(3 * cr));
    const uint32_t red = Clamp(base + Half(3 * cr));
    return blue | (green << 8) | (red << 16);
}

// A gray sample: the same value for blue, green and red.
constexpr uint32_t PackedGray(int y) noexcept {
    return uint32_t(127 - y) * 0x010101u;
}

}  // namespace ycc

// Stores the packed pixel's blue, green and red at `out`, and one byte more
// that the caller overwrites next (or owns).
inline void StorePixelWord(uint8_t* out, uint32_t bgr) noexcept {
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(out, &bgr, 4);
    } else {
        out[0] = uint8_t(bgr);
        out[1] = uint8_t(bgr >> 8);
        out[2] = uint8_t(bgr >> 16);
    }
}

// One colour pixel: `out` receives blue, green, red.
inline void YccToBgr(int8_t y, int8_t cb, int8_t cr, uint8_t* out) noexcept {
    const uint32_t bgr = ycc::PackedBgr(y, cb, cr);
    out[0] = uint8_t(bgr);
    out[1] = uint8_t(bgr >> 8);
    out[2] = uint8_t(bgr >> 16);
}

// `count` pixels of one row to blue, green, red triples.
void YccRowToBgr(const int8_t* y, const int8_t* cb, const int8_t* cr, int32_t count,
                 uint8_t* out) noexcept;
void GrayRowToBgr(const int8_t* y, int32_t count, uint8_t* out) noexcept;

}  // namespace vyrd
