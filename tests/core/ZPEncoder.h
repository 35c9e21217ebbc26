#pragma once
// Test-only ZP encoder: the mirror of CZPDecoder, so that tests can write
// coded streams bit by bit (JB2 records, bitmaps) and know exactly what a
// correct decoder must read back.
//
// Model. The decoder keeps a 16-bit `range` and a 16-bit code `value`, and
// value stays in [range, 0x10000): the current interval of the code. A more
// probable symbol keeps the upper part [z, 0x10000), a less probable one the
// lower part [range, z), after which the decoder moves its coordinates up by
// 0x10000 - z. Renormalising doubles the coordinates and drops the top bits,
// which are all ones inside the interval.
//
// The encoder tracks the same range and, in full precision, `high`: the top
// of the interval in the coordinates of the code string read so far (16 bits
// at the start, one more per renormalising shift). A more probable symbol
// leaves high alone, a less probable one lowers it by 0x10000 - z, a shift by
// s bits multiplies it by 2^s. The code string written is high - 1, followed
// by one bits: every value the decoder can read then lies in the interval.

#include "ZPDecoder.h"
#include "ZPTable.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace testzp {

class ZPEncoder {
public:
    ZPEncoder() : high_(17, 0) { high_[0] = 1; }  // 0x10000: the whole first interval

    // Encodes `bit` with an adaptive context, adapting it as the decoder will.
    void encode(int bit, uint8_t& ctx) {
        using vyrd::kZPStates;
        uint32_t z = range_ + kZPStates.lpsSize[ctx];
        const int mps = ctx & 1;
        // The decoder's fast path: a more probable symbol whose split stays
        // below 0x8000 changes nothing but the range.
        if (bit == mps && z < 0x8000) {
            range_ = z;
            return;
        }
        const uint32_t d = 0x6000 + ((z + range_) >> 2);
        if (z > d) {
            z = d;
        }
        if (bit != mps) {
            ctx = kZPStates.nextLps[ctx];
            TakeLps(z);
        } else {
            if (range_ >= kZPStates.mpsLimit[ctx]) {
                ctx = kZPStates.nextMps[ctx];
            }
            TakeMps(z);
        }
    }

    // The mirror of decode_raw: a fixed split of one half, 0 more probable.
    void encode_raw(int bit) {
        const uint32_t z = 0x8000 + (range_ >> 1);
        if (bit != 0) {
            TakeLps(z);
        } else {
            TakeMps(z);
        }
    }

    // The coded bytes. The decoder pads with 0xFF bytes, which continue the
    // code string with the ones it needs.
    std::vector<uint8_t> Finish() const {
        std::vector<uint8_t> code = high_;
        SubtractAtEnd(code, 1);
        EXPECT_EQ(code[0], 0) << "the code left its first interval";
        std::vector<uint8_t> bytes;
        uint32_t byte = 0;
        int filled = 0;
        for (std::size_t i = 1; i < code.size(); ++i) {
            byte = (byte << 1) | code[i];
            if (++filled == 8) {
                bytes.push_back(uint8_t(byte));
                byte = 0;
                filled = 0;
            }
        }
        if (filled > 0) {
            bytes.push_back(uint8_t((byte << (8 - filled)) | (0xFFu >> filled)));
        }
        return bytes;
    }

private:
    void TakeLps(uint32_t z) {
        SubtractAtEnd(high_, 0x10000 - z);
        range_ = (range_ + 0x10000 - z) & 0xFFFF;
        const int shift = range_ >= 0xFF00 ? vyrd::CZPDecoder::ones_table[range_ & 0xFF] + 8
                                           : vyrd::CZPDecoder::ones_table[range_ >> 8];
        range_ = (range_ << shift) & 0xFFFF;
        high_.insert(high_.end(), std::size_t(shift), 0);
    }

    void TakeMps(uint32_t z) {
        range_ = (z << 1) & 0xFFFF;
        high_.push_back(0);
    }

    // bits (most significant first) -= v, with the borrow carried up.
    static void SubtractAtEnd(std::vector<uint8_t>& bits, uint32_t v) {
        int borrow = 0;
        std::size_t i = bits.size();
        for (uint32_t rest = v; rest != 0 || borrow != 0; rest >>= 1) {
            ASSERT_GT(i, 0u) << "the interval fell below zero";
            --i;
            const int d = int(bits[i]) - int(rest & 1) - borrow;
            borrow = d < 0 ? 1 : 0;
            bits[i] = uint8_t(d & 1);
        }
    }

    uint32_t range_ = 0;
    // `high` in binary, most significant bit first.
    std::vector<uint8_t> high_;
};

}  // namespace testzp
