// The ZP decoder: its table against the published one, and the behaviour the
// format fixes for fresh contexts, padding and the fixed-split decodes. Whole
// streams are checked through the BZZ tests against DjVuLibre's encoder.

#include "SharedData.h"
#include "ZPDecoder.h"

#include "RangeOf.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

using vyrd::CZPDecoder;
using vyrd::kZPStates;

TEST(ZPTable, TellingRows) {
    struct Row {
        int state;
        uint16_t lps, mps;
        uint8_t nextMps, nextLps;
    };
    const Row rows[] = {
        {0, 0x8000, 0x0000, 84, 145},
        {1, 0x8000, 0x0000, 3, 4},
        {2, 0x8000, 0x0000, 4, 3},
        {3, 0x6BBD, 0x10A5, 5, 1},
        {4, 0x6BBD, 0x10A5, 6, 2},
        {5, 0x5D45, 0x1F28, 7, 3},
        {84, 0x24EE, 0x0000, 86, 226},
        {145, 0x24EE, 0x0000, 147, 247},
        {250, 0x481A, 0x0000, 230, 246},
        {251, 0, 0, 0, 0},
        {255, 0, 0, 0, 0},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(kZPStates.lpsSize[r.state], r.lps) << r.state;
        EXPECT_EQ(kZPStates.mpsLimit[r.state], r.mps) << r.state;
        EXPECT_EQ(kZPStates.nextMps[r.state], r.nextMps) << r.state;
        EXPECT_EQ(kZPStates.nextLps[r.state], r.nextLps) << r.state;
    }
}

TEST(ZPTable, EqualsThePublishedTable) {
    const auto path = shareddata::SharedFile("data/zp-table.tsv");
    if (path.empty()) {
        GTEST_SKIP() << "shared ZP table not present";
    }
    std::ifstream in(path);
    int rows = 0;
    bool header = true;
    for (std::string line; std::getline(in, line);) {
        if (line.empty() || line[0] == '#') {
            continue;
        }
        if (header) {
            header = false;
            continue;
        }
        std::istringstream fields(line);
        int state = -1;
        std::string lps, mps;
        int nextMps = -1, nextLps = -1;
        fields >> state >> lps >> mps >> nextMps >> nextLps;
        ASSERT_EQ(state, rows) << line;
        EXPECT_EQ(kZPStates.lpsSize[state], std::stoul(lps, nullptr, 16)) << line;
        EXPECT_EQ(kZPStates.mpsLimit[state], std::stoul(mps, nullptr, 16)) << line;
        EXPECT_EQ(kZPStates.nextMps[state], nextMps) << line;
        EXPECT_EQ(kZPStates.nextLps[state], nextLps) << line;
        ++rows;
    }
    EXPECT_EQ(rows, 256);
}

TEST(ZPTable, LeadingOnes) {
    const std::pair<int, int> cases[] = {{0x00, 0}, {0x7F, 0}, {0x80, 1}, {0xBF, 1},
                                         {0xC0, 2}, {0xE5, 3}, {0xF0, 4}, {0xFB, 5},
                                         {0xFC, 6}, {0xFE, 7}, {0xFF, 8}};
    for (const auto& [value, ones] : cases) {
        EXPECT_EQ(CZPDecoder::ones_table[value], ones) << value;
    }
}

// A fresh context is state 0, whose interval share (0x8000) never fits the
// fast path: the first decode adapts it either way.
TEST(ZPDecoder, FreshContextAdaptsOnTheFirstDecode) {
    struct Case {
        uint8_t fill;
        uint8_t state;
        int bit;
        uint8_t after;
    };
    const Case cases[] = {
        {0xFF, 0, 0, 84},   // more probable symbol from state 0
        {0x00, 0, 1, 145},  // less probable symbol from state 0
        {0x00, 1, 0, 4},    // less probable symbol from state 1 (more probable is 1)
        {0x00, 2, 1, 3},
    };
    for (const Case& c : cases) {
        const std::vector<uint8_t> bytes(64, c.fill);
        CZPDecoder zp(RangeOf(bytes));
        uint8_t ctx = c.state;
        EXPECT_EQ(zp.decode(ctx), c.bit) << int(c.fill) << " " << int(c.state);
        EXPECT_EQ(ctx, c.after) << int(c.fill) << " " << int(c.state);
    }
}

