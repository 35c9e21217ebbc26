#pragma once
// Conversion of wavelet image samples (signed Y, Cb, Cr bytes) to blue, green
// and red.

#include <array>
#include <cstdint>

namespace vyrd {

// Precomputed terms of the conversion, so that a pixel costs three table
// reads, a few additions and three clamps.
class CYccConverter {
public:
    CYccConverter() noexcept;

    // Colour pixel: `out` receives blue, green, red.
    void Colour(int8_t y, int8_t cb, int8_t cr, uint8_t* out) const noexcept {
        const int base = y + 128;
        out[0] = Clamp(base + blueFromCb_[uint8_t(cb)]);
        out[1] = Clamp(base + greenFromCbCr(cb, cr));
        out[2] = Clamp(base + redFromCr_[uint8_t(cr)]);
    }

    // Gray pixel: the same value three times.
    static uint8_t Gray(int8_t y) noexcept { return uint8_t(127 - y); }

    // Converts one row of `count` pixels to blue, green, red triples.
    void ColourRow(const int8_t* y, const int8_t* cb, const int8_t* cr, int32_t count,
                   uint8_t* out) const noexcept;
    static void GrayRow(const int8_t* y, int32_t count, uint8_t* out) noexcept;

private:
    int greenFromCbCr(int8_t cb, int8_t cr) const noexcept {
        return greenFromCb_[uint8_t(cb)] + greenFromCr_[uint8_t(cr)];
    }
    static uint8_t Clamp(int v) noexcept {
        return uint8_t(v < 0 ? 0 : v > 255 ? 255 : v);
    }

    // Indexed by the sample's byte value (its two's complement).
    std::array<int16_t, 256> blueFromCb_;
    std::array<int16_t, 256> greenFromCb_;
    std::array<int16_t, 256> greenFromCr_;
    std::array<int16_t, 256> redFromCr_;
};

}  // namespace vyrd
