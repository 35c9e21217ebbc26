// Page composition: enlargement of a wavelet image to the page, the three
// ways of painting the mask, and the choice among them by the layers a page
// has.

#include "BilevelPaint.h"
#include "ColourPaint.h"
#include "Container.h"
#include "PageScale.h"
#include "Render.h"
#include "YccColour.h"

#include "IffBuilder.h"
#include "JB2Writer.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>

namespace {

using namespace testiff;
using testjb2::Bitmap;
using testjb2::Place;
using testjb2::Writer;
using vyrd::CRasterImage;
using vyrd::RasterFormat;
using vyrd::RefPtr;

using Bgr = std::array<uint8_t, 3>;
constexpr Bgr kWhite = {255, 255, 255};
constexpr Bgr kBlack = {0, 0, 0};

Bgr PixelAt(const CRasterImage& page, int x, int y) {
    const uint8_t* p = page.Row(y) + 3 * x;
    return {p[0], p[1], p[2]};
}

RefPtr<CRasterImage> NewPage(int width, int height, uint8_t fill = 0) {
    RefPtr<CRasterImage> page =
        CRasterImage::Create(RasterFormat::BGR24, width, height, width, false);
    std::memset(page->Pixels(), fill, page->ByteSize());
    return page;
}

// A gray image whose sample at (x, y) is (x + 3y) mod 200 - 100.
RefPtr<CRasterImage> GrayRamp(int width, int height) {
    RefPtr<CRasterImage> image =
        CRasterImage::Create(RasterFormat::GRAY_PLANE, width, height, width, false);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image->Row(y)[x] = uint8_t(int8_t((x + 3 * y) % 200 - 100));
        }
    }
    return image;
}

uint8_t RampValue(int x, int y) {
    return uint8_t(127 - ((x + 3 * y) % 200 - 100));
}

TEST(YccColour, ConvertsByTheFormulas) {
    struct Case {
        int8_t y, cb, cr;
        Bgr expected;
    };
    // blue = y + 128 + 7cb/4, green = y + 128 - cb/4 - 3cr/4, red = y + 128
    // + 3cr/2, divisions truncated toward zero, results limited to 0-255.
    const Case cases[] = {
        {0, 0, 0, {128, 128, 128}},       {10, -7, 5, {126, 136, 145}},
        {-20, 9, -11, {123, 114, 92}},    {-3, -1, -1, {124, 125, 124}},
        {127, 127, 127, {255, 129, 255}}, {-128, -128, -128, {0, 128, 0}},
        {100, -128, 100, {4, 185, 255}},
    };
    for (const Case& c : cases) {
        Bgr single{};
        vyrd::YccToBgr(c.y, c.cb, c.cr, single.data());
        EXPECT_EQ(single, c.expected) << int(c.y) << " " << int(c.cb) << " " << int(c.cr);
    }
    // Rows of every length convert like single pixels and write nothing past
    // their end.
    for (int32_t count : {1, 2, 63, 64, 65, 200}) {
        const std::size_t n = std::size_t(count);
        std::vector<int8_t> y(n);
        std::vector<int8_t> cb(n);
        std::vector<int8_t> cr(n);
        for (int32_t i = 0; i < count; ++i) {
            y[std::size_t(i)] = int8_t(i * 37);
            cb[std::size_t(i)] = int8_t(i * 53 + 1);
            cr[std::size_t(i)] = int8_t(i * 91 + 2);
        }
        std::vector<uint8_t> row(3 * std::size_t(count) + 1, 0xA5);
        vyrd::YccRowToBgr(y.data(), cb.data(), cr.data(), count, row.data());
        for (int32_t i = 0; i < count; ++i) {
            Bgr single{};
            vyrd::YccToBgr(y[std::size_t(i)], cb[std::size_t(i)], cr[std::size_t(i)],
                           single.data());
            ASSERT_EQ(0, std::memcmp(single.data(), row.data() + 3 * i, 3)) << count << " " << i;
        }
        EXPECT_EQ(row.back(), 0xA5);
        vyrd::GrayRowToBgr(y.data(), count, row.data());
        EXPECT_EQ(row[0], 127) << "gray is 127 - y";
        EXPECT_EQ(row[3 * std::size_t(count) - 1], uint8_t(127 - y.back()));
        EXPECT_EQ(row.back(), 0xA5);
    }
}

