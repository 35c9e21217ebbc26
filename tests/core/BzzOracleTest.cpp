// The BZZ decoder against DjVuLibre's bzz tool: streams it encodes (with
// several block sizes) decode to exactly the original bytes, and the
// compressed chunks of real documents decode like `bzz -d` decodes them.

#include "BzzDecoder.h"
#include "Container.h"
#include "Oracle.h"
#include "SharedData.h"

#include "RangeOf.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

namespace {

using oracle::Bytes;
using vyrd::CBzzDecoder;

// Everything the stream holds, read in pieces of `piece` bytes.
Bytes DecodeAll(const Bytes& stream, uint32_t piece = 4096) {
    CBzzDecoder bzz(RangeOf(stream));
    Bytes out;
    Bytes buffer(piece);
    uint32_t n;
    while ((n = bzz.read(buffer.data(), piece)) > 0) {
        out.insert(out.end(), buffer.begin(), buffer.begin() + n);
    }
    return out;
}

Bytes BzzDecodeWithTool(const Bytes& stream) {
    testfs::TempFile in(stream, ".bzz");
    testfs::TempFile out(Bytes{}, ".raw");
    const oracle::Run run =
        oracle::Capture("bzz -d " + oracle::Quote(in.Path()) + " " + oracle::Quote(out.Path()));
    EXPECT_EQ(run.status, 0);
    return oracle::ReadAll(out.Path());
}

Bytes RandomBytes(std::size_t n, unsigned seed) {
    std::mt19937 random(seed);
    Bytes bytes(n);
    for (uint8_t& b : bytes) {
        b = static_cast<uint8_t>(random());
    }
    return bytes;
}

// Text with the statistics of prose: words drawn from a small vocabulary.
Bytes WordSoup(std::size_t n, unsigned seed) {
    static const char* const kWords[] = {"the ",    "page ",    "chunk ", "of ",
                                         "DjVu ",   "decoder ", "zone\n", "a ",
                                         "bitmap ", "layer, ",  "and ",   "text. "};
    std::mt19937 random(seed);
    Bytes bytes;
    while (bytes.size() < n) {
        const std::string word = kWords[random() % std::size(kWords)];
        bytes.insert(bytes.end(), word.begin(), word.end());
    }
    bytes.resize(n);
    return bytes;
}

TEST(BzzOracle, RoundTripsEveryKindOfInput) {
    REQUIRE_TOOL("bzz");
    struct Case {
        std::string name;
        Bytes plain;
    };
    const std::string shortText = "Hello, hidden text layer.\n";
    Bytes repeated(100000, 'x');
    // A run whose sorted rotations are all equal but one: the end-of-block
    // marker decides the order.
    const std::vector<Case> cases = {
        {"nothing", {}},
        {"one byte", {'A'}},
        {"zero byte", {0}},
        {"short text", Bytes(shortText.begin(), shortText.end())},
        {"one symbol repeated", repeated},
        {"all byte values",
         [] {
             Bytes b;
             for (int round = 0; round < 40; ++round) {
                 for (int v = 0; v < 256; ++v) {
                     b.push_back(static_cast<uint8_t>(round % 2 ? 255 - v : v));
                 }
             }
             return b;
         }()},
        {"long text", WordSoup(300000, 7)},
        {"random bytes", RandomBytes(200000, 1)},
    };
    for (const std::string blockSize : {"", "900", "4096"}) {
        for (const Case& c : cases) {
            const Bytes stream = oracle::BzzEncode(c.plain, blockSize);
            // Nothing compresses to nothing.
            ASSERT_EQ(stream.empty(), c.plain.empty()) << c.name;
            EXPECT_TRUE(DecodeAll(stream) == c.plain) << c.name << " block " << blockSize;
            EXPECT_TRUE(BzzDecodeWithTool(stream) == c.plain) << c.name;
        }
    }
}

// More than 4 MiB of input always spans several blocks, whatever the block size.
TEST(BzzOracle, LargeInputSpansSeveralBlocks) {
    REQUIRE_TOOL("bzz");
    Bytes plain = WordSoup(3u << 20, 3);
    const Bytes noise = RandomBytes(2u << 20, 4);
    plain.insert(plain.end(), noise.begin(), noise.end());
    for (const std::string blockSize : {"", "4096"}) {
        const Bytes stream = oracle::BzzEncode(plain, blockSize);
        ASSERT_FALSE(stream.empty());
        // Odd piece sizes make reads straddle block boundaries.
        EXPECT_TRUE(DecodeAll(stream, 65537) == plain) << blockSize;
        EXPECT_TRUE(DecodeAll(stream, 3) == plain) << blockSize;
    }
}

TEST(BzzOracle, ShortReadsAndConvenienceReads) {
    REQUIRE_TOOL("bzz");
    const Bytes plain = {0x12, 0x34, 0x56, 0x78, 0x9A, 'a', 'b', 0, 'c', 'd'};
    const Bytes stream = oracle::BzzEncode(plain);
    {
        CBzzDecoder bzz(RangeOf(stream));
        EXPECT_EQ(bzz.ReadU16(), 0x1234u);
        EXPECT_EQ(bzz.ReadU24(), 0x56789Au);
        EXPECT_EQ(bzz.ReadString(), "ab");
        // The string at the end has no terminating zero: what is there counts.
        EXPECT_EQ(bzz.ReadString(), "cd");
        EXPECT_EQ(bzz.ReadByte(), 0);
        EXPECT_TRUE(bzz.Eof());
        EXPECT_EQ(bzz.Delivered(), plain.size());
    }
    {
        CBzzDecoder bzz(RangeOf(stream));
        uint8_t buffer[64];
        // Skipping, then a read that asks for more than there is.
        EXPECT_EQ(bzz.read(nullptr, 3), 3u);
        EXPECT_EQ(bzz.read(buffer, sizeof(buffer)), plain.size() - 3);
        EXPECT_TRUE(std::equal(plain.begin() + 3, plain.end(), buffer));
        EXPECT_TRUE(bzz.Eof());
        EXPECT_EQ(bzz.read(buffer, sizeof(buffer)), 0u);
    }
    {
        // A fixed-size read that comes up short gives 0 and ends the stream.
        CBzzDecoder bzz(RangeOf(stream));
        EXPECT_EQ(bzz.read(nullptr, 8), 8u);
        EXPECT_EQ(bzz.ReadU24(), 0u);
        EXPECT_TRUE(bzz.Eof());
        EXPECT_EQ(bzz.ReadByte(), 0);
    }
}

// A cut or damaged stream ends early and never delivers more than its blocks
// can hold. (What a damaged block decodes to is not defined: the padding after
// a cut can itself form a valid block.)
TEST(BzzOracle, TruncatedAndCorruptStreamsEndEarly) {
    REQUIRE_TOOL("bzz");
    const Bytes plain = WordSoup(400000, 11);
    const Bytes stream = oracle::BzzEncode(plain, "900");
    ASSERT_FALSE(stream.empty());
    for (std::size_t cut : {std::size_t{0}, std::size_t{1}, std::size_t{2}, std::size_t{5},
                            stream.size() / 3, stream.size() / 2, stream.size() - 1}) {
        const Bytes truncated(stream.begin(), stream.begin() + static_cast<long>(cut));
        EXPECT_LE(DecodeAll(truncated).size(), CBzzDecoder::kMaxBlockSize) << cut;
    }
    std::mt19937 random(5);
    for (int round = 0; round < 20; ++round) {
        Bytes damaged = stream;
        damaged[random() % damaged.size()] ^= static_cast<uint8_t>(1 + random() % 255);
        // One block of 900 KiB, then at most one more decoded from filler.
        EXPECT_LE(DecodeAll(damaged).size(), 2 * CBzzDecoder::kMaxBlockSize) << round;
    }
}

// Every compressed chunk of the real documents (directory, outline, text and
// annotations of every page and shared component) decodes exactly as
// DjVuLibre decodes it.
TEST(BzzOracle, CorpusChunksDecodeLikeTheTool) {
    REQUIRE_CORPUS();
    REQUIRE_TOOL("bzz");
    int checked = 0;
    auto check = [&](const vyrd::CIffChunk& chunk, const std::string& where) {
        vyrd::CByteRange data = chunk.Data();
        if (chunk.Id() == vyrd::kIdDIRM) {
            // The compressed part follows the flags, the count and, in a
            // bundle, four bytes of offset per component.
            const uint32_t count = (data[1] << 8) | data[2];
            data = data.From(3 + ((data[0] & 0x80) ? 4 * count : 0));
        }
        const Bytes bytes(data.Data(), data.Data() + data.Length());
        const Bytes expected = BzzDecodeWithTool(bytes);
        EXPECT_TRUE(DecodeAll(bytes) == expected) << where;
        ++checked;
    };
    const uint32_t compressed[] = {vyrd::kIdDIRM, vyrd::kIdNAVM, vyrd::ChunkId("TXTz"),
                                   vyrd::ChunkId("ANTz")};
    auto isCompressed = [&](uint32_t id) {
        return std::find(std::begin(compressed), std::end(compressed), id) != std::end(compressed);
    };
    for (const char* name :
         {"DjVu3Spec.djvu", "navm_fgbz.djvu", "links.djvu", "czech_1-3.djvu", "index08.djvu"}) {
        vyrd::RefPtr<vyrd::CDjVuContainer> doc = vyrd::MakeRef<vyrd::CDjVuContainer>();
        ASSERT_EQ(doc->OpenDocument((shareddata::CorpusDir() / name).u16string()), 1) << name;
        // The bundle's own chunks, then those of every component FORM in it.
        for (const vyrd::CIffChunk& chunk : doc->DocumentForm()->Children()) {
            const std::string where = std::string(name) + " " + vyrd::ChunkIdToString(chunk.Id());
            if (isCompressed(chunk.Id())) {
                check(chunk, where);
            } else if (vyrd::RefPtr<vyrd::CIffForm> form = vyrd::CIffForm::Parse(chunk)) {
                for (const vyrd::CIffChunk& child : form->Children()) {
                    if (isCompressed(child.Id())) {
                        check(child, where + " " + vyrd::ChunkIdToString(child.Id()));
                    }
                }
            }
        }
    }
    EXPECT_GE(checked, 80);
}

}  // namespace
