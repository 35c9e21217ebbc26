#include "IW44Transform.h"

#include <cassert>
#include <bit>
#include <cstddef>
#include <cstring>
#include <vector>

namespace vyrd {

namespace {

// The lifting steps. "Predict" updates an even sample from its odd
// neighbours, "update" an odd sample from its (already predicted) even ones.
// They return the full 32-bit result; where it is stored, it keeps 16 bits.
inline int Predict(int v, int near1, int near2, int far1, int far2) noexcept {
    return v - ((9 * (near1 + near2) - far1 - far2 + 16) >> 5);
}
inline int Update4(int v, int near1, int near2, int far1, int far2) noexcept {
    return v + ((9 * (near1 + near2) - far1 - far2 + 8) >> 4);
}
inline int Update2(int v, int near1, int near2) noexcept {
    return v + ((near1 + near2 + 1) >> 1);
}
inline int Update1(int v, int near1) noexcept {
    return v + near1;
}

// The update of the odd samples of a line of `n` samples, `step` apart:
// four neighbours where they all exist, two near the end, one at the very
// end. `even(q)` gives the predicted sample q (0 outside the line).
template <class Even>
void UpdateLineGeneral(int16_t* x, int n, std::ptrdiff_t step, Even even) noexcept {
    for (int q = 1; q < n; q += 2) {
        int16_t& v = x[q * step];
        if (q - 3 >= 0 && q + 3 < n) {
            v = int16_t(Update4(v, even(q - 1), even(q + 1), even(q - 3), even(q + 3)));
        } else if (q + 1 < n) {
            v = int16_t(Update2(v, even(q - 1), even(q + 1)));
        } else {
            v = int16_t(Update1(v, even(q - 1)));
        }
    }
}

// A column of `n` samples, `step` apart, with a bounds test for every
// neighbour. The update reads the predicted samples as stored (16 bits).
void LiftColumnGeneral(int16_t* x, int n, std::ptrdiff_t step) noexcept {
    const auto at = [&](int q) -> int { return q >= 0 && q < n ? x[q * step] : 0; };
    for (int q = 0; q < n; q += 2) {
        x[q * step] = int16_t(Predict(x[q * step], at(q - 1), at(q + 1), at(q - 3), at(q + 3)));
    }
    UpdateLineGeneral(x, n, step, at);
}

// A row of `n` samples, `step` apart, with a bounds test for every
// neighbour. Along a row the update reads the predicted samples with their
// full 32 bits, not as stored: a prediction that leaves the 16-bit range
// still lifts its neighbours by its true value, as in the encoder. `evens`
// has room for (n + 1) / 2 values.
void LiftRowGeneral(int16_t* x, int n, std::ptrdiff_t step, int32_t* evens) noexcept {
    const auto at = [&](int q) -> int { return q >= 0 && q < n ? x[q * step] : 0; };
    for (int q = 0; q < n; q += 2) {
        evens[q / 2] = Predict(x[q * step], at(q - 1), at(q + 1), at(q - 3), at(q + 3));
        x[q * step] = int16_t(evens[q / 2]);
    }
    UpdateLineGeneral(x, n, step, [&](int q) -> int { return q >= 0 && q < n ? evens[q / 2] : 0; });
}

// Room for one row split into its even samples (32 bits, as predicted) and
// its odd ones, each with two zeros before and after it: the samples outside
// the row.
class RowSplit {
public:
    explicit RowSplit(int32_t longestRow)
        : evens_(std::size_t(longestRow) / 2 + 1 + 2 * kPad, 0),
          odds_(std::size_t(longestRow) / 2 + 1 + 2 * kPad, 0) {}

