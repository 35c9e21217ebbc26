// The test ZP encoder against the decoder: whatever it writes, the decoder
// must read back bit for bit, with the contexts adapting the same way. The
// JB2 tests build on this.

#include "ZPDecoder.h"

#include "RangeOf.h"
#include "ZPEncoder.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

using testzp::ZPEncoder;
using vyrd::CZPDecoder;

struct Symbol {
    int context;  // -1: fixed split
    int bit;
};

TEST(ZPEncoder, RandomBitsRoundTripThroughTheDecoder) {
    struct Case {
        const char* name;
        int contexts;
        int onePercent;  // how often a bit is 1
        int rawPercent;  // how often the fixed split is used
        int spread;      // bias added per context number, so states spread
        int count;
    };
    const Case cases[] = {
        {"one context, fair bits", 1, 50, 0, 0, 20000},
        {"one context, skewed", 1, 3, 0, 0, 20000},
        {"one context, ones", 1, 97, 0, 0, 20000},
        {"many contexts", 64, 20, 0, 7, 50000},
        {"contexts and fixed split", 16, 30, 25, 7, 30000},
        {"fixed split only", 1, 50, 100, 0, 10000},
        {"all zero", 4, 0, 0, 0, 30000},
        {"all one", 4, 100, 0, 0, 30000},
        {"a single bit", 1, 50, 0, 0, 1},
        {"nothing", 1, 50, 0, 0, 0},
    };
    std::mt19937 rng(1234);
    for (const Case& c : cases) {
        std::uniform_int_distribution<int> percent(0, 99);
        std::uniform_int_distribution<int> pick(0, c.contexts - 1);
        std::vector<Symbol> symbols;
        for (int i = 0; i < c.count; ++i) {
            const int context = percent(rng) < c.rawPercent ? -1 : pick(rng);
            const int bias = context < 0 ? c.onePercent : (c.onePercent + c.spread * context) % 101;
            symbols.push_back({context, percent(rng) < bias ? 1 : 0});
        }
        ZPEncoder encoder;
        std::vector<uint8_t> written(std::size_t(c.contexts), 0);
        for (const Symbol& s : symbols) {
            if (s.context < 0) {
                encoder.encode_raw(s.bit);
            } else {
                encoder.encode(s.bit, written[std::size_t(s.context)]);
            }
        }
        const std::vector<uint8_t> bytes = encoder.Finish();
        CZPDecoder decoder(RangeOf(bytes));
        std::vector<uint8_t> read(std::size_t(c.contexts), 0);
        int mismatches = 0;
        for (std::size_t i = 0; i < symbols.size() && mismatches < 5; ++i) {
            const Symbol& s = symbols[i];
            const int bit =
                s.context < 0 ? decoder.decode_raw() : decoder.decode(read[std::size_t(s.context)]);
            if (bit != s.bit) {
                ADD_FAILURE() << c.name << ": bit " << i << " reads " << bit;
                ++mismatches;
            }
        }
        EXPECT_EQ(read, written) << c.name;
        // Skewed bits cost less than a bit each: the coder really codes.
        if (c.spread == 0 && c.rawPercent == 0 && (c.onePercent <= 3 || c.onePercent >= 97)) {
            EXPECT_LT(bytes.size() * 8, symbols.size() / 3) << c.name;
        }
    }
}

}  // namespace
