#include "ZPDecoder.h"

#include <utility>

namespace vyrd {

namespace {

constexpr uint8_t LeadingOnes(unsigned v) {
    uint8_t n = 0;
    for (unsigned mask = 0x80; mask != 0 && (v & mask) != 0; mask >>= 1) {
        ++n;
    }
    return n;
}

template <std::size_t... I>
constexpr auto MakeOnesTable(std::index_sequence<I...>) {
    return std::array<uint8_t, sizeof...(I)>{LeadingOnes(I)...};
}

constexpr auto kOnes = MakeOnesTable(std::make_index_sequence<256>());

}  // namespace

const std::array<uint8_t, 256> CZPDecoder::ones_table = kOnes;

CZPDecoder::CZPDecoder(CByteRange input) noexcept
    : next_(input.Data()), end_(input.Data() + input.Length()) {
    // The first two bytes go straight into the code value; missing ones count
    // as 0xFF but do not use up the padding allowance, which starts afterwards.
    const uint32_t high = next_ < end_ ? *next_++ : kPadByte;
    const uint32_t low = next_ < end_ ? *next_++ : kPadByte;
    value_ = (high << 8) | low;
    Refill();
    fastLimit_ = value_ < 0x8000 ? value_ : 0x7FFF;
}

}  // namespace vyrd
