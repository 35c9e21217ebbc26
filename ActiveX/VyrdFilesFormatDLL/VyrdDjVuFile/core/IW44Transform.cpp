#include "IW44Transform.h"

#include <cassert>
#include <cstddef>

namespace vyrd {

namespace {

// The lifting steps. "Predict" updates an even sample from its odd
// neighbours, "update" an odd sample from its (already predicted) even ones.
inline int16_t Predict(int v, int near1, int near2, int far1, int far2) noexcept {
    return int16_t(v - ((9 * (near1 + near2) - far1 - far2 + 16) >> 5));
}
inline int16_t Update4(int v, int near1, int near2, int far1, int far2) noexcept {
    return int16_t(v + ((9 * (near1 + near2) - far1 - far2 + 8) >> 4));
}
inline int16_t Update2(int v, int near1, int near2) noexcept {
    return int16_t(v + ((near1 + near2 + 1) >> 1));
}
inline int16_t Update1(int v, int near1) noexcept {
    return int16_t(v + near1);
}

// One line of `n` samples, `step` apart, with a bounds test for every
// neighbour.
void LiftLineGeneral(int16_t* x, int n, std::ptrdiff_t step) noexcept {
    const auto at = [&](int q) -> int { return q >= 0 && q < n ? x[q * step] : 0; };
    for (int q = 0; q < n; q += 2) {
        x[q * step] = Predict(x[q * step], at(q - 1), at(q + 1), at(q - 3), at(q + 3));
    }
    for (int q = 1; q < n; q += 2) {
        int16_t& v = x[q * step];
        if (q - 3 >= 0 && q + 3 < n) {
            v = Update4(v, at(q - 1), at(q + 1), at(q - 3), at(q + 3));
        } else if (q + 1 < n) {
            v = Update2(v, at(q - 1), at(q + 1));
        } else {
            v = Update1(v, at(q - 1));
        }
    }
}

// The same for a line of more than 8 samples: the first and last few samples
// are handled on their own, the inner loops test nothing.
void LiftLineFast(int16_t* x, int n, std::ptrdiff_t s) noexcept {
    assert(n > 8);
    // Predict: positions 0 and 2 lack their left neighbours.
    x[0] = Predict(x[0], 0, x[s], 0, x[3 * s]);
    x[2 * s] = Predict(x[2 * s], x[s], x[3 * s], 0, x[5 * s]);
    int q = 4;
    for (int16_t* p = x + 4 * s; q + 3 < n; q += 2, p += 2 * s) {
        *p = Predict(*p, p[-s], p[s], p[-3 * s], p[3 * s]);
    }
    for (; q < n; q += 2) {
        int16_t* p = x + q * s;
        const int right1 = q + 1 < n ? p[s] : 0;
        *p = Predict(*p, p[-s], right1, p[-3 * s], 0);
    }
    // Update: position 1 has no far left neighbour.
    x[s] = Update2(x[s], x[0], x[2 * s]);
    q = 3;
    for (int16_t* p = x + 3 * s; q + 3 < n; q += 2, p += 2 * s) {
        *p = Update4(*p, p[-s], p[s], p[-3 * s], p[3 * s]);
    }
    for (; q < n; q += 2) {
        int16_t* p = x + q * s;
        *p = q + 1 < n ? Update2(*p, p[-s], p[s]) : Update1(*p, p[-s]);
    }
}

// A row of zeros standing in for the rows above and below the image: the
// vertical steps then need no test per sample. Images are at most 65535 wide.
constexpr int kMaxWidth = 65536;
const int16_t kZeroRow[kMaxWidth] = {};

// The vertical steps at scale s over whole rows: `count` samples per row,
// `s` apart.
void LiftColumnsFast(int16_t* samples, int32_t width, int32_t height, int s) noexcept {
    const int n = (height - 1) / s + 1;
    const int count = (width - 1) / s + 1;
    const std::ptrdiff_t rowStep = std::ptrdiff_t(s) * width;
    const auto row = [&](int q) -> const int16_t* {
        return q >= 0 && q < n ? samples + q * rowStep : kZeroRow;
    };
    for (int q = 0; q < n; q += 2) {
        int16_t* v = samples + q * rowStep;
        const int16_t* a = row(q - 1);
        const int16_t* b = row(q + 1);
        const int16_t* c = row(q - 3);
        const int16_t* d = row(q + 3);
        if (s == 1) {
            for (int i = 0; i < count; ++i) {
                v[i] = Predict(v[i], a[i], b[i], c[i], d[i]);
            }
        } else {
            for (int i = 0; i < count * s; i += s) {
                v[i] = Predict(v[i], a[i], b[i], c[i], d[i]);
            }
        }
    }
    for (int q = 1; q < n; q += 2) {
        int16_t* v = samples + q * rowStep;
        const int16_t* a = row(q - 1);
        if (q - 3 >= 0 && q + 3 < n) {
            const int16_t* b = row(q + 1);
            const int16_t* c = row(q - 3);
            const int16_t* d = row(q + 3);
            if (s == 1) {
                for (int i = 0; i < count; ++i) {
                    v[i] = Update4(v[i], a[i], b[i], c[i], d[i]);
                }
            } else {
                for (int i = 0; i < count * s; i += s) {
                    v[i] = Update4(v[i], a[i], b[i], c[i], d[i]);
                }
            }
        } else if (q + 1 < n) {
            const int16_t* b = row(q + 1);
            for (int i = 0; i < count * s; i += s) {
                v[i] = Update2(v[i], a[i], b[i]);
            }
        } else {
            for (int i = 0; i < count * s; i += s) {
                v[i] = Update1(v[i], a[i]);
            }
        }
    }
}

void LiftScaleGeneral(int16_t* samples, int32_t width, int32_t height, int s) noexcept {
    const int rows = (height - 1) / s + 1;
    const int columns = (width - 1) / s + 1;
    for (int32_t x = 0; x < width; x += s) {
        LiftLineGeneral(samples + x, rows, std::ptrdiff_t(s) * width);
    }
    for (int32_t y = 0; y < height; y += s) {
        LiftLineGeneral(samples + std::ptrdiff_t(y) * width, columns, s);
    }
}

void LiftScaleFast(int16_t* samples, int32_t width, int32_t height, int s) noexcept {
    LiftColumnsFast(samples, width, height, s);
    const int columns = (width - 1) / s + 1;
    for (int32_t y = 0; y < height; y += s) {
        LiftLineFast(samples + std::ptrdiff_t(y) * width, columns, s);
    }
}

}  // namespace

void InverseWavelet(int16_t* samples, int32_t width, int32_t height) noexcept {
    if (width <= 0 || height <= 0) {
        return;
    }
    assert(width <= kMaxWidth);
    for (int s = 16; s >= 1; s >>= 1) {
        if (width > 8 * s && height > 8 * s) {
            LiftScaleFast(samples, width, height, s);
        } else {
            LiftScaleGeneral(samples, width, height, s);
        }
    }
}

void InverseWaveletGeneral(int16_t* samples, int32_t width, int32_t height) noexcept {
    if (width <= 0 || height <= 0) {
        return;
    }
    for (int s = 16; s >= 1; s >>= 1) {
        LiftScaleGeneral(samples, width, height, s);
    }
}

}  // namespace vyrd
