#pragma once
// The adaptation table of the ZP coder: for each of the 256 context states, the
// share of the less probable symbol, the threshold for adapting after a more
// probable symbol, and the states that follow each kind of adaptation.

#include <array>
#include <cstdint>

namespace vyrd {

struct ZPStateTable {
    std::array<uint16_t, 256> lpsSize;
    std::array<uint16_t, 256> mpsLimit;
    std::array<uint8_t, 256> nextMps;
    std::array<uint8_t, 256> nextLps;
};

// 251 published states followed by 5 all-zero rows. Generated source (ZPTable.cpp).
extern const ZPStateTable kZPStates;

}  // namespace vyrd