    int32_t* Evens() noexcept { return evens_.data() + kPad; }
    int16_t* Odds() noexcept { return odds_.data() + kPad; }

private:
    static constexpr std::size_t kPad = 2;
    std::vector<int32_t> evens_;
    std::vector<int16_t> odds_;
};

// The same for a row of more than 8 samples. The row is split into its even
// and odd samples, so that each lifting step is a loop over consecutive
// samples without tests; only the update of the first and last odd samples
// is done on its own. With kUnitStep the samples are adjacent (s = 1), which
// lets the compiler turn the splitting and joining into vector shuffles.
template <bool kUnitStep>
void LiftRowFast(int16_t* x, int n, std::ptrdiff_t step, RowSplit& split) noexcept {
    assert(n > 8);
    const std::ptrdiff_t s = kUnitStep ? 1 : step;
    const int evenCount = (n + 1) / 2;
    const int oddCount = n / 2;
    int32_t* const e = split.Evens();
    int16_t* const o = split.Odds();
    for (int i = 0; i < oddCount; ++i) {
        e[i] = x[2 * i * s];
        o[i] = x[(2 * i + 1) * s];
    }
    if (evenCount > oddCount) {
        e[evenCount - 1] = x[(n - 1) * s];
    }
    // The pads after the odd samples; a longer row may have used them.
    o[oddCount] = 0;
    o[oddCount + 1] = 0;
    // Predict every even sample q = 2i from q - 1, q + 1 (odd i - 1, i) and
    // q - 3, q + 3 (odd i - 2, i + 1); the pads give the zeros outside.
    for (int i = 0; i < evenCount; ++i) {
        e[i] = Predict(e[i], o[i - 1], o[i], o[i - 2], o[i + 1]);
    }
    // Update every odd sample q = 2i + 1 from evens i, i + 1 and i - 1, i + 2:
    // all four exist for 1 <= i <= evenCount - 3.
    o[0] = int16_t(Update2(o[0], e[0], e[1]));
    for (int i = 1; i <= evenCount - 3; ++i) {
        o[i] = int16_t(Update4(o[i], e[i], e[i + 1], e[i - 1], e[i + 2]));
    }
    for (int i = evenCount - 2; i < oddCount; ++i) {
        o[i] = int16_t(i + 1 < evenCount ? Update2(o[i], e[i], e[i + 1]) : Update1(o[i], e[i]));
    }
    for (int i = 0; i < oddCount; ++i) {
        x[2 * i * s] = int16_t(e[i]);
        x[(2 * i + 1) * s] = o[i];
    }
    if (evenCount > oddCount) {
        x[(n - 1) * s] = int16_t(e[evenCount - 1]);
    }
}

// A row of zeros standing in for the rows above and below the image: the
// vertical steps then need no test per sample. Images are at most 65535 wide.
constexpr int kMaxWidth = 65536;
const int16_t kZeroRow[kMaxWidth] = {};

// The vertical steps of one row at scale s: `count` samples, `s` apart, from
// rows a and b (the nearer neighbours) and c and d (the farther ones; the zero
// row where they lie outside the image).
// At scale 2 the samples to lift are every other one: on a little-endian
// machine, the low halves of 32-bit words. Lifting whole words, the high
// halves passed through untouched, lets the compiler vectorise the loop.
// `Lift` takes the sample and its four neighbours. A row of odd width ends
// in a sample without a partner; it is lifted on its own, so that nothing
// past the row is read.
template <class Lift>
void LiftEveryOther(int16_t* v, const int16_t* a, const int16_t* b, const int16_t* c,
                    const int16_t* d, int count, int32_t width, Lift lift) noexcept {
    const int whole = (width % 2 == 0) ? count : count - 1;
    if constexpr (std::endian::native == std::endian::little) {
        const auto low = [](uint32_t word) -> int { return int16_t(uint16_t(word)); };
        for (int i = 0; i < whole; ++i) {
            uint32_t wv, wa, wb, wc, wd;
            std::memcpy(&wv, v + 2 * i, 4);
            std::memcpy(&wa, a + 2 * i, 4);
            std::memcpy(&wb, b + 2 * i, 4);
            std::memcpy(&wc, c + 2 * i, 4);
            std::memcpy(&wd, d + 2 * i, 4);
            const int lifted = lift(low(wv), low(wa), low(wb), low(wc), low(wd));
            wv = (wv & 0xFFFF0000u) | uint16_t(lifted);
            std::memcpy(v + 2 * i, &wv, 4);
        }
    } else {
        for (int i = 0; i < whole; ++i) {
            v[2 * i] = int16_t(lift(v[2 * i], a[2 * i], b[2 * i], c[2 * i], d[2 * i]));
        }
    }
    for (int i = whole; i < count; ++i) {
        v[2 * i] = int16_t(lift(v[2 * i], a[2 * i], b[2 * i], c[2 * i], d[2 * i]));
    }
}

// The vertical steps of one row at scale s: `count` samples, `s` apart, from
// rows a and b (the nearer neighbours) and c and d (the farther ones; the zero
// row where they lie outside the image).
template <class Lift>
void LiftRowOfColumns(int16_t* v, const int16_t* a, const int16_t* b, const int16_t* c,
                      const int16_t* d, int count, int s, int32_t width, Lift lift) noexcept {
    if (s == 1) {
        for (int i = 0; i < count; ++i) {
            v[i] = int16_t(lift(v[i], a[i], b[i], c[i], d[i]));
        }
    } else if (s == 2) {
        LiftEveryOther(v, a, b, c, d, count, width, lift);
    } else {
        for (int i = 0; i < count * s; i += s) {
            v[i] = int16_t(lift(v[i], a[i], b[i], c[i], d[i]));
        }
    }
}

void PredictRow(int16_t* v, const int16_t* a, const int16_t* b, const int16_t* c, const int16_t* d,
                int count, int s, int32_t width) noexcept {
    LiftRowOfColumns(v, a, b, c, d, count, s, width, Predict);
}

void UpdateRow4(int16_t* v, const int16_t* a, const int16_t* b, const int16_t* c, const int16_t* d,
                int count, int s, int32_t width) noexcept {
    LiftRowOfColumns(v, a, b, c, d, count, s, width, Update4);
}

void UpdateRow2(int16_t* v, const int16_t* a, const int16_t* b, int count, int s) noexcept {
    for (int i = 0; i < count * s; i += s) {
        v[i] = int16_t(Update2(v[i], a[i], b[i]));
    }
}

void UpdateRow1(int16_t* v, const int16_t* a, int count, int s) noexcept {
    for (int i = 0; i < count * s; i += s) {
        v[i] = int16_t(Update1(v[i], a[i]));
    }
}

// One scale in a single sweep over the rows, so that the rows in work stay in
// the cache: at step k the even row k is predicted, the odd row k - 3 (whose
// even neighbours up to k are now predicted) is updated, and row k - 6 (which
// no later vertical step reads) is lifted horizontally. Every step sees the
// same values as in separate vertical and horizontal passes.
void LiftScaleFast(int16_t* samples, int32_t width, int32_t height, int s,
                   RowSplit& split) noexcept {
    const int n = (height - 1) / s + 1;
    const int count = (width - 1) / s + 1;
    const std::ptrdiff_t rowStep = std::ptrdiff_t(s) * width;
    const auto row = [&](int q) -> int16_t* { return samples + q * rowStep; };
    const auto rowOrZero = [&](int q) -> const int16_t* {
        return q >= 0 && q < n ? samples + q * rowStep : kZeroRow;
    };
    for (int k = 0; k < n + 6; ++k) {
        if (k % 2 == 0 && k < n) {
            PredictRow(row(k), rowOrZero(k - 1), rowOrZero(k + 1), rowOrZero(k - 3),
                       rowOrZero(k + 3), count, s, width);
        }
        const int odd = k - 3;
        if (odd >= 1 && odd % 2 == 1 && odd < n) {
            if (odd - 3 >= 0 && odd + 3 < n) {
                UpdateRow4(row(odd), row(odd - 1), row(odd + 1), row(odd - 3), row(odd + 3), count,
                           s, width);
            } else if (odd + 1 < n) {
                UpdateRow2(row(odd), row(odd - 1), row(odd + 1), count, s);
            } else {
                UpdateRow1(row(odd), row(odd - 1), count, s);
            }
        }
        const int done = k - 6;
        if (done >= 0 && done < n) {
            if (s == 1) {
                LiftRowFast<true>(row(done), count, 1, split);
            } else {
                LiftRowFast<false>(row(done), count, s, split);
            }
        }
    }
}

void LiftScaleGeneral(int16_t* samples, int32_t width, int32_t height, int s,
                      RowSplit& split) noexcept {
    const int rows = (height - 1) / s + 1;
    const int columns = (width - 1) / s + 1;
    for (int32_t x = 0; x < width; x += s) {
        LiftColumnGeneral(samples + x, rows, std::ptrdiff_t(s) * width);
    }
    for (int32_t y = 0; y < height; y += s) {
        LiftRowGeneral(samples + std::ptrdiff_t(y) * width, columns, s, split.Evens());
    }
}

}  // namespace

void InverseWavelet(int16_t* samples, int32_t width, int32_t height, int finestScale) {
    if (width <= 0 || height <= 0) {
        return;
    }
    assert(width <= kMaxWidth);
    RowSplit split(width);
    for (int s = 16; s >= finestScale; s >>= 1) {
        if (width > 8 * s && height > 8 * s) {
            LiftScaleFast(samples, width, height, s, split);
        } else {
            LiftScaleGeneral(samples, width, height, s, split);
        }
    }
}

void InverseWaveletGeneral(int16_t* samples, int32_t width, int32_t height, int finestScale) {
    if (width <= 0 || height <= 0) {
        return;
    }
    RowSplit split(width);
    for (int s = 16; s >= finestScale; s >>= 1) {
        LiftScaleGeneral(samples, width, height, s, split);
    }
}

}  // namespace vyrd
