#include "IW44Component.h"

#include "IW44Transform.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>

namespace vyrd {

namespace {

// Coefficient states within one slice.
constexpr uint8_t kSkip = 0;    // threshold inactive
constexpr uint8_t kRefine = 1;  // already has a value
constexpr uint8_t kTest = 2;    // zero, may get a value now
constexpr uint8_t kFound = 4;   // set while decoding

constexpr std::array<uint32_t, 16> kInitialThresholds = {
    0x4000,  0x8000,  0x8000,  0x10000, 0x10000, 0x10000, 0x20000, 0x20000,
    0x20000, 0x40000, 0x40000, 0x40000, 0x80000, 0x40000, 0x40000, 0x80000};

struct BandBuckets {
    int first;
    int count;
};
constexpr BandBuckets kBandBuckets[CIW44Component::kBands] = {
    {0, 1}, {1, 1}, {2, 1}, {3, 1}, {4, 4}, {8, 4}, {12, 4}, {16, 16}, {32, 16}, {48, 16}};

// The threshold of coefficient j (0-15) of band 0's single bucket.
constexpr int BandZeroThresholdIndex(int j) noexcept {
    return j < 4 ? j : 4 + (j - 4) / 4;
}

constexpr bool IsActive(uint32_t threshold) noexcept {
    return threshold != 0 && threshold < 0x8000;
}

std::array<uint16_t, CIW44Component::kBlockCoefficients> BuildIndexTable() noexcept {
    std::array<uint16_t, CIW44Component::kBlockCoefficients> table{};
    for (int row = 0; row < CIW44Component::kBlockSide; ++row) {
        for (int column = 0; column < CIW44Component::kBlockSide; ++column) {
            // Bit i of the row goes to bit 9 - 2i of the index, bit i of the
            // column to bit 8 - 2i.
            int k = 0;
            for (int bit = 0; bit < 5; ++bit) {
                k |= ((row >> bit) & 1) << (9 - 2 * bit);
                k |= ((column >> bit) & 1) << (8 - 2 * bit);
            }
            table[std::size_t(row * CIW44Component::kBlockSide + column)] = uint16_t(k);
        }
    }
    return table;
}

}  // namespace

const std::array<uint16_t, CIW44Component::kBlockCoefficients>&
CIW44Component::IndexTable() noexcept {
    static const std::array<uint16_t, kBlockCoefficients> table = BuildIndexTable();
    return table;
}

CIW44Component::CIW44Component(int32_t width, int32_t height)
    : width_(std::max(width, 0)), height_(std::max(height, 0)), thresholds_(kInitialThresholds) {
    if (width_ > 0 && height_ > 0) {
        blockColumns_ = (width_ + kBlockSide - 1) / kBlockSide;
        blockRows_ = (height_ + kBlockSide - 1) / kBlockSide;
        const std::size_t blocks = std::size_t(blockColumns_) * std::size_t(blockRows_);
        coefficients_.assign(blocks * kBlockCoefficients, 0);
        nonZeroCounts_.assign(blocks * kBucketsPerBlock, 0);
    }
}

void CIW44Component::ReleaseCoefficients() noexcept {
    std::vector<int16_t>().swap(coefficients_);
    std::vector<uint8_t>().swap(nonZeroCounts_);
}

bool CIW44Component::SliceIsNull() const noexcept {
    if (band_ == 0) {
        for (int i = 0; i <= 6; ++i) {
            if (IsActive(thresholds_[std::size_t(i)])) {
                return false;
            }
        }
        return true;
    }
    return !IsActive(thresholds_[std::size_t(band_ + 6)]);
}

void CIW44Component::HalveThresholds() noexcept {
    if (band_ == 0) {
        for (int i = 0; i <= 6; ++i) {
            thresholds_[std::size_t(i)] >>= 1;
        }
    } else {
        thresholds_[std::size_t(band_ + 6)] >>= 1;
    }
}

int CIW44Component::DecodeSlice(CZPDecoder& zp) noexcept {
    if (coefficients_.empty()) {
        return 0;
    }
    if (!SliceIsNull()) {
        // The coder state lives in a local copy for the whole slice.
        CZPDecoder local = zp;
        const std::size_t blocks = std::size_t(blockColumns_) * std::size_t(blockRows_);
        int16_t* block = coefficients_.data();
        uint8_t* counts = nonZeroCounts_.data();
        for (std::size_t b = 0; b < blocks; ++b) {
            DecodeBlock(local, block, counts);
            block += kBlockCoefficients;
            counts += kBucketsPerBlock;
        }
        zp = local;
    }
    HalveThresholds();
    band_ = band_ == kBands - 1 ? 0 : band_ + 1;
    return 1;
}

void CIW44Component::DecodeBlock(CZPDecoder& zp, int16_t* block, uint8_t* nonZero) noexcept {
    const int band = band_;
    const int first = kBandBuckets[band].first;
    const int count = kBandBuckets[band].count;

    // Thresholds of the 16 coefficients of a bucket: per coefficient in band
    // 0, one for the whole band otherwise.
    uint32_t bucketThresholds[16];
    uint8_t bucketStates[16];
    uint8_t blockState = 0;
    uint8_t bandZeroStates[16];
    if (band == 0) {
        uint8_t state = 0;
        for (int j = 0; j < 16; ++j) {
            const uint32_t t = thresholds_[std::size_t(BandZeroThresholdIndex(j))];
            bucketThresholds[j] = t;
            bandZeroStates[j] = !IsActive(t) ? kSkip : block[j] != 0 ? kRefine : kTest;
            state |= bandZeroStates[j];
        }
        bucketStates[0] = state;
        blockState = state;
    } else {
        const uint32_t t = thresholds_[std::size_t(band + 6)];
        std::fill_n(bucketThresholds, 16, t);
        for (int i = 0; i < count; ++i) {
            const int filled = nonZero[first + i];
            const uint8_t state = uint8_t((filled > 0 ? kRefine : 0) | (filled < 16 ? kTest : 0));
            bucketStates[i] = state;
            blockState |= state;
        }
    }

    // Root: does any coefficient of the band get a value in this block?
    bool blockFound;
    if (count < 16 || (blockState & kRefine) != 0) {
        blockFound = true;
    } else if ((blockState & kTest) != 0) {
        blockFound = zp.decode(rootContext_) != 0;
    } else {
        blockFound = false;
    }

    // Which coefficients got a value in this slice: they are not refined
    // until the next one.
    uint16_t newlyFound[16] = {};
    if (blockFound) {
        const int refineOffset = (blockState & kRefine) != 0 ? 4 : 0;
        for (int i = 0; i < count; ++i) {
            if ((bucketStates[i] & kTest) == 0) {
                continue;
            }
            int context = 0;
            if (band != 0) {
                const int16_t* parents = block + 4 * (first + i);
                context =
                    (parents[0] != 0) + (parents[1] != 0) + (parents[2] != 0) + (parents[3] != 0);
                context = std::min(context, 3);
            }
            if (zp.decode(bucketContexts_[band][context + refineOffset]) != 0) {
                bucketStates[i] |= kFound;
            }
        }
        for (int i = 0; i < count; ++i) {
            if ((bucketStates[i] & kFound) == 0) {
                continue;
            }
            const int bucket = first + i;
            int16_t* c = block + 16 * bucket;
            int pending;
            if (band == 0) {
                pending = 0;
                for (int j = 0; j < 16; ++j) {
                    pending += bandZeroStates[j] == kTest;
                }
            } else {
                pending = 16 - nonZero[bucket];
            }
            const int startOffset = (bucketStates[i] & kRefine) != 0 ? 8 : 0;
            uint16_t found = 0;
            for (int j = 0; j < 16; ++j) {
                const bool test = band == 0 ? bandZeroStates[j] == kTest : c[j] == 0;
                if (!test) {
                    continue;
                }
                if (zp.decode(startContexts_[std::min(pending, 7) + startOffset]) != 0) {
                    // A coefficient that becomes significant at threshold t
                    // lies in [t, 2t); encoders reconstruct it a little
                    // below the middle of that interval, at 1.375 t.
                    const int t = int(bucketThresholds[j]);
                    const int value = t + (t >> 1) - (t >> 3);
                    c[j] = int16_t(zp.decode_iw() != 0 ? -value : value);
                    found |= uint16_t(1u << j);
                    pending = 0;
                } else if (pending > 0) {
                    --pending;
                }
            }
            newlyFound[i] = found;
            nonZero[bucket] = uint8_t(nonZero[bucket] + std::popcount(found));
        }
    }

    // Refinement of the coefficients that had a value before this slice.
    if ((blockState & kRefine) == 0) {
        return;
    }
    for (int i = 0; i < count; ++i) {
        if ((bucketStates[i] & kRefine) == 0) {
            continue;
        }
        int16_t* c = block + 16 * (first + i);
        for (int j = 0; j < 16; ++j) {
            if (c[j] == 0 || ((newlyFound[i] >> j) & 1) != 0 ||
                (band == 0 && bandZeroStates[j] != kRefine)) {
                continue;
            }
            const int t = int(bucketThresholds[j]);
            const int half = t >> 1;
            int magnitude = std::abs(int(c[j]));
            if (magnitude > 3 * t) {
                magnitude += zp.decode_iw() != 0 ? half : -half;
            } else {
                magnitude += (t >> 2) + (zp.decode(mantissaContext_) != 0 ? half : -half);
            }
            c[j] = int16_t(c[j] < 0 ? -magnitude : magnitude);
        }
    }
}

void CIW44Component::Reconstruct(int8_t* out) const {
    if (coefficients_.empty()) {
        return;
    }
    const std::size_t samples = std::size_t(width_) * std::size_t(height_);
    std::vector<int16_t> grid(samples);
    const std::array<uint16_t, kBlockCoefficients>& index = IndexTable();
    for (int32_t blockRow = 0; blockRow < blockRows_; ++blockRow) {
        const int32_t top = std::min(kBlockSide, height_ - blockRow * kBlockSide);
        for (int32_t blockColumn = 0; blockColumn < blockColumns_; ++blockColumn) {
            const int32_t right = std::min(kBlockSide, width_ - blockColumn * kBlockSide);
            const int16_t* block =
                coefficients_.data() +
                (std::size_t(blockRow) * std::size_t(blockColumns_) + std::size_t(blockColumn)) *
                    kBlockCoefficients;
            for (int32_t r = 0; r < top; ++r) {
                int16_t* row = grid.data() +
                               std::size_t(blockRow * kBlockSide + r) * std::size_t(width_) +
                               std::size_t(blockColumn * kBlockSide);
                const uint16_t* rowIndex = index.data() + r * kBlockSide;
                for (int32_t column = 0; column < right; ++column) {
                    row[column] = block[rowIndex[column]];
                }
            }
        }
    }
    InverseWavelet(grid.data(), width_, height_);
    for (std::size_t i = 0; i < samples; ++i) {
        const int v = (grid[i] + 32) >> 6;
        out[i] = int8_t(v < -128 ? -128 : v > 127 ? 127 : v);
    }
}

}  // namespace vyrd