TEST(ScaleToPage, ReplicatesByWholeFactorsAndLeavesTheRestWhite) {
    struct Case {
        int pageWidth, pageHeight, imageWidth, imageHeight;
        int fx, fy, usedColumns, usedRows;
    };
    const Case cases[] = {
        {2550, 3300, 850, 1100, 3, 3, 850, 1100},  // exact: no margin
        {2551, 30, 851, 10, 3, 3, 850, 10},        // rightmost column white
        {40, 30, 50, 45, 1, 1, 40, 30},            // larger image: cut
        {10, 10, 3, 4, 4, 3, 2, 3},                // both directions cut
        {7, 5, 7, 5, 1, 1, 7, 5},                  // same size
        {9, 9, 1, 1, 9, 9, 1, 1},                  // one pixel for the page
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.pageWidth) + "x" + std::to_string(c.pageHeight) + " from " +
                     std::to_string(c.imageWidth) + "x" + std::to_string(c.imageHeight));
        RefPtr<CRasterImage> image = GrayRamp(c.imageWidth, c.imageHeight);
        RefPtr<CRasterImage> page = NewPage(c.pageWidth, c.pageHeight, 0x11);
        vyrd::ScaleToPage(*image, *page);
        for (int y = 0; y < c.pageHeight; ++y) {
            for (int x = 0; x < c.pageWidth; ++x) {
                const bool covered = x < c.fx * c.usedColumns && y < c.fy * c.usedRows;
                const uint8_t v = RampValue(x / c.fx, y / c.fy);
                const Bgr expected = covered ? Bgr{v, v, v} : kWhite;
                if (PixelAt(*page, x, y) != expected) {
                    FAIL() << "pixel " << x << "," << y;
                }
            }
        }
    }
}

TEST(ScaleToPage, ColourImagesUseTheColourConversion) {
    RefPtr<CRasterImage> image = CRasterImage::Create(RasterFormat::YCC_PLANES, 2, 1, 2, false);
    const int8_t planes[] = {10, -20, -7, 9, 5, -11};  // Y, Cb, Cr planes
    std::memcpy(image->Pixels(), planes, sizeof(planes));
    // Factor 2 across, 3 up.
    RefPtr<CRasterImage> page = NewPage(4, 3);
    vyrd::ScaleToPage(*image, *page);
    const Bgr left = {126, 136, 145};
    const Bgr right = {123, 114, 92};
    for (int y = 0; y < 3; ++y) {
        EXPECT_EQ(PixelAt(*page, 0, y), left);
        EXPECT_EQ(PixelAt(*page, 1, y), left);
        EXPECT_EQ(PixelAt(*page, 2, y), right);
        EXPECT_EQ(PixelAt(*page, 3, y), right);
    }
    // An image without pixels leaves a white page.
    RefPtr<CRasterImage> empty = CRasterImage::Create(RasterFormat::GRAY_PLANE, 0, 0, 0, false);
    vyrd::ScaleToPage(*empty, *page);
    EXPECT_EQ(PixelAt(*page, 0, 0), kWhite);
}

// A mask with shapes placed partly off the page on each side.
struct ClippedMask {
    RefPtr<vyrd::CJB2Layer> layer = vyrd::MakeRef<vyrd::CJB2Layer>(60, 60);
    Bitmap shape = Bitmap::FromRows({"#.#", "###", "#.#", "##."});

    ClippedMask() {
        RefPtr<CRasterImage> raster = shape.ToRaster();
        // Left edge, bottom edge, right and top edges (the mask is larger
        // than the 20 x 12 page), and one shape wholly inside.
        for (const auto& [x, y] : {std::pair{-2, 3}, {5, -3}, {18, 10}, {8, 5}, {40, 40}}) {
            layer->AddBlit(raster, x, y);
        }
    }

    // Whether blit k covers page pixel (x, y) with ink.
    bool Ink(int k, int x, int y) const {
        const vyrd::JB2Blit& blit = layer->GetBlit(k);
        const int i = x - blit.x;
        const int j = y - blit.y;
        return i >= 0 && j >= 0 && i < shape.width && j < shape.height &&
               shape.pixels[std::size_t(j) * std::size_t(shape.width) + std::size_t(i)] != 0;
    }
};

