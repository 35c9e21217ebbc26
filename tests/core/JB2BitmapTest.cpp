// The JB2 pixel loops. The decoder's loops work over padded buffers and update
// their contexts incrementally; here they must agree, pixel for pixel and
// context for context, with a plain decoder that computes every context from
// its definition. And what the test encoder writes, they must read back.

#include "JB2BitmapDecoder.h"

#include "JB2Writer.h"
#include "RangeOf.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

using testjb2::Bitmap;
using vyrd::CJB2BitmapDecoder;
using vyrd::CRasterImage;
using vyrd::CZPDecoder;
using vyrd::RasterFormat;
using vyrd::RefPtr;

Bitmap ReferenceDirect(CZPDecoder& zp, uint8_t (&contexts)[1024], int w, int h) {
    Bitmap b(w, h);
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x) {
            b.Set(x, y, zp.decode(contexts[testjb2::DirectContext(b, x, y)]) != 0);
        }
    }
    return b;
}

Bitmap ReferenceRefinement(CZPDecoder& zp, uint8_t (&contexts)[2048], int w, int h,
                           const Bitmap& ref) {
    Bitmap b(w, h);
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x) {
            b.Set(x, y, zp.decode(contexts[testjb2::RefinementContext(b, ref, x, y)]) != 0);
        }
    }
    return b;
}

RefPtr<CRasterImage> Blank(int w, int h) {
    // Filled with a value no pixel can take, so an unwritten pixel shows.
    RefPtr<CRasterImage> r = CRasterImage::Create(RasterFormat::BILEVEL, w, h, w, false);
    for (int y = 0; y < h; ++y) {
        std::fill_n(r->Row(y), w, uint8_t{0x55});
    }
    return r;
}

// Random coded bytes of three kinds: uniform, mostly 0xFF (long runs of the
// more probable symbol, so the fast path dominates) and mostly 0x00.
std::vector<uint8_t> RandomBytes(std::mt19937& rng, std::size_t n, int kind) {
    std::uniform_int_distribution<int> byte(0, 255);
    std::vector<uint8_t> bytes(n);
    for (uint8_t& b : bytes) {
        const int v = byte(rng);
        b = kind == 0   ? uint8_t(v)
            : kind == 1 ? uint8_t(v < 230 ? 0xFF : v)
                        : uint8_t(v < 230 ? 0 : v);
    }
    return bytes;
}

// After the bitmap, both coders must stand at the same place: the next bits
// they decode agree.
void ExpectSameCoderState(CZPDecoder a, CZPDecoder b, const std::string& what) {
    uint8_t ca = 0, cb = 0;
    for (int i = 0; i < 64; ++i) {
        ASSERT_EQ(a.decode(ca), b.decode(cb)) << what << ": bit " << i << " after the bitmap";
    }
}

const int kSides[] = {1, 2, 3, 4, 5, 7, 8, 13, 31, 64};

TEST(JB2Bitmap, DirectLoopsMatchThePlainDefinition) {
    std::mt19937 rng(42);
    CJB2BitmapDecoder decoder;  // one decoder for all: its buffers are reused
    for (int kind = 0; kind < 3; ++kind) {
        uint8_t fast[1024] = {};
        uint8_t plain[1024] = {};
        for (int w : kSides) {
            for (int h : {1, 2, 3, 5, 17, 40}) {
                const std::string what = "kind " + std::to_string(kind) + ", " + std::to_string(w) +
                                         "x" + std::to_string(h);
                const std::vector<uint8_t> bytes = RandomBytes(rng, std::size_t(w * h) + 64, kind);
                CZPDecoder zpFast(RangeOf(bytes));
                CZPDecoder zpPlain(RangeOf(bytes));
                RefPtr<CRasterImage> out = Blank(w, h);
                ASSERT_TRUE(decoder.DecodeDirect(zpFast, fast, *out)) << what;
                const Bitmap expected = ReferenceDirect(zpPlain, plain, w, h);
                ASSERT_EQ(Bitmap::FromRaster(*out), expected) << what;
                ASSERT_TRUE(std::equal(std::begin(fast), std::end(fast), std::begin(plain)))
                    << what;
                ExpectSameCoderState(zpFast, zpPlain, what);
            }
        }
    }
}

