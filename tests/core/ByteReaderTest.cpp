#include "ByteRange.h"
#include "ByteReader.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>

namespace {

using vyrd::CByteRange;
using vyrd::CByteReader;

const uint8_t kBytes[] = {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE};

TEST(ByteRange, ValidityFollowsThePointer) {
    EXPECT_FALSE(CByteRange().IsValid());
    EXPECT_EQ(CByteRange(nullptr, 5).Length(), 0u);
    EXPECT_TRUE(CByteRange(kBytes, 0).IsValid());
}

TEST(ByteRange, SliceRefusesEverythingOutside) {
    const CByteRange range(kBytes, sizeof(kBytes));
    struct Case {
        uint32_t offset;
        uint32_t length;
        bool inside;
    };
    const Case cases[] = {
        {0, 7, true},
        {7, 0, true},
        {3, 4, true},
        {3, 5, false},
        {8, 0, false},
        {1, 0xFFFFFFFFu, false},
        {0xFFFFFFFFu, 2, false},
        {0xFFFFFFF9u, 8, false},
        {6, 1, true},
    };
    for (const Case& c : cases) {
        const CByteRange slice = range.Slice(c.offset, c.length);
        EXPECT_EQ(slice.IsValid(), c.inside) << c.offset << "+" << c.length;
        if (c.inside) {
            EXPECT_EQ(slice.Data(), kBytes + c.offset);
            EXPECT_EQ(slice.Length(), c.length);
        }
    }
    EXPECT_FALSE(CByteRange().Slice(0, 0).IsValid());
    EXPECT_EQ(range.From(5).Length(), 2u);
    EXPECT_FALSE(range.From(8).IsValid());
}

TEST(ByteReader, ReadsBigEndianInOrder) {
    CByteReader reader(CByteRange(kBytes, sizeof(kBytes)));
    EXPECT_EQ(reader.ReadByte(), 0x12);
    EXPECT_EQ(reader.ReadU16(), 0x3456);
    EXPECT_EQ(reader.ReadU24(), 0x789ABCu);
    EXPECT_EQ(reader.Position(), 6u);
    EXPECT_FALSE(reader.EndOfData());
    EXPECT_EQ(reader.ReadByte(), 0xDE);
    EXPECT_FALSE(reader.EndOfData()) << "reading the last byte is not running past the end";
    EXPECT_EQ(reader.Remaining(), 0u);

    CByteReader four(CByteRange(kBytes, 4));
    EXPECT_EQ(four.ReadU32(), 0x12345678u);
    EXPECT_FALSE(four.EndOfData());
}

// Each read needs its full width: with one byte too few it returns 0, raises
// the flag and leaves nothing to read.
TEST(ByteReader, ShortReadReturnsZeroAndSetsTheFlag) {
    struct Case {
        const char* name;
        uint32_t available;
        uint32_t (*read)(CByteReader&);
    };
    const Case cases[] = {
        {"ReadByte", 0, [](CByteReader& r) -> uint32_t { return r.ReadByte(); }},
        {"ReadU16", 1, [](CByteReader& r) -> uint32_t { return r.ReadU16(); }},
        {"ReadU24", 2, [](CByteReader& r) -> uint32_t { return r.ReadU24(); }},
        {"ReadU32", 3, [](CByteReader& r) -> uint32_t { return r.ReadU32(); }},
    };
    for (const Case& c : cases) {
        // Start one byte in, so that a non-zero value would show an over-read.
        CByteReader reader(CByteRange(kBytes, 1 + c.available));
        reader.ReadByte();
        EXPECT_EQ(c.read(reader), 0u) << c.name;
        EXPECT_TRUE(reader.EndOfData()) << c.name;
        EXPECT_EQ(reader.Remaining(), 0u) << c.name;
        // The flag stays raised, and later reads still give 0.
        EXPECT_EQ(reader.ReadByte(), 0u) << c.name;
        EXPECT_TRUE(reader.EndOfData()) << c.name;
    }
}

TEST(ByteReader, ReadBytesCopiesWhatRemains) {
    CByteReader reader(CByteRange(kBytes, sizeof(kBytes)));
    std::array<uint8_t, 4> buffer{};
    EXPECT_EQ(reader.ReadBytes(buffer.data(), 4), 4u);
    EXPECT_FALSE(reader.EndOfData());
    EXPECT_EQ(buffer, (std::array<uint8_t, 4>{0x12, 0x34, 0x56, 0x78}));

    buffer.fill(0xEE);
    EXPECT_EQ(reader.ReadBytes(buffer.data(), 4), 3u);
    EXPECT_TRUE(reader.EndOfData());
    EXPECT_EQ(buffer, (std::array<uint8_t, 4>{0x9A, 0xBC, 0xDE, 0xEE}));
    EXPECT_EQ(reader.ReadBytes(buffer.data(), 1), 0u);
}

TEST(ByteReader, ReadBytesOfExactlyTheRestIsNotShort) {
    CByteReader reader(CByteRange(kBytes, 3));
    uint8_t buffer[3] = {};
    EXPECT_EQ(reader.ReadBytes(buffer, 3), 3u);
    EXPECT_FALSE(reader.EndOfData());
    EXPECT_EQ(reader.ReadBytes(buffer, 0), 0u);
    EXPECT_FALSE(reader.EndOfData());
}

TEST(ByteReader, SkipAndRest) {
    CByteReader reader(CByteRange(kBytes, sizeof(kBytes)));
    reader.Skip(5);
    EXPECT_EQ(reader.Rest().Data(), kBytes + 5);
    EXPECT_EQ(reader.Rest().Length(), 2u);
    reader.Skip(3);
    EXPECT_TRUE(reader.EndOfData());
    EXPECT_EQ(reader.Rest().Length(), 0u);
}

TEST(ByteReader, InvalidRangeReadsNothing) {
    CByteReader reader{CByteRange()};
    EXPECT_EQ(reader.ReadU32(), 0u);
    EXPECT_TRUE(reader.EndOfData());
}

}  // namespace