TEST(ColourPaint, PaletteColoursPerBlitClippedOnAllSides) {
    ClippedMask mask;
    // Colours for blits 0-2; blit 3 names colour 7, which does not exist, and
    // blit 4 has no index: both are painted black.
    const Bgr colours[] = {{10, 20, 30}, {40, 50, 60}, {70, 80, 90}};
    testiff::Bytes body = {0, 0, 3};
    for (const Bgr& c : colours) {
        body.insert(body.end(), c.begin(), c.end());
    }
    RefPtr<vyrd::CFgPalette> palette =
        vyrd::CFgPalette::Parse(vyrd::CByteRange(body.data(), uint32_t(body.size())));
    ASSERT_EQ(palette->Colours().size(), 3u);
    ASSERT_EQ(palette->IndexCount(), 0u) << "no index count in this chunk";

    RefPtr<CRasterImage> page = NewPage(20, 12, 0x77);
    vyrd::PaintBlitsWithPalette(*page, *mask.layer, *palette);
    for (int y = 0; y < 12; ++y) {
        for (int x = 0; x < 20; ++x) {
            bool ink = false;
            for (int k = 0; k < mask.layer->BlitCount(); ++k) {
                ink |= mask.Ink(k, x, y);
            }
            const Bgr expected = ink ? kBlack : Bgr{0x77, 0x77, 0x77};
            EXPECT_EQ(PixelAt(*page, x, y), expected) << x << "," << y;
        }
    }
}

TEST(ColourPaint, ImageColoursFollowTheEnlargedForeground) {
    ClippedMask mask;
    // A 7 x 5 foreground for the 20 x 12 page: factors ceil(20/7) = 3 and
    // ceil(12/5) = 3.
    RefPtr<CRasterImage> foreground = GrayRamp(7, 5);
    RefPtr<CRasterImage> page = NewPage(20, 12, 0x77);
    vyrd::PaintBlitsWithImage(*page, *mask.layer, *foreground);
    int inkPixels = 0;
    for (int y = 0; y < 12; ++y) {
        for (int x = 0; x < 20; ++x) {
            bool ink = false;
            for (int k = 0; k < mask.layer->BlitCount(); ++k) {
                ink |= mask.Ink(k, x, y);
            }
            const uint8_t v = RampValue(x / 3, y / 3);
            const Bgr expected = ink ? Bgr{v, v, v} : Bgr{0x77, 0x77, 0x77};
            EXPECT_EQ(PixelAt(*page, x, y), expected) << x << "," << y;
            inkPixels += ink;
        }
    }
    EXPECT_GT(inkPixels, 10);
}

TEST(ColourPaint, BilevelPaintClipsLikeTheColourPaints) {
    ClippedMask mask;
    RefPtr<CRasterImage> page = CRasterImage::Create(RasterFormat::BILEVEL, 20, 12, 20, true);
    vyrd::PaintBlitsBilevel(*page, *mask.layer);
    for (int y = 0; y < 12; ++y) {
        for (int x = 0; x < 20; ++x) {
            bool ink = false;
            for (int k = 0; k < mask.layer->BlitCount(); ++k) {
                ink |= mask.Ink(k, x, y);
            }
            EXPECT_EQ(page->Row(y)[x], ink ? 1 : 0) << x << "," << y;
        }
    }
}

// Pages assembled from layers made here: a wavelet chunk without slices
// shows one flat colour (127 gray, 128 gray for a colour image), the mask
// one glyph.
struct Layers {
    static constexpr int kWidth = 30;
    static constexpr int kHeight = 20;

    static Bytes Wavelet(bool gray, uint16_t width, uint16_t height, uint8_t serial = 0) {
        if (serial != 0) {
            return {serial, 0};
        }
        return {0,
                0,
                uint8_t(gray ? 0x81 : 0x01),
                2,
                uint8_t(width >> 8),
                uint8_t(width),
                uint8_t(height >> 8),
                uint8_t(height),
                0};
    }
    static Bytes Mask() {
        Writer w;
        w.StartOfImage(kWidth, kHeight);
        w.NewSymbol(testjb2::kNewSymbolImageOnly, Bitmap::FromRows({"####", "#..#", "####"}),
                    Place::At(5, 4));
        w.End();
        return w.Finish();
    }
    // A palette of one colour and no index stream.
    static Bytes Palette() { return {0, 0, 1, 9, 99, 199}; }
};

struct Composed {
    RefPtr<CRasterImage> page;
    RefPtr<CRasterImage> mask;  // the page's mask alone, when it has one
};

