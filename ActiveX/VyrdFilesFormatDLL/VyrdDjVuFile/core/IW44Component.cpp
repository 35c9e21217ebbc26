#include "IW44Component.h"

#include "IW44Transform.h"

#include <algorithm>
#include <cassert>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <new>

namespace vyrd {

namespace {

// Bucket and block states within one slice (a coefficient whose threshold
// is inactive has neither bit).
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

void CIW44Samples::FreeDeleter::operator()(int16_t* p) const noexcept {
    std::free(p);
}

CIW44Samples::CIW44Samples(std::size_t count)
    : samples_(static_cast<int16_t*>(std::calloc(count > 0 ? count : 1, sizeof(int16_t)))),
      count_(count) {
    if (!samples_) {
        throw std::bad_alloc();
    }
}

const std::array<uint16_t, CIW44Component::kBlockCoefficients>&
CIW44Component::IndexTable() noexcept {
    static const std::array<uint16_t, kBlockCoefficients> table = BuildIndexTable();
    return table;
}

CIW44Component::CIW44Component(int32_t width, int32_t height, bool halfResolution)
    : width_(std::max(width, 0)),
      height_(std::max(height, 0)),
      halfResolution_(halfResolution),
      thresholds_(kInitialThresholds) {
    if (width_ > 0 && height_ > 0) {
        blockColumns_ = (width_ + kBlockSide - 1) / kBlockSide;
        blockRows_ = (height_ + kBlockSide - 1) / kBlockSide;
        blockCount_ = std::size_t(blockColumns_) * std::size_t(blockRows_);
        coefficients_ = CIW44Samples(blockCount_ * kBlockCoefficients);
        nonZeroCounts_.assign(blockCount_ * kBucketsPerBlock, 0);
    }
}

void CIW44Component::ReleaseCoefficients() noexcept {
    coefficients_.Release();
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

// What one slice needs to know in every block.
struct CIW44Component::Slice {
    int band;
    int first;  // first bucket of the band
    int count;  // buckets in the band
    // The threshold of each coefficient of a bucket, and (band 0) the
    // coefficients whose threshold is active; in the other bands all are.
    int thresholds[16];
    uint16_t active;
};

int CIW44Component::DecodeSlice(CZPDecoder& zp) noexcept {
    if (coefficients_.Empty()) {
        return 0;
    }
    if (!SliceIsNull()) {
        Slice slice{};
        slice.band = band_;
        slice.first = kBandBuckets[band_].first;
        slice.count = kBandBuckets[band_].count;
        slice.active = 0xFFFF;
        for (int j = 0; j < 16; ++j) {
            const uint32_t t =
                thresholds_[std::size_t(band_ == 0 ? BandZeroThresholdIndex(j) : band_ + 6)];
            slice.thresholds[j] = int(t);
            if (!IsActive(t)) {
                slice.active = uint16_t(slice.active & ~(1u << j));
            }
        }
        // The coder state lives in a local copy for the whole slice.
        CZPDecoder local = zp;
        uint8_t* counts = nonZeroCounts_.data();
        for (std::size_t block = 0; block < blockCount_; ++block, counts += kBucketsPerBlock) {
            DecodeBlock(local, slice, block, counts);
        }
        zp = local;
    }
    HalveThresholds();
    band_ = band_ == kBands - 1 ? 0 : band_ + 1;
    return 1;
}

namespace {

// The transform's samples carry 6 fraction bits: rounded, and limited to a
// signed byte.
inline int8_t SampleToByte(int16_t sample) noexcept {
    return int8_t(std::clamp((sample + 32) >> 6, -128, 127));
}

// Converts the samples and clears them for the next use, in one pass.
void SamplesToBytesAndClear(int16_t* samples, int8_t* out, std::size_t count) noexcept {
    for (std::size_t i = 0; i < count; ++i) {
        out[i] = SampleToByte(samples[i]);
        samples[i] = 0;
    }
}

// The number of bits set (the baseline instruction set has no popcount).
inline int BitCount(uint16_t v) noexcept {
    unsigned x = v;
    x = x - ((x >> 1) & 0x5555u);
    x = (x & 0x3333u) + ((x >> 2) & 0x3333u);
    x = (x + (x >> 4)) & 0x0F0Fu;
    return int((x + (x >> 8)) & 0x1Fu);
}

// Bit j set where c[j] != 0.
inline uint16_t NonZeroMask(const int16_t* c) noexcept {
    unsigned mask = 0;
    for (int j = 0; j < 16; ++j) {
        mask |= unsigned(c[j] != 0) << j;
    }
    return uint16_t(mask);
}

}  // namespace

void CIW44Component::DecodeBlock(CZPDecoder& shared, const Slice& slice, std::size_t block,
                                 uint8_t* nonZero) noexcept {
    // A local copy of the coder, which the compiler keeps in registers.
    CZPDecoder zp = shared;
    const int band = slice.band;
    const int first = slice.first;
    const int count = slice.count;

    // Bucket and block states. In band 0 the single bucket's coefficients
    // are looked at one by one (their thresholds differ); in the other bands
    // the count of non-zero coefficients decides.
    uint8_t bucketStates[16];
    uint8_t blockState = 0;
    uint16_t bandZeroTest = 0;
    uint16_t bandZeroRefine = 0;
    if (band == 0) {
        const uint16_t nonZeroMask = NonZeroMask(Bucket(0, block));
        bandZeroRefine = uint16_t(nonZeroMask & slice.active);
        bandZeroTest = uint16_t(~nonZeroMask & slice.active);
        blockState = uint8_t((bandZeroRefine != 0 ? kRefine : 0) | (bandZeroTest != 0 ? kTest : 0));
        bucketStates[0] = blockState;
    } else {
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
                // The four coefficients one band coarser at the same place.
                const int parent = 4 * (first + i);
                const int16_t* parents = Bucket(parent / 16, block) + parent % 16;
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
            int16_t* c = Bucket(first + i, block);
            uint16_t test = band == 0 ? bandZeroTest : uint16_t(~NonZeroMask(c));
            int pending = band == 0 ? BitCount(test) : 16 - nonZero[first + i];
            int foundCount = 0;
            const int startOffset = (bucketStates[i] & kRefine) != 0 ? 8 : 0;
            uint16_t found = 0;
            while (test != 0) {
                const int j = std::countr_zero(test);
                test = uint16_t(test & (test - 1));
                if (zp.decode(startContexts_[std::min(pending, 7) + startOffset]) != 0) {
                    // A coefficient that becomes significant at threshold t
                    // lies in [t, 2t); encoders reconstruct it a little
                    // below the middle of that interval, at 1.375 t.
                    const int t = slice.thresholds[j];
                    const int value = t + (t >> 1) - (t >> 3);
                    c[j] = int16_t(zp.decode_iw() != 0 ? -value : value);
                    found = uint16_t(found | (1u << j));
                    ++foundCount;
                    pending = 0;
                } else if (pending > 0) {
                    --pending;
                }
            }
            newlyFound[i] = found;
            nonZero[first + i] = uint8_t(nonZero[first + i] + foundCount);
        }
    }

    // Refinement of the coefficients that had a value before this slice.
    for (int i = 0; i < count && (blockState & kRefine) != 0; ++i) {
        if ((bucketStates[i] & kRefine) == 0) {
            continue;
        }
        int16_t* c = Bucket(first + i, block);
        uint16_t refine = band == 0 ? bandZeroRefine : uint16_t(NonZeroMask(c) & ~newlyFound[i]);
        while (refine != 0) {
            const int j = std::countr_zero(refine);
            refine = uint16_t(refine & (refine - 1));
            const int t = slice.thresholds[j];
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
    shared = zp;
}

void CIW44Component::Reconstruct(int8_t* out, CIW44Samples& work) const {
    if (coefficients_.Empty()) {
        return;
    }
    const std::size_t samples = std::size_t(width_) * std::size_t(height_);
    assert(work.Size() >= samples);
    int16_t* const grid = work.Data();
    // The place of each coefficient of a block in the grid, relative to the
    // block's bottom-left sample: row and column, and for blocks that lie
    // wholly inside the image the offset.
    std::array<uint8_t, kBlockCoefficients> rowOf;
    std::array<uint8_t, kBlockCoefficients> columnOf;
    std::array<std::size_t, kBlockCoefficients> offsetOf;
    const std::array<uint16_t, kBlockCoefficients>& index = IndexTable();
    for (int r = 0; r < kBlockSide; ++r) {
        for (int c = 0; c < kBlockSide; ++c) {
            const std::size_t k = index[std::size_t(r * kBlockSide + c)];
            rowOf[k] = uint8_t(r);
            columnOf[k] = uint8_t(c);
            offsetOf[k] = std::size_t(r) * std::size_t(width_) + std::size_t(c);
        }
    }
    // Only buckets holding a value are copied; the grid is zero elsewhere.
    const uint8_t* counts = nonZeroCounts_.data();
    for (int32_t blockRow = 0; blockRow < blockRows_; ++blockRow) {
        const int32_t top = std::min(kBlockSide, height_ - blockRow * kBlockSide);
        for (int32_t blockColumn = 0; blockColumn < blockColumns_;
             ++blockColumn, counts += kBucketsPerBlock) {
            const int32_t right = std::min(kBlockSide, width_ - blockColumn * kBlockSide);
            const std::size_t block =
                std::size_t(blockRow) * std::size_t(blockColumns_) + std::size_t(blockColumn);
            int16_t* corner = grid + std::size_t(blockRow * kBlockSide) * std::size_t(width_) +
                              std::size_t(blockColumn * kBlockSide);
            const bool whole = top == kBlockSide && right == kBlockSide;
            for (int bucket = 0; bucket < kBucketsPerBlock; ++bucket) {
                if (counts[bucket] == 0) {
                    continue;
                }
                const int16_t* c = coefficients_.Data() +
                                   (std::size_t(bucket) * blockCount_ + block) * kBucketSize;
                const int k0 = bucket * kBucketSize;
                for (int j = 0; j < kBucketSize; ++j) {
                    const std::size_t k = std::size_t(k0 + j);
                    if (whole) {
                        corner[offsetOf[k]] = c[j];
                    } else if (rowOf[k] < top && columnOf[k] < right) {
                        // Parts of blocks past the image's edges are cut.
                        corner[offsetOf[k]] = c[j];
                    }
                }
            }
        }
    }
    if (!halfResolution_) {
        InverseWavelet(grid, width_, height_);
        SamplesToBytesAndClear(grid, out, samples);
        return;
    }
    InverseWavelet(grid, width_, height_, 2);
    for (int32_t y = 0; y < height_; ++y) {
        const int16_t* even = grid + std::size_t(y & ~1) * std::size_t(width_);
        int8_t* row = out + std::size_t(y) * std::size_t(width_);
        if ((y & 1) != 0) {
            std::memcpy(row, row - width_, std::size_t(width_));
            continue;
        }
        for (int32_t x = 0; x < width_; ++x) {
            row[x] = SampleToByte(even[x & ~1]);
        }
    }
    std::memset(grid, 0, samples * sizeof(int16_t));
}

}  // namespace vyrd
