#include "IffChunk.h"

#include "IffBuilder.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using namespace testiff;
using vyrd::CByteRange;
using vyrd::CIffChunk;
using vyrd::CIffForm;
using vyrd::RefPtr;

CByteRange RangeOf(const Bytes& b) {
    return CByteRange(b.data(), uint32_t(b.size()));
}

TEST(IffChunk, IdentifiersAreBigEndianCharacters) {
    EXPECT_EQ(vyrd::kIdFORM, 0x464F524Du);
    EXPECT_EQ(vyrd::ChunkIdToString(vyrd::kIdINFO), "INFO");
    EXPECT_EQ(vyrd::ChunkIdToString(0x41000A42u), "A??B");
}

TEST(IffChunk, HeaderNeedsEightBytes) {
    const Bytes bytes = RawChunk("TEST", 0, {});
    for (uint32_t length = 0; length < 8; ++length) {
        EXPECT_FALSE(CIffChunk::Read(CByteRange(bytes.data(), length), 0).IsValid()) << length;
    }
    const CIffChunk empty = CIffChunk::Read(RangeOf(bytes), 0);
    ASSERT_TRUE(empty.IsValid());
    EXPECT_EQ(empty.Data().Length(), 0u);
    EXPECT_FALSE(CIffChunk::Read(RangeOf(bytes), 1).IsValid());
    EXPECT_FALSE(CIffChunk::Read(RangeOf(bytes), 0xFFFFFFFFu).IsValid());
}

TEST(IffChunk, DeclaredLengthIsClampedToTheEnclosingRange) {
    struct Case {
        uint32_t declared;
        uint32_t expected;
    };
    const Bytes body = {1, 2, 3, 4, 5, 6};
    for (const Case c : {Case{0, 0}, Case{5, 5}, Case{6, 6}, Case{7, 6}, Case{0x7FFFFFFFu, 6},
                         Case{0x80000000u, 6}, Case{0xFFFFFFFFu, 6}}) {
        const Bytes bytes = RawChunk("DATA", c.declared, body);
        const CIffChunk chunk = CIffChunk::Read(RangeOf(bytes), 0);
        ASSERT_TRUE(chunk.IsValid());
        EXPECT_EQ(chunk.Id(), vyrd::ChunkId("DATA"));
        EXPECT_EQ(chunk.Data().Length(), c.expected) << c.declared;
        EXPECT_EQ(chunk.Data().Data(), bytes.data() + 8);
    }
}

TEST(IffChunk, SequenceIsValidOnlyWhenEveryHeaderFits) {
    struct Case {
        const char* name;
        Bytes bytes;
        bool valid;
        size_t count;
    };
    const Case cases[] = {
        {"empty", {}, true, 0},
        {"one chunk", Chunk("AAAA", {1, 2}), true, 1},
        {"odd chunk with pad", Concat({Chunk("AAAA", {1}), Chunk("BBBB", {})}), true, 2},
        {"odd chunk last, pad missing", RawChunk("AAAA", 1, {1}), true, 1},
        {"trailing 7 bytes", Concat({Chunk("AAAA", {}), Bytes(7, 0)}), false, 0},
        {"trailing 8 bytes", Concat({Chunk("AAAA", {}), Bytes(8, 0)}), true, 2},
    };
    for (const Case& c : cases) {
        std::vector<CIffChunk> out(1);  // existing entries stay untouched
        EXPECT_EQ(vyrd::ReadChunkSequence(RangeOf(c.bytes), 0, out), c.valid) << c.name;
        EXPECT_EQ(out.size(), 1 + c.count) << c.name;
    }
}

TEST(IffForm, FindFirstAndCollectAllKeepFileOrder) {
    const Bytes form = Form("DJVU", {Chunk("INFO", InfoBody(1, 1)), Chunk("ANTa", {1}),
                                     Chunk("ANTz", {2}), Chunk("ANTa", {3, 3})});
    RefPtr<CIffForm> parsed = CIffForm::Parse(CIffChunk::Read(RangeOf(form), 0));
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->FormType(), vyrd::kIdDJVU);
    ASSERT_EQ(parsed->Children().size(), 4u);

    const CIffChunk first = parsed->FindFirst(vyrd::ChunkId("ANTa"));
    ASSERT_TRUE(first.IsValid());
    EXPECT_EQ(first.Data().Data()[0], 1);
    EXPECT_FALSE(parsed->FindFirst(vyrd::ChunkId("TXTz")).IsValid());

    std::vector<CIffChunk> list(2);
    EXPECT_EQ(parsed->CollectAll(vyrd::ChunkId("ANTa"), list), 4u);
    EXPECT_EQ(list[2].Data().Data()[0], 1);
    EXPECT_EQ(list[3].Data().Data()[0], 3);
    EXPECT_EQ(parsed->CollectAll(vyrd::ChunkId("TXTz"), list), 4u);
}

TEST(IffForm, OnlyFormChunksParse) {
    const Bytes notForm = Chunk("INFO", InfoBody(1, 1));
    EXPECT_FALSE(CIffForm::Parse(CIffChunk::Read(RangeOf(notForm), 0)));
    EXPECT_FALSE(CIffForm::Parse(CIffChunk()));
}

}  // namespace