TEST(JB2Bitmap, RefinementLoopsMatchThePlainDefinition) {
    std::mt19937 rng(7);
    CJB2BitmapDecoder decoder;
    struct Sizes {
        int w, h;    // new bitmap
        int rw, rh;  // reference
    };
    std::vector<Sizes> sizes = {
        {1, 1, 1, 1},     {2, 2, 2, 2},     {3, 3, 3, 3},     {5, 3, 5, 3},    // equal, odd
        {1, 1, 0, 0},     {4, 4, 0, 0},                                        // empty reference
        {1, 5, 3, 2},     {2, 1, 1, 4},     {3, 7, 2, 2},     {6, 6, 9, 9},    // unequal
        {7, 4, 6, 5},     {8, 9, 7, 8},     {13, 2, 1, 1},    {2, 13, 11, 1},  // odd differences
        {31, 17, 30, 16}, {64, 40, 64, 41}, {40, 64, 41, 64},
    };
    // And every pairing of a few small sizes, both parities each way.
    for (int w : {1, 2, 3, 6}) {
        for (int rw : {1, 2, 5}) {
            sizes.push_back({w, 4, rw, 3});
            sizes.push_back({w, 3, rw, 6});
        }
    }
    for (int kind = 0; kind < 3; ++kind) {
        uint8_t fast[2048] = {};
        uint8_t plain[2048] = {};
        for (const Sizes& s : sizes) {
            const std::string what = "kind " + std::to_string(kind) + ", " + std::to_string(s.w) +
                                     "x" + std::to_string(s.h) + " from " + std::to_string(s.rw) +
                                     "x" + std::to_string(s.rh);
            const Bitmap ref = Bitmap::Random(rng, s.rw, s.rh, 40);
            const std::vector<uint8_t> bytes = RandomBytes(rng, std::size_t(s.w * s.h) + 64, kind);
            CZPDecoder zpFast(RangeOf(bytes));
            CZPDecoder zpPlain(RangeOf(bytes));
            RefPtr<CRasterImage> out = Blank(s.w, s.h);
            ASSERT_TRUE(decoder.DecodeRefinement(zpFast, fast, *out, *ref.ToRaster())) << what;
            const Bitmap expected = ReferenceRefinement(zpPlain, plain, s.w, s.h, ref);
            ASSERT_EQ(Bitmap::FromRaster(*out), expected) << what;
            ASSERT_TRUE(std::equal(std::begin(fast), std::end(fast), std::begin(plain))) << what;
            ExpectSameCoderState(zpFast, zpPlain, what);
        }
    }
}

// Written with the contexts of the definition, read by the optimised loops.
TEST(JB2Bitmap, EncodedBitmapsReadBack) {
    std::mt19937 rng(99);
    struct Case {
        int w, h, ink;
    };
    const Case cases[] = {{1, 1, 100},  {1, 9, 50},   {2, 5, 30},  {3, 3, 70},  {9, 1, 50},
                          {17, 11, 10}, {40, 30, 50}, {64, 3, 90}, {100, 80, 5}};
    testzp::ZPEncoder encoder;
    uint8_t directOut[1024] = {};
    uint8_t refineOut[2048] = {};
    std::vector<Bitmap> shapes;
    std::vector<Bitmap> refined;
    for (const Case& c : cases) {
        shapes.push_back(Bitmap::Random(rng, c.w, c.h, c.ink));
        testjb2::EncodeDirectPixels(encoder, directOut, shapes.back());
        // A refinement of it: a few pixels flipped, one column and row more.
        Bitmap r(c.w + 1, c.h + 1);
        for (int y = 0; y < c.h; ++y) {
            for (int x = 0; x < c.w; ++x) {
                r.Set(x, y, shapes.back().At(x, y) != ((x * 7 + y * 3) % 11 == 0));
            }
        }
        refined.push_back(r);
        testjb2::EncodeRefinementPixels(encoder, refineOut, r, shapes.back());
    }
    const std::vector<uint8_t> bytes = encoder.Finish();
    CZPDecoder zp(RangeOf(bytes));
    CJB2BitmapDecoder decoder;
    uint8_t directIn[1024] = {};
    uint8_t refineIn[2048] = {};
    for (std::size_t i = 0; i < shapes.size(); ++i) {
        RefPtr<CRasterImage> out = Blank(shapes[i].width, shapes[i].height);
        ASSERT_TRUE(decoder.DecodeDirect(zp, directIn, *out)) << i;
        EXPECT_EQ(Bitmap::FromRaster(*out), shapes[i]) << i;
        RefPtr<CRasterImage> again = Blank(refined[i].width, refined[i].height);
        ASSERT_TRUE(decoder.DecodeRefinement(zp, refineIn, *again, *shapes[i].ToRaster())) << i;
        EXPECT_EQ(Bitmap::FromRaster(*again), refined[i]) << i;
    }
}

// A bitmap far larger than its coded bytes can describe stops once the coder
// feeds nothing but filler, instead of decoding millions of filler pixels.
TEST(JB2Bitmap, RunningDryStops) {
    const std::vector<uint8_t> bytes = {0x12, 0x34};
    CJB2BitmapDecoder decoder;
    for (const bool refine : {false, true}) {
        CZPDecoder zp(RangeOf(bytes));
        uint8_t direct[1024] = {};
        uint8_t refinement[2048] = {};
        RefPtr<CRasterImage> out = Blank(3000, 3000);
        RefPtr<CRasterImage> ref =
            CRasterImage::Create(RasterFormat::BILEVEL, 3000, 3000, 3000, true);
        const bool complete = refine ? decoder.DecodeRefinement(zp, refinement, *out, *ref)
                                     : decoder.DecodeDirect(zp, direct, *out);
        EXPECT_FALSE(complete) << refine;
        EXPECT_TRUE(zp.PaddingExhausted()) << refine;
    }
}

}  // namespace