// Only 0xFF bytes: every decision is the more probable symbol, and the context
// walks the adaptation chain, one next_mps step at a time.
TEST(ZPDecoder, RepeatedMoreProbableSymbolsWalkTheChain) {
    const std::vector<uint8_t> bytes(4096, 0xFF);
    CZPDecoder zp(RangeOf(bytes));
    uint8_t ctx = 0;
    std::set<int> visited{0};
    for (int i = 0; i < 2000; ++i) {
        const uint8_t before = ctx;
        ASSERT_EQ(zp.decode(ctx), 0) << i;
        if (ctx != before) {
            ASSERT_EQ(ctx, kZPStates.nextMps[before]) << i;
            visited.insert(ctx);
        }
    }
    // The chain from state 0 goes through 84 and onwards.
    EXPECT_TRUE(visited.count(84));
    EXPECT_GT(visited.size(), 5u);
}

TEST(ZPDecoder, EmptySourceDecodesLikeOnlyFFBytes) {
    const std::vector<uint8_t> none;
    const std::vector<uint8_t> ones(1 << 16, 0xFF);
    CZPDecoder empty(RangeOf(none));
    CZPDecoder full(RangeOf(ones));
    // A mixed pattern of contexts and fixed-split decodes.
    uint8_t ctxEmpty[8] = {0, 1, 2, 3, 84, 145, 200, 250};
    uint8_t ctxFull[8] = {0, 1, 2, 3, 84, 145, 200, 250};
    for (int i = 0; i < 5000; ++i) {
        int a, b;
        switch (i % 3) {
            case 0:
                a = empty.decode(ctxEmpty[i % 8]);
                b = full.decode(ctxFull[i % 8]);
                break;
            case 1:
                a = empty.decode_raw();
                b = full.decode_raw();
                break;
            default:
                a = empty.decode_iw();
                b = full.decode_iw();
                break;
        }
        ASSERT_EQ(a, b) << i;
    }
    EXPECT_EQ(std::vector<uint8_t>(ctxEmpty, ctxEmpty + 8),
              std::vector<uint8_t>(ctxFull, ctxFull + 8));
}

TEST(ZPDecoder, FixedSplitOnFFBytesIsAlwaysZero) {
    const std::vector<uint8_t> none;
    const std::vector<uint8_t> ones(256, 0xFF);
    for (const auto* bytes : {&none, &ones}) {
        CZPDecoder raw(RangeOf(*bytes));
        CZPDecoder iw(RangeOf(*bytes));
        for (int i = 0; i < 1000; ++i) {
            ASSERT_EQ(raw.decode_raw(), 0) << i;
            ASSERT_EQ(iw.decode_iw(), 0) << i;
        }
    }
}

TEST(ZPDecoder, FixedSplitReadsBitsOfPlainBytes) {
    // With the interval at its start (range 0) the split is 0x8000: a code value
    // below it is a 1. Zero bytes give 1 bits until the interval moves.
    const std::vector<uint8_t> zeros(16, 0);
    CZPDecoder zp(RangeOf(zeros));
    EXPECT_EQ(zp.decode_raw(), 1);
}

TEST(ZPDecoder, PaddingRunsOutOnlyAfterTheData) {
    const std::vector<uint8_t> bytes(1000, 0x5A);
    CZPDecoder zp(RangeOf(bytes));
    uint8_t ctx = 0;
    EXPECT_FALSE(zp.PaddingExhausted());
    int decodes = 0;
    while (!zp.PaddingExhausted() && decodes < 1000000) {
        zp.decode_raw();
        zp.decode(ctx);
        ++decodes;
    }
    EXPECT_TRUE(zp.PaddingExhausted());
    // 1000 bytes hold 8000 bits, and no pair of decodes takes more than 32.
    EXPECT_GE(decodes, 250);
    // Decoding goes on, deterministically, without reading anything more.
    for (int i = 0; i < 1000; ++i) {
        zp.decode(ctx);
        zp.decode_iw();
    }
}

}  // namespace
