#pragma once
// Conversion of wavelet image samples (signed Y, Cb, Cr bytes) to blue, green
// and red.

#include <array>
#include <cstdint>

namespace vyrd {

namespace ycc {

// The chroma terms of the conversion by sample byte (two's complement), so
// that a pixel costs four table reads, a few additions and three clamps.
// Divisions truncate toward zero.
struct ChromaTerms {
    std::array<int16_t, 256> blueFromCb{};   // 7 cb / 4
    std::array<int16_t, 256> greenFromCb{};  // -(cb / 4)
    std::array<int16_t, 256> greenFromCr{};  // -(3 cr / 4)
    std::array<int16_t, 256> redFromCr{};    // 3 cr / 2
};

constexpr ChromaTerms MakeChromaTerms() {
    ChromaTerms terms;
    for (int byte = 0; byte < 256; ++byte) {
        const int v = int8_t(uint8_t(byte));
        terms.blueFromCb[std::size_t(byte)] = int16_t(7 * v / 4);
        terms.greenFromCb[std::size_t(byte)] = int16_t(-(v / 4));
        terms.greenFromCr[std::size_t(byte)] = int16_t(-(3 * v / 4));
        terms.redFromCr[std::size_t(byte)] = int16_t(3 * v / 2);
    }
    return terms;
}

inline constexpr ChromaTerms kChromaTerms = MakeChromaTerms();

constexpr uint8_t Clamp(int v) noexcept {
    return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v);
}

}  // namespace ycc

// One colour pixel: `out` receives blue, green, red.
inline void YccToBgr(int8_t y, int8_t cb, int8_t cr, uint8_t* out) noexcept {
    const ycc::ChromaTerms& t = ycc::kChromaTerms;
    const int base = y + 128;
    out[0] = ycc::Clamp(base + t.blueFromCb[uint8_t(cb)]);
    out[1] = ycc::Clamp(base + t.greenFromCb[uint8_t(cb)] + t.greenFromCr[uint8_t(cr)]);
    out[2] = ycc::Clamp(base + t.redFromCr[uint8_t(cr)]);
}

// One gray pixel: the value of blue, green and red alike.
constexpr uint8_t GrayValue(int8_t y) noexcept {
    return uint8_t(127 - y);
}

// `count` pixels of one row to blue, green, red triples.
void YccRowToBgr(const int8_t* y, const int8_t* cb, const int8_t* cr, int32_t count,
                 uint8_t* out) noexcept;
void GrayRowToBgr(const int8_t* y, int32_t count, uint8_t* out) noexcept;

}  // namespace vyrd
