#pragma once
// One colour component (Y, Cb or Cr) of a wavelet-coded image: its
// coefficients, quantisation thresholds and coding contexts, refined slice by
// slice, and the inverse transform that turns them into samples.

#include "ZPDecoder.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace vyrd {

// 16-bit values that come zeroed from the system (calloc), so that pages no
// one touches cost neither memory nor time. They hold a component's
// coefficients, and the work space of the inverse transform (one sample per
// pixel, zero whenever it is handed to a component: each reconstruction
// clears what it used, so the components of one image share it).
class CIW44Samples {
public:
    CIW44Samples() noexcept = default;
    // Throws std::bad_alloc.
    explicit CIW44Samples(std::size_t count);

    int16_t* Data() noexcept { return samples_.get(); }
    const int16_t* Data() const noexcept { return samples_.get(); }
    std::size_t Size() const noexcept { return count_; }
    bool Empty() const noexcept { return count_ == 0; }
    void Release() noexcept {
        samples_.reset();
        count_ = 0;
    }

private:
    struct FreeDeleter {
        void operator()(int16_t* p) const noexcept;
    };
    std::unique_ptr<int16_t[], FreeDeleter> samples_;
    std::size_t count_ = 0;
};

// Coefficients belong to blocks of 32 x 32, numbered row by row from the
// bottom-left block; inside a block coefficient k interleaves the bits of the
// row and column so that the coarse bands come first, and every 16 of them
// form a bucket. They are stored bucket by bucket: bucket b of every block,
// then bucket b + 1, so that a slice, which visits the same few buckets of
// every block, reads memory in order. Everything is allocated at
// construction, so decoding never allocates. Used by one thread at a time.
class CIW44Component {
public:
    // Throws std::bad_alloc. A width or height of 0 gives a component without
    // blocks: it decodes nothing and reconstructs no samples. A component at
    // half resolution (the chroma of images coded that way) is reconstructed
    // without its finest scale, each 2 x 2 square showing one sample.
    CIW44Component(int32_t width, int32_t height, bool halfResolution = false);

    int32_t Width() const noexcept { return width_; }
    int32_t Height() const noexcept { return height_; }
    bool HasBlocks() const noexcept { return !coefficients_.Empty(); }

    // Decodes the next slice: one band of every block. Returns 1 while the
    // component has blocks (a slice whose thresholds are all inactive decodes
    // nothing but still moves on to the next band), 0 when it has none.
    int DecodeSlice(CZPDecoder& zp) noexcept;

    // Writes width x height signed samples, row 0 (the bottom row) first, to
    // `out`. The coefficients are not changed. `work` must hold at least
    // width x height samples, all zero; they are zero again afterwards.
    // Throws std::bad_alloc.
    void Reconstruct(int8_t* out, CIW44Samples& work) const;

    // Frees the coefficients once the component is no longer needed; the
    // component then has no blocks.
    void ReleaseCoefficients() noexcept;

    // Coefficient k (0-1023) of block `block`, for tests.
    int16_t Coefficient(int32_t block, int k) const noexcept {
        return coefficients_.Data()[CoefficientOffset(k) + std::size_t(block) * kBucketSize];
    }
    int Band() const noexcept { return band_; }
    uint32_t Threshold(int index) const noexcept { return thresholds_[std::size_t(index)]; }

    static constexpr int kBlockSide = 32;
    static constexpr int kBlockCoefficients = kBlockSide * kBlockSide;
    static constexpr int kBands = 10;

    // The index inside a block of the coefficient at `row` (from the bottom of
    // the block) and `column`, both 0-31. Built on first use and shared.
    static const std::array<uint16_t, kBlockCoefficients>& IndexTable() noexcept;

private:
    static constexpr int kBucketSize = 16;
    static constexpr int kBucketsPerBlock = kBlockCoefficients / kBucketSize;

    struct Slice;

    // Where coefficient k of block 0 is stored; block b's is b * 16 further.
    std::size_t CoefficientOffset(int k) const noexcept {
        return std::size_t(k / kBucketSize) * blockCount_ * kBucketSize +
               std::size_t(k % kBucketSize);
    }
    int16_t* Bucket(int bucket, std::size_t block) noexcept {
        return coefficients_.Data() + (std::size_t(bucket) * blockCount_ + block) * kBucketSize;
    }

    bool SliceIsNull() const noexcept;
    void HalveThresholds() noexcept;
    void DecodeBlock(CZPDecoder& zp, const Slice& slice, std::size_t block,
                     uint8_t* nonZero) noexcept;

    int32_t width_;
    int32_t height_;
    bool halfResolution_;
    int32_t blockColumns_ = 0;
    int32_t blockRows_ = 0;
    std::size_t blockCount_ = 0;
    // Zeroed lazily by the system: the buckets no slice reaches (the fine
    // bands of a coarsely coded image) cost no memory and no time.
    CIW44Samples coefficients_;
    // Per block and bucket: how many of the bucket's 16 coefficients are not
    // zero. A coefficient never returns to zero once it has a value, so the
    // count only grows; it decides the bucket states without a scan.
    std::vector<uint8_t> nonZeroCounts_;

    std::array<uint32_t, 16> thresholds_;
    int band_ = 0;

    uint8_t rootContext_ = 0;
    uint8_t bucketContexts_[kBands][8] = {};
    uint8_t startContexts_[16] = {};
    uint8_t mantissaContext_ = 0;
};

}  // namespace vyrd
