#include "BzzDecoder.h"

#include "BlockSort.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace vyrd {

namespace {

// Context slots of the rank coder. Each rank class has a context that says
// "the rank is in this class" and a binary tree of contexts for the offset
// inside the class: ranks 2-3 (1 bit), 4-7 (2 bits), ... 128-255 (7 bits).
struct RankClass {
    uint16_t flag;  // context of the "in this class" decision
    uint16_t tree;  // first context of the offset tree
    uint16_t base;  // first rank of the class
    uint8_t bits;   // offset width
};
constexpr RankClass kRankClasses[] = {
    {6, 7, 2, 1},    {8, 9, 4, 2},    {12, 13, 8, 3},     {20, 21, 16, 4},
    {36, 37, 32, 5}, {68, 69, 64, 6}, {132, 133, 128, 7},
};

// An end-of-block marker instead of a rank.
constexpr uint32_t kMarkerRank = 256;

// A b-bit number, most significant bit first, through the tree of contexts
// that starts at `tree`: node c (1-based) uses tree[c - 1].
inline uint32_t DecodeBits(CZPDecoder& zp, uint8_t* tree, int bits) {
    const uint32_t top = 1u << bits;
    uint32_t c = 1;
    while (c < top) {
        c = (c << 1) | static_cast<uint32_t>(zp.decode(tree[c - 1]));
    }
    return c - top;
}

}  // namespace

CBzzDecoder::CBzzDecoder(CByteRange input, uint32_t maxBlockSize) noexcept
    : zp_(input), maxBlockSize_(std::min(maxBlockSize, kMaxBlockSize)) {}

uint32_t CBzzDecoder::DecodeBlock() {
    // The block size: 24 bits at a fixed split, most significant first.
    uint32_t size = 1;
    for (int i = 0; i < 24; ++i) {
        size = (size << 1) | static_cast<uint32_t>(zp_.decode_raw());
    }
    size -= 1u << 24;
    if (size == 0 || size > maxBlockSize_) {
        return 0;
    }
    try {
        if (data_.size() < size) {
            data_.resize(size);
        }
        if (link_.size() < size) {
            link_.resize(size);
        }
    } catch (const std::bad_alloc&) {
        return 0;
    }
    const uint32_t marker = DecodeRanks(size);
    if (marker < 1 || marker >= size) {
        return 0;
    }
    return InverseBlockSort(data_.data(), link_.data(), size, marker) ? size : 0;
}

// Decodes the block's symbols into data_ and returns the position of the
// end-of-block marker (size when there was none, or when the coded bytes ran
// out before the block's end).
uint32_t CBzzDecoder::DecodeRanks(uint32_t size) {
    // How fast recent symbols gain weight in the move-to-front list.
    int weightShift = 0;
    if (zp_.decode_raw()) {
        weightShift = 1;
        if (zp_.decode_raw()) {
            weightShift = 2;
        }
    }

    uint8_t ranks[256];
    for (int i = 0; i < 256; ++i) {
        ranks[i] = static_cast<uint8_t>(i);
    }
    uint32_t weight[4] = {0, 0, 0, 0};
    uint32_t step = 4;
    uint32_t lastRank = 3;
    uint32_t marker = size;

    // The coder's state lives in a local for the loop (see CZPDecoder).
    CZPDecoder zp = zp_;
    uint8_t* const ctx = ctx_;
    uint8_t* const data = data_.data();
    for (uint32_t i = 0; i < size; ++i) {
        // A well-formed block never decodes past the padding that follows the
        // coded bytes; one that does was cut short, and the rest is filler.
        // Checking now and then bounds the work a truncated stream costs.
        if ((i & 0xFFF) == 0 && zp.PaddingExhausted()) {
            break;
        }
        const uint32_t cid = std::min<uint32_t>(lastRank, 2);
        uint32_t r;
        if (zp.decode(ctx[cid])) {
            r = 0;
        } else if (zp.decode(ctx[3 + cid])) {
            r = 1;
        } else {
            r = kMarkerRank;
            for (const RankClass& rc : kRankClasses) {
                if (zp.decode(ctx[rc.flag])) {
                    r = rc.base + DecodeBits(zp, ctx + rc.tree, rc.bits);
                    break;
                }
            }
            if (r == kMarkerRank) {
                data[i] = 0;
                marker = i;
                lastRank = kMarkerRank;
                continue;
            }
        }
        lastRank = r;
        const uint8_t symbol = ranks[r];
        data[i] = symbol;

        // Move the symbol towards the front by how often it was seen lately:
        // the first four places are ordered by weight, the rest by recency.
        step += step >> weightShift;
        if (step > 0x10000000) {
            step >>= 24;
            for (uint32_t& w : weight) {
                w >>= 24;
            }
        }
        uint32_t w = step;
        uint32_t k = r;
        if (k < 4) {
            w += weight[k];
        } else {
            std::memmove(ranks + 4, ranks + 3, k - 3);
            k = 3;
        }
        while (k > 0 && w >= weight[k - 1]) {
            ranks[k] = ranks[k - 1];
            weight[k] = weight[k - 1];
            --k;
        }
        ranks[k] = symbol;
        weight[k] = w;
    }
    zp_ = zp;
    return zp.PaddingExhausted() ? size : marker;
}

bool CBzzDecoder::FillBlock() {
    if (eof_) {
        return false;
    }
    if (remaining_ == 0) {
        position_ = 0;
        const uint32_t size = DecodeBlock();
        if (size == 0) {
            eof_ = true;
            return false;
        }
        remaining_ = size - 1;
    }
    return true;
}

uint32_t CBzzDecoder::read(void* buffer, uint32_t n) {
    auto* out = static_cast<uint8_t*>(buffer);
    uint32_t copied = 0;
    while (n > 0 && FillBlock()) {
        const uint32_t k = std::min(remaining_, n);
        if (out != nullptr) {
            std::memcpy(out + copied, data_.data() + position_, k);
        }
        position_ += k;
        remaining_ -= k;
        delivered_ += k;
        copied += k;
        n -= k;
    }
    return copied;
}

bool CBzzDecoder::ReadExactly(uint8_t* buffer, uint32_t n) {
    if (read(buffer, n) != n) {
        eof_ = true;
        return false;
    }
    return true;
}

uint8_t CBzzDecoder::ReadByte() {
    uint8_t b[1];
    return ReadExactly(b, 1) ? b[0] : 0;
}

uint32_t CBzzDecoder::ReadU16() {
    uint8_t b[2];
    return ReadExactly(b, 2) ? (uint32_t{b[0]} << 8) | b[1] : 0;
}

uint32_t CBzzDecoder::ReadU24() {
    uint8_t b[3];
    return ReadExactly(b, 3) ? (uint32_t{b[0]} << 16) | (uint32_t{b[1]} << 8) | b[2] : 0;
}

std::string CBzzDecoder::ReadString() {
    std::string text;
    while (FillBlock()) {
        const uint8_t* begin = data_.data() + position_;
        const auto* nul = static_cast<const uint8_t*>(std::memchr(begin, 0, remaining_));
        const uint32_t length = nul ? static_cast<uint32_t>(nul - begin) : remaining_;
        text.append(reinterpret_cast<const char*>(begin), length);
        const uint32_t consumed = nul ? length + 1 : length;
        position_ += consumed;
        remaining_ -= consumed;
        delivered_ += consumed;
        if (nul) {
            break;
        }
    }
    return text;
}

}  // namespace vyrd
