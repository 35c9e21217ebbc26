#include "Platform.h"
#include "Raster.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

namespace {

using vyrd::CRasterImage;
using vyrd::RasterFormat;
using vyrd::RefPtr;

TEST(Raster, BufferSizeFollowsTheFormat) {
    struct Case {
        RasterFormat format;
        int32_t width;
        int32_t height;
        int32_t stride;
        uint32_t bytes;
    };
    const Case cases[] = {
        {RasterFormat::BGR24, 5, 3, 5, 45},      {RasterFormat::YCC_PLANES, 5, 3, 5, 45},
        {RasterFormat::GRAY_PLANE, 5, 3, 5, 15}, {RasterFormat::BILEVEL, 5, 3, 5, 15},
        {RasterFormat::BILEVEL, 5, 3, 8, 24},    {RasterFormat::BGR24, 1, 1, 1, 3},
    };
    for (const Case& c : cases) {
        RefPtr<CRasterImage> r = CRasterImage::Create(c.format, c.width, c.height, c.stride, true);
        ASSERT_TRUE(r);
        EXPECT_EQ(r->ByteSize(), c.bytes);
        EXPECT_EQ(r->Format(), c.format);
        EXPECT_EQ(r->Width(), c.width);
        EXPECT_EQ(r->Height(), c.height);
        EXPECT_EQ(r->Stride(), c.stride);
        ASSERT_NE(r->Pixels(), nullptr);
        EXPECT_TRUE(std::all_of(r->Pixels(), r->Pixels() + r->ByteSize(),
                                [](uint8_t b) { return b == 0; }));
        // Rows are stride samples apart; the last row ends at the buffer's end
        // for interleaved formats.
        if (c.format == RasterFormat::BGR24 || c.format == RasterFormat::BILEVEL) {
            const uint32_t sample = c.format == RasterFormat::BGR24 ? 3 : 1;
            EXPECT_EQ(r->Row(1) - r->Row(0), std::ptrdiff_t(c.stride * sample));
            EXPECT_EQ(r->Row(c.height - 1) + c.stride * sample, r->Pixels() + r->ByteSize());
        }
    }
}

TEST(Raster, RefusesImpossibleShapesBeforeAllocating) {
    struct Case {
        const char* name;
        RasterFormat format;
        int32_t width;
        int32_t height;
        int32_t stride;
    };
    const Case cases[] = {
        {"negative width", RasterFormat::BILEVEL, -1, 1, 1},
        {"negative height", RasterFormat::BILEVEL, 1, -1, 1},
        {"stride below width", RasterFormat::BILEVEL, 4, 1, 3},
        {"above the byte limit", RasterFormat::BILEVEL, 65536, 16385, 65536},
        {"BGR24 above the limit", RasterFormat::BGR24, 32768, 10923, 32768},
        {"product beyond 32 bits", RasterFormat::BGR24, INT_MAX, INT_MAX, INT_MAX},
        {"unknown format", static_cast<RasterFormat>(7), 1, 1, 1},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(CRasterImage::Create(c.format, c.width, c.height, c.stride, false)) << c.name;
    }
    // Exactly at the limit is allowed by the size rule.
    EXPECT_EQ(CRasterImage::BufferBytes(RasterFormat::BILEVEL, 16384, 65536),
              uint64_t{CRasterImage::kMaxByteSize});
}

TEST(Raster, EmptyRasterHasNoBuffer) {
    RefPtr<CRasterImage> r = CRasterImage::Create(RasterFormat::BGR24, 0, 10, 0, true);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->Pixels(), nullptr);
    EXPECT_EQ(r->ByteSize(), 0u);
}

TEST(Raster, DetachHandsTheBufferOver) {
    RefPtr<CRasterImage> r = CRasterImage::Create(RasterFormat::BILEVEL, 4, 4, 4, true);
    ASSERT_TRUE(r);
    r->Row(2)[3] = 1;
    uint8_t* const pixels = r->Pixels();
    uint8_t* detached = r->DetachPixels();
    EXPECT_EQ(detached, pixels);
    EXPECT_EQ(r->Pixels(), nullptr);
    EXPECT_EQ(r->ByteSize(), 0u);
    EXPECT_EQ(r->Width(), 4);
    r.reset();  // must not free the detached buffer
    EXPECT_EQ(detached[2 * 4 + 3], 1);
    vyrd::FreePixelBuffer(detached);
}

}  // namespace
