#pragma once
// The ZP coder's decoder: the adaptive binary arithmetic decoder under every
// compressed DjVu stream (BZZ, JB2, IW44).

#include "ByteRange.h"
#include "ZPTable.h"

#include <array>
#include <cstdint>

namespace vyrd {

// Decodes one bit at a time from a run of coded bytes, with an adaptive
// context (one byte of the caller's memory holding a state number whose low bit
// is the more probable symbol) or at a fixed split.
//
// Never fails and never reads outside its input: once the input ends, 0xFF
// bytes are fed instead. The first 24 of them are the padding the coder
// relies on to flush the last real bits; PaddingExhausted() tells the stage
// above that the stream has run dry for good, so that it can stop instead of
// decoding filler. Owned by the decoder of the stream it serves; the input
// bytes must outlive it. Not thread-safe.
class CZPDecoder {
public:
    explicit CZPDecoder(CByteRange input) noexcept;
    // A copy is a snapshot of the decoder's state. Hot loops decode with a
    // local copy, which the compiler keeps in registers (stores to context
    // bytes cannot touch it), and assign it back when they are done.
    CZPDecoder(const CZPDecoder&) = default;
    CZPDecoder& operator=(const CZPDecoder&) = default;

    // Adaptive decoding: returns 0 or 1 and adapts the context. The fast path
    // (the interval stays above the code value) is one addition and one
    // comparison and leaves the context alone.
    int decode(uint8_t& ctx) noexcept {
        const uint32_t z = range_ + kZPStates.lpsSize[ctx];
        if (z <= fastLimit_) {
            range_ = z;
            return ctx & 1;
        }
        return DecodeSlow(ctx, z);
    }

    // Without a context, at a split of one half: the more probable symbol is 0.
    int decode_raw() noexcept { return DecodeFixed(0x8000 + (range_ >> 1)); }

    // Without a context, at the split used by the wavelet decoder.
    int decode_iw() noexcept { return DecodeFixed(0x8000 + ((3 * range_) >> 3)); }

    // True once the input and the padding after it are used up: what follows is
    // filler, not data.
    bool PaddingExhausted() const noexcept { return padAllowance_ == 0; }

    // The number of leading 1 bits of each byte value.
    static const std::array<uint8_t, 256> ones_table;

private:
    // The slow path is inline too: in the decoders' hot loops it runs for a
    // good share of the bits, and a call would cost more than its body.
    int DecodeSlow(uint8_t& ctx, uint32_t z) noexcept {
        const int bit = ctx & 1;
        // The interval may not shrink below a quarter of the way past 0x6000:
        // this bounds z so that the more probable branch keeps range_ under
        // 0x8000.
        const uint32_t d = 0x6000 + ((z + range_) >> 2);
        if (z > d) {
            z = d;
        }
        if (z > value_) {
            ctx = kZPStates.nextLps[ctx];
            TakeLps(z);
            return bit ^ 1;
        }
        if (range_ >= kZPStates.mpsLimit[ctx]) {
            ctx = kZPStates.nextMps[ctx];
        }
        TakeMps(z);
        return bit;
    }

    int DecodeFixed(uint32_t z) noexcept {
        if (z > value_) {
            TakeLps(z);
            return 1;
        }
        TakeMps(z);
        return 0;
    }

    // Less probable symbol: widen the interval by z's complement and
    // renormalise by as many bits as the interval has leading ones.
    void TakeLps(uint32_t z) noexcept {
        z = 0x10000 - z;
        range_ = (range_ + z) & 0xFFFF;
        value_ = (value_ + z) & 0xFFFF;
        const int shift =
            range_ >= 0xFF00 ? ones_table[range_ & 0xFF] + 8 : ones_table[range_ >> 8];
        bits_ -= shift;
        range_ = (range_ << shift) & 0xFFFF;
        value_ = ((value_ << shift) & 0xFFFF) | ((reservoir_ >> bits_) & ((1u << shift) - 1));
        if (bits_ < 16) {
            Refill();
        }
        fastLimit_ = value_ < 0x7FFF ? value_ : 0x7FFF;
    }

    // More probable symbol: the interval becomes z, shifted by one bit.
    void TakeMps(uint32_t z) noexcept {
        bits_ -= 1;
        range_ = (z << 1) & 0xFFFF;
        value_ = ((value_ << 1) & 0xFFFF) | ((reservoir_ >> bits_) & 1);
        if (bits_ < 16) {
            Refill();
        }
        fastLimit_ = value_ < 0x7FFF ? value_ : 0x7FFF;
    }

    // Brings the reservoir to more than 24 bits.
    void Refill() noexcept {
        while (bits_ <= 24) {
            reservoir_ = (reservoir_ << 8) | NextByte();
            bits_ += 8;
        }
    }

    uint8_t NextByte() noexcept {
        if (next_ < end_) {
            return *next_++;
        }
        // Past the end the coder sees 0xFF. The allowance counts the padding
        // bytes a well-formed stream may need; once it is spent the stream is
        // over, and the filler continues only so that every later call stays
        // defined.
        if (padAllowance_ > 0) {
            --padAllowance_;
        }
        return kPadByte;
    }

    // What the coder reads where the input has no more bytes.
    static constexpr uint8_t kPadByte = 0xFF;

    const uint8_t* next_;
    const uint8_t* end_;
    // Invariants between calls: range_ < 0x8000 (every path leaves the top bit
    // clear), value_ and fastLimit_ fit in 16 bits, 16 <= bits_ <= 32 after a
    // refill.
    uint32_t range_ = 0;
    uint32_t value_ = 0;
    uint32_t fastLimit_ = 0;
    uint32_t reservoir_ = 0;
    int bits_ = 0;
    uint8_t padAllowance_ = 25;
};

}  // namespace vyrd