Composed Compose(std::initializer_list<Bytes> layerChunks) {
    Bytes form = Text("DJVU");
    Append(form, Chunk("INFO", InfoBody(Layers::kWidth, Layers::kHeight)));
    for (const Bytes& chunk : layerChunks) {
        Append(form, chunk);
    }
    const Bytes file = Concat({Text("AT&T"), Chunk("FORM", form)});
    RefPtr<vyrd::CDjVuContainer> doc = vyrd::MakeRef<vyrd::CDjVuContainer>();
    EXPECT_EQ(doc->OpenDocumentFromMemory(file), 1);
    RefPtr<vyrd::CDjVuPage> page = doc->GetPageObject(0);
    return {vyrd::RenderPage(*page), vyrd::RenderMask(*page)};
}

// Every pixel of a BGR24 page: `ink` where the mask has ink, `paper`
// elsewhere.
void ExpectColours(const Composed& c, Bgr ink, Bgr paper) {
    ASSERT_TRUE(c.page && c.mask);
    ASSERT_EQ(c.page->Format(), RasterFormat::BGR24);
    int inkPixels = 0;
    for (int y = 0; y < Layers::kHeight; ++y) {
        for (int x = 0; x < Layers::kWidth; ++x) {
            const bool isInk = c.mask->Row(y)[x] != 0;
            inkPixels += isInk;
            ASSERT_EQ(PixelAt(*c.page, x, y), isInk ? ink : paper) << x << "," << y;
        }
    }
    EXPECT_EQ(inkPixels, 10);
}

TEST(RenderPage, LayersPresentChooseTheComposition) {
    const Bgr gray127 = {127, 127, 127};
    const Bgr gray128 = {128, 128, 128};
    const Bytes mask = Chunk("Sjbz", Layers::Mask());
    // Factors 3 and 2: the background covers the page.
    const Bytes grayBackground = Chunk("BG44", Layers::Wavelet(true, 10, 10));
    const Bytes colourForeground = Chunk("FG44", Layers::Wavelet(false, 3, 2));
    const Bytes palette = Chunk("FGbz", Layers::Palette());

    // Mask, background and FG44: the foreground image colours the ink,
    // whatever the palette says.
    ExpectColours(Compose({mask, grayBackground, colourForeground, palette}), gray128, gray127);
    // Mask, background and a palette without indices: the ink has no colour
    // of its own and is painted black.
    ExpectColours(Compose({mask, grayBackground, palette}), kBlack, gray127);
    // Mask and background, no colours at all: black ink over the background.
    ExpectColours(Compose({mask, grayBackground}), kBlack, gray127);
    // Mask and palette, no background: white paper, even with an FG44.
    ExpectColours(Compose({mask, palette, colourForeground}), kBlack, kWhite);
    // Background only, foreground only: the image enlarged to the page.
    Composed background = Compose({grayBackground});
    ASSERT_EQ(background.page->Format(), RasterFormat::BGR24);
    EXPECT_EQ(PixelAt(*background.page, 0, 0), gray127);
    EXPECT_EQ(PixelAt(*background.page, 29, 19), gray127);
    Composed foreground = Compose({colourForeground});
    ASSERT_EQ(foreground.page->Format(), RasterFormat::BGR24);
    EXPECT_EQ(PixelAt(*foreground.page, 29, 19), gray128);
}

TEST(RenderPage, PagesWithoutColourAreBilevel) {
    const Bytes mask = Chunk("Sjbz", Layers::Mask());
    for (const Composed& c :
         {Compose({mask}), Compose({mask, Chunk("FG44", Layers::Wavelet(false, 3, 2))}),
          // A background chunk the decoder refuses
          // counts as no background.
          Compose({mask, Chunk("BG44", Layers::Wavelet(true, 0, 0, 1))})}) {
        ASSERT_TRUE(c.page);
        ASSERT_EQ(c.page->Format(), RasterFormat::BILEVEL);
        EXPECT_EQ(0, std::memcmp(c.page->Pixels(), c.mask->Pixels(), c.page->ByteSize()));
    }
    Composed blank = Compose({});
    ASSERT_TRUE(blank.page);
    EXPECT_EQ(blank.page->Format(), RasterFormat::BILEVEL);
    EXPECT_FALSE(blank.mask);
}

}  // namespace
