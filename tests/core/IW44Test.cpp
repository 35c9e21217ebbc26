// The wavelet decoder on streams made here: chunk headers and serial
// numbers, slice bookkeeping, chroma delay, thresholds, the coefficient
// layout and the inverse transform. Pictures made by a real encoder are
// compared with DjVuLibre in IW44OracleTest.

#include "IW44Component.h"
#include "IW44Decoder.h"
#include "IW44Transform.h"
#include "PageScale.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <random>
#include <vector>

namespace {

using vyrd::CByteRange;
using vyrd::CIW44Component;
using vyrd::CIW44Decoder;
using vyrd::RasterFormat;
using vyrd::RefPtr;
using Bytes = std::vector<uint8_t>;

// The body of a first chunk: serial 0, the version word (bit 15 = gray),
// size, chroma delay, then the coded data.
Bytes FirstChunk(uint8_t slices, bool gray, uint16_t width, uint16_t height, uint8_t chromaDelay,
                 const Bytes& coded = {}) {
    Bytes body = {0,
                  slices,
                  uint8_t(gray ? 0x81 : 0x01),
                  0x02,
                  uint8_t(width >> 8),
                  uint8_t(width),
                  uint8_t(height >> 8),
                  uint8_t(height),
                  chromaDelay};
    for (uint8_t b : coded) {
        body.push_back(b);
    }
    return body;
}

Bytes LaterChunk(uint8_t serial, uint8_t slices, const Bytes& coded = {}) {
    Bytes body = {serial, slices};
    for (uint8_t b : coded) {
        body.push_back(b);
    }
    return body;
}

Bytes RandomBytes(std::size_t n, uint32_t seed) {
    std::mt19937 rng(seed);
    Bytes b(n);
    for (uint8_t& v : b) {
        v = uint8_t(rng());
    }
    return b;
}

CByteRange RangeOf(const Bytes& b) {
    return CByteRange(b.data(), uint32_t(b.size()));
}

bool AllBytesEqual(const uint8_t* p, std::size_t n, uint8_t value) {
    return std::all_of(p, p + n, [&](uint8_t b) { return b == value; });
}

// The image converted to colour at its own size, as the page shows it.
RefPtr<vyrd::CRasterImage> InColour(const vyrd::CRasterImage& image) {
    RefPtr<vyrd::CRasterImage> page = vyrd::CRasterImage::Create(
        RasterFormat::BGR24, image.Width(), image.Height(), image.Width(), false);
    vyrd::ScaleToPage(image, *page);
    return page;
}

TEST(IW44Layout, CoefficientIndexInterleavesRowAndColumnBits) {
    const auto& table = CIW44Component::IndexTable();
    const auto at = [&](int row, int column) { return table[std::size_t(row * 32 + column)]; };
    // Row bit i goes to index bit 9 - 2i, column bit i to bit 8 - 2i: the
    // coarsest positions come first.
    EXPECT_EQ(at(0, 0), 0);
    EXPECT_EQ(at(0, 16), 1);
    EXPECT_EQ(at(16, 0), 2);
    EXPECT_EQ(at(16, 16), 3);
    EXPECT_EQ(at(0, 8), 4);
    EXPECT_EQ(at(1, 0), 512);
    EXPECT_EQ(at(0, 1), 256);
    EXPECT_EQ(at(31, 31), 1023);
    // Every index appears exactly once.
    std::vector<int> seen(1024, 0);
    for (uint16_t k : table) {
        ASSERT_LT(k, 1024);
        ++seen[k];
    }
    EXPECT_TRUE(std::all_of(seen.begin(), seen.end(), [](int n) { return n == 1; }));
}

TEST(IW44Transform, FastPathEqualsGeneralPath) {
    std::mt19937 rng(7);
    const int sizes[] = {1,  2,  3,   5,   8,   9,   16,  17,  18,  31,  32,  33,
                         64, 65, 127, 128, 129, 130, 131, 135, 136, 137, 257, 300};
    int compared = 0;
    for (int width : sizes) {
        for (int height : {1, 9, 33, 129, 130, 137, 257}) {
            std::vector<int16_t> fast(std::size_t(width) * std::size_t(height));
            // Values across the whole 16-bit range: the sums must be taken in
            // 32 bits by both paths.
            for (int16_t& v : fast) {
                v = int16_t(rng());
            }
            std::vector<int16_t> general = fast;
            vyrd::InverseWavelet(fast.data(), width, height);
            vyrd::InverseWaveletGeneral(general.data(), width, height);
            ASSERT_EQ(fast, general) << width << " x " << height;
            ++compared;
        }
    }
    EXPECT_EQ(compared, 24 * 7);
}

TEST(IW44Transform, EqualCoarseSamplesGiveAFlatImage) {
    // Every 32nd sample in both directions holds the same value, the rest 0:
    // each lifting step then interpolates that value, whatever the size.
    for (const auto& [width, height] : {std::pair{32, 32}, {33, 65}, {100, 7}, {257, 129}}) {
        std::vector<int16_t> samples(std::size_t(width) * std::size_t(height), 0);
        for (int y = 0; y < height; y += 32) {
            for (int x = 0; x < width; x += 32) {
                samples[std::size_t(y) * std::size_t(width) + std::size_t(x)] = 1234;
            }
        }
        vyrd::InverseWavelet(samples.data(), width, height);
        EXPECT_TRUE(
            std::all_of(samples.begin(), samples.end(), [](int16_t v) { return v == 1234; }))
            << width << " x " << height;
    }
}

TEST(IW44Decoder, FirstChunkWithoutSlicesGivesMidGray) {
    for (bool gray : {true, false}) {
        CIW44Decoder decoder;
        const Bytes chunk = FirstChunk(0, gray, 37, 5, 0, RandomBytes(50, 1));
        ASSERT_TRUE(decoder.DecodeChunk(RangeOf(chunk)));
        EXPECT_EQ(decoder.SlicesDecoded(), 0);
        RefPtr<vyrd::CRasterImage> image = decoder.MakeRaster();
        ASSERT_TRUE(image);
        EXPECT_EQ(image->Format(), gray ? RasterFormat::GRAY_PLANE : RasterFormat::YCC_PLANES);
        EXPECT_EQ(image->Width(), 37);
        EXPECT_EQ(image->Height(), 5);
        EXPECT_EQ(image->ByteSize(), (gray ? 1u : 3u) * 37 * 5);
        EXPECT_TRUE(AllBytesEqual(image->Pixels(), image->ByteSize(), 0));
        // Samples of 0 show as 127 in a gray image, 128 in a colour one.
        RefPtr<vyrd::CRasterImage> colour = InColour(*image);
        EXPECT_TRUE(AllBytesEqual(colour->Pixels(), colour->ByteSize(), gray ? 127 : 128));
    }
}

TEST(IW44Decoder, ChunksMustComeInSerialOrder) {
    const Bytes coded = RandomBytes(200, 2);
    CIW44Decoder decoder;
    // No image starts without chunk 0.
    EXPECT_FALSE(decoder.DecodeChunk(RangeOf(LaterChunk(1, 3, coded))));
    EXPECT_FALSE(decoder.MakeRaster());

    CIW44Decoder reference;
    ASSERT_TRUE(decoder.DecodeChunk(RangeOf(FirstChunk(4, true, 40, 40, 0, coded))));
    ASSERT_TRUE(reference.DecodeChunk(RangeOf(FirstChunk(4, true, 40, 40, 0, coded))));
    // Serial 2 while chunk 1 is missing, and chunk 0 again: both refused,
    // and nothing changes.
    EXPECT_FALSE(decoder.DecodeChunk(RangeOf(LaterChunk(2, 5, coded))));
    EXPECT_FALSE(decoder.DecodeChunk(RangeOf(FirstChunk(4, true, 40, 40, 0, coded))));
    EXPECT_EQ(decoder.ChunksDecoded(), 1);
    EXPECT_EQ(decoder.SlicesDecoded(), 4);
    RefPtr<vyrd::CRasterImage> refused = decoder.MakeRaster();
    RefPtr<vyrd::CRasterImage> first = reference.MakeRaster();
    ASSERT_TRUE(refused && first);
    EXPECT_TRUE(
        std::equal(refused->Pixels(), refused->Pixels() + refused->ByteSize(), first->Pixels()));
}

TEST(IW44Decoder, LaterChunksContinueTheSlices) {
    CIW44Decoder decoder;
    ASSERT_TRUE(decoder.DecodeChunk(RangeOf(FirstChunk(3, false, 64, 48, 0, RandomBytes(99, 3)))));
    ASSERT_TRUE(decoder.DecodeChunk(RangeOf(LaterChunk(1, 7, RandomBytes(99, 4)))));
    ASSERT_TRUE(decoder.DecodeChunk(RangeOf(LaterChunk(2, 0))));
    EXPECT_EQ(decoder.ChunksDecoded(), 3);
    EXPECT_EQ(decoder.SlicesDecoded(), 10);
}

TEST(IW44Decoder, TruncatedDataStillDecodesTheAnnouncedSlices) {
    CIW44Decoder decoder;
    ASSERT_TRUE(decoder.DecodeChunk(RangeOf(FirstChunk(50, true, 70, 70, 0, {0x5A, 0x01, 0xC3}))));
    EXPECT_EQ(decoder.SlicesDecoded(), 50);
    EXPECT_TRUE(decoder.MakeRaster());
}

TEST(IW44Decoder, ChromaWaitsForItsDelay) {
    const Bytes coded = RandomBytes(4000, 5);
    const auto planes = [&](uint8_t chromaDelay) {
        CIW44Decoder decoder;
        EXPECT_TRUE(
            decoder.DecodeChunk(RangeOf(FirstChunk(8, false, 256, 256, chromaDelay, coded))));
        return decoder.MakeRaster();
    };
    const std::size_t plane = 256 * 256;
    // A delay of 10 with 8 slices: still a colour image, chroma all zero.
    RefPtr<vyrd::CRasterImage> late = planes(10);
    ASSERT_TRUE(late);
    EXPECT_EQ(late->Format(), RasterFormat::YCC_PLANES);
    EXPECT_FALSE(AllBytesEqual(late->Pixels(), plane, 0)) << "luminance decoded";
    EXPECT_TRUE(AllBytesEqual(late->Pixels() + plane, 2 * plane, 0));
    // Without a delay the same bits give chroma too. Bit 7 of the delay byte
    // is not part of the delay.
    for (uint8_t delay : {uint8_t{0}, uint8_t{0x80}}) {
        RefPtr<vyrd::CRasterImage> early = planes(delay);
        ASSERT_TRUE(early);
        EXPECT_FALSE(AllBytesEqual(early->Pixels() + plane, 2 * plane, 0)) << int(delay);
    }
}

// Bit 7 of the chroma-delay byte clear: the chroma is shown at half
// resolution, every 2 x 2 square one value; set: at full resolution.
TEST(IW44Decoder, ChromaAtHalfResolutionFillsSquares) {
    const Bytes coded = RandomBytes(6000, 9);
    const int width = 67;  // odd sizes: the last column and row stand alone
    const int height = 45;
    const auto chroma = [&](uint8_t delayByte) {
        CIW44Decoder decoder;
        EXPECT_TRUE(
            decoder.DecodeChunk(RangeOf(FirstChunk(30, false, width, height, delayByte, coded))));
        return decoder.MakeRaster();
    };
    const auto squaresAreFlat = [&](const vyrd::CRasterImage& image) {
        const std::size_t plane = std::size_t(width) * height;
        for (int p = 1; p <= 2; ++p) {
            const uint8_t* samples = image.Pixels() + p * plane;
            for (int y = 0; y < height; ++y) {
                for (int x = 0; x < width; ++x) {
                    if (samples[y * width + x] != samples[(y & ~1) * width + (x & ~1)]) {
                        return false;
                    }
                }
            }
        }
        return true;
    };
    RefPtr<vyrd::CRasterImage> half = chroma(0x00);
    RefPtr<vyrd::CRasterImage> full = chroma(0x80);
    ASSERT_TRUE(half && full);
    EXPECT_TRUE(squaresAreFlat(*half));
    EXPECT_FALSE(squaresAreFlat(*full));
    // Luminance is the same either way.
    EXPECT_TRUE(
        std::equal(half->Pixels(), half->Pixels() + std::size_t(width) * height, full->Pixels()));
    EXPECT_FALSE(AllBytesEqual(half->Pixels() + std::size_t(width) * height,
                               2 * std::size_t(width) * height, 0));
}

TEST(IW44Decoder, ImageWithoutAreaHasNoPixels) {
    for (const auto& [width, height] : {std::pair{0, 10}, {10, 0}, {0, 0}}) {
        CIW44Decoder decoder;
        ASSERT_TRUE(decoder.DecodeChunk(RangeOf(
            FirstChunk(20, true, uint16_t(width), uint16_t(height), 0, RandomBytes(30, 6)))));
        // No blocks: the first slice decodes nothing and ends the chunk.
        EXPECT_EQ(decoder.SlicesDecoded(), 1);
        RefPtr<vyrd::CRasterImage> image = decoder.MakeRaster();
        ASSERT_TRUE(image);
        EXPECT_EQ(image->Pixels(), nullptr);
    }
}

TEST(IW44Decoder, HeaderFieldsPastTheChunkReadAsZero) {
    CIW44Decoder decoder;
    const Bytes serialOnly = {0};
    ASSERT_TRUE(decoder.DecodeChunk(RangeOf(serialOnly)));
    EXPECT_EQ(decoder.Width(), 0);
    EXPECT_EQ(decoder.Height(), 0);
    EXPECT_TRUE(decoder.IsColour());                            // version word 0: bit 15 clear
    EXPECT_FALSE(decoder.DecodeChunk(CByteRange(nullptr, 0)));  // serial 0 again
}

TEST(IW44Decoder, ImagesOverThePixelLimitAreRefused) {
    CIW44Decoder small(100 * 100);
    EXPECT_FALSE(small.DecodeChunk(RangeOf(FirstChunk(1, true, 101, 100, 0))));
    EXPECT_EQ(small.ChunksDecoded(), 0);
    EXPECT_TRUE(small.DecodeChunk(RangeOf(FirstChunk(1, true, 100, 100, 0))));
    // The default limit refuses the largest size a header can state.
    CIW44Decoder decoder;
    EXPECT_FALSE(decoder.DecodeChunk(RangeOf(FirstChunk(1, false, 65535, 65535, 0))));
    EXPECT_FALSE(decoder.MakeRaster());
}

TEST(IW44Component, ThresholdsHalveBandByBand) {
    CIW44Component component(64, 64);
    const Bytes fill(64, 0xFF);
    vyrd::CZPDecoder zp(RangeOf(fill));
    for (int slice = 0; slice < 20; ++slice) {
        ASSERT_EQ(component.DecodeSlice(zp), 1);
    }
    // Two passes over the ten bands: the 21st slice is band 0 again, in which
    // coefficients 4-11 start with threshold 0x4000 and 12-15 stay inactive.
    EXPECT_EQ(component.Band(), 0);
    EXPECT_EQ(component.Threshold(0), 0x1000u);
    EXPECT_EQ(component.Threshold(3), 0x4000u);
    EXPECT_EQ(component.Threshold(4), 0x4000u);
    EXPECT_EQ(component.Threshold(5), 0x4000u);
    EXPECT_EQ(component.Threshold(6), 0x8000u);
    EXPECT_EQ(component.Threshold(7), 0x8000u);
    EXPECT_EQ(component.Threshold(15), 0x20000u);
    for (int slice = 0; slice < 10; ++slice) {
        component.DecodeSlice(zp);
    }
    EXPECT_EQ(component.Threshold(6), 0x4000u);  // active from the 31st slice
    CIW44Component empty(0, 5);
    EXPECT_FALSE(empty.HasBlocks());
    EXPECT_EQ(empty.DecodeSlice(zp), 0);
    EXPECT_EQ(empty.Band(), 0);
}

TEST(IW44Component, PartsOfBlocksPastTheEdgesAreCut) {
    // Width 33: two block columns, the second with one used column. The same
    // coded bits decode the same coefficients whatever the width, so the
    // 33-wide image decodes like a 64-wide one; only the output is cut.
    const Bytes coded = RandomBytes(3000, 8);
    CIW44Component narrow(33, 40);
    CIW44Component wide(64, 64);
    vyrd::CZPDecoder zpNarrow(RangeOf(coded));
    vyrd::CZPDecoder zpWide(RangeOf(coded));
    for (int slice = 0; slice < 12; ++slice) {
        narrow.DecodeSlice(zpNarrow);
        wide.DecodeSlice(zpWide);
    }
    int nonZero = 0;
    for (int block = 0; block < 4; ++block) {
        for (int k = 0; k < 1024; ++k) {
            ASSERT_EQ(narrow.Coefficient(block, k), wide.Coefficient(block, k));
            nonZero += narrow.Coefficient(block, k) != 0;
        }
    }
    EXPECT_GT(nonZero, 0);
    std::vector<int8_t> out(33 * 40 + 1, 0x55);
    vyrd::CIW44Samples work(33 * 40);
    narrow.Reconstruct(out.data(), work);
    EXPECT_EQ(out.back(), 0x55) << "nothing written past width x height";
    // The work space is left as it was given: zero, ready for the next
    // component. A second reconstruction gives the same samples.
    EXPECT_TRUE(
        std::all_of(work.Data(), work.Data() + work.Size(), [](int16_t v) { return v == 0; }));
    std::vector<int8_t> again(out.size(), 0x55);
    narrow.Reconstruct(again.data(), work);
    EXPECT_EQ(again, out);
}

}  // namespace
