// The BZZ decoder on streams whose shape the format fixes: empty, refused and
// malformed blocks. Streams from DjVuLibre's encoder are in BzzOracleTest.

#include "BzzDecoder.h"

#include "RangeOf.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace {

using vyrd::CBzzDecoder;
using vyrd::CZPDecoder;

// The block size a stream starts with: 24 fixed-split bits.
uint32_t FirstBlockSize(const std::vector<uint8_t>& bytes) {
    CZPDecoder zp(RangeOf(bytes));
    uint32_t size = 0;
    for (int i = 0; i < 24; ++i) {
        size = (size << 1) | static_cast<uint32_t>(zp.decode_raw());
    }
    return size;
}

// A stream that starts with the given 24-bit block size. While the coder's
// interval is at its start, each fixed-split decode reads the complement of
// the next coded bit, so the first three bytes are the size's complement.
std::vector<uint8_t> StreamStartingWith(uint32_t size) {
    std::vector<uint8_t> bytes = {uint8_t(~size >> 16), uint8_t(~size >> 8), uint8_t(~size)};
    bytes.resize(64, 0x5A);
    EXPECT_EQ(FirstBlockSize(bytes), size);
    return bytes;
}

TEST(BzzDecoder, EmptyChunkIsAnEmptyStream) {
    const std::vector<uint8_t> none;
    CBzzDecoder bzz(RangeOf(none));
    uint8_t buffer[16];
    EXPECT_EQ(bzz.read(buffer, sizeof(buffer)), 0u);
    EXPECT_TRUE(bzz.Eof());
    EXPECT_EQ(bzz.Delivered(), 0u);
}

TEST(BzzDecoder, RefusedFirstBlocksDeliverNothing) {
    struct Case {
        const char* name;
        uint32_t size;
    };
    const Case cases[] = {
        {"end of stream", 0},
        // One coded byte leaves no room for the end-of-block marker at 1 or later.
        {"coded size 1", 1},
        {"just over 4 MiB", CBzzDecoder::kMaxBlockSize + 1},
        {"largest size", 0xFFFFFF},
    };
    for (const Case& c : cases) {
        const std::vector<uint8_t> bytes = StreamStartingWith(c.size);
        CBzzDecoder bzz(RangeOf(bytes));
        EXPECT_EQ(bzz.read(nullptr, 1u << 30), 0u) << c.name;
        EXPECT_TRUE(bzz.Eof()) << c.name;
        // A fixed-size read on the ended stream gives 0.
        EXPECT_EQ(bzz.ReadU24(), 0u) << c.name;
    }
}

TEST(BzzDecoder, GarbageNeverReadsOutsideItsInput) {
    // Whatever random bytes decode to, reads stay within the stream (the
    // sanitizer builds watch the buffers) and a stream always ends.
    std::mt19937 random(99);
    for (int round = 0; round < 300; ++round) {
        std::vector<uint8_t> bytes(1 + random() % 200);
        for (uint8_t& b : bytes) {
            b = static_cast<uint8_t>(random());
        }
        CBzzDecoder bzz(RangeOf(bytes));
        std::vector<uint8_t> out(4096);
        uint64_t total = 0;
        uint32_t n;
        while ((n = bzz.read(out.data(), static_cast<uint32_t>(out.size()))) > 0) {
            total += n;
            ASSERT_LT(total, uint64_t{64} << 20) << round;
        }
        EXPECT_TRUE(bzz.Eof());
        EXPECT_EQ(bzz.Delivered(), total);
    }
}

}  // namespace
