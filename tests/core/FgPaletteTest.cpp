// Foreground palettes: the FGbz chunk with its compressed index stream (made
// by DjVuLibre's bzz), damaged chunks, and palette colours on a page.

#include "Container.h"
#include "FgPalette.h"
#include "Render.h"

#include "IffBuilder.h"
#include "JB2Writer.h"
#include "Oracle.h"

#include <gtest/gtest.h>

namespace {

using namespace testiff;
using vyrd::CFgPalette;
using vyrd::RefPtr;

// An FGbz body: version, colours (blue, green, red each), the index count
// and the compressed indices.
Bytes PaletteChunk(const std::vector<std::array<uint8_t, 3>>& colours, uint32_t declaredCount,
                   const std::vector<uint16_t>& indices) {
    Bytes body = {0, uint8_t(colours.size() >> 8), uint8_t(colours.size())};
    for (const auto& c : colours) {
        body.insert(body.end(), c.begin(), c.end());
    }
    Append(body, U24(declaredCount));
    Bytes plain;
    for (uint16_t i : indices) {
        plain.push_back(uint8_t(i >> 8));
        plain.push_back(uint8_t(i));
    }
    Append(body, oracle::BzzEncode(plain));
    return body;
}

RefPtr<CFgPalette> Parse(const Bytes& body) {
    return CFgPalette::Parse(vyrd::CByteRange(body.data(), uint32_t(body.size())));
}

TEST(FgPalette, IndicesComeFromTheCompressedStream) {
    REQUIRE_TOOL("bzz");
    const RefPtr<CFgPalette> palette =
        Parse(PaletteChunk({{1, 2, 3}, {4, 5, 6}}, 5, {1, 0, 300, 1, 0}));
    EXPECT_EQ(palette->Colours().size(), 2u);
    ASSERT_EQ(palette->IndexCount(), 5u);
    const vyrd::PaletteColour* second = palette->ColourOfBlit(0);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->blue, 4);
    EXPECT_EQ(second->green, 5);
    EXPECT_EQ(second->red, 6);
    EXPECT_EQ(palette->ColourOfBlit(1)->blue, 1);
    EXPECT_EQ(palette->IndexOfBlit(2), 300);
    EXPECT_EQ(palette->ColourOfBlit(2), nullptr) << "index past the colours";
    EXPECT_EQ(palette->ColourOfBlit(5), nullptr) << "no index for blit 5";
}

TEST(FgPalette, DeclaredIndicesTheStreamLacksAreZero) {
    REQUIRE_TOOL("bzz");
    const RefPtr<CFgPalette> palette = Parse(PaletteChunk({{1, 2, 3}, {4, 5, 6}}, 4, {1, 1}));
    ASSERT_EQ(palette->IndexCount(), 4u);
    EXPECT_EQ(palette->ColourOfBlit(1)->blue, 4);
    EXPECT_EQ(palette->IndexOfBlit(3), 0);
    EXPECT_EQ(palette->ColourOfBlit(3)->blue, 1);
    EXPECT_EQ(palette->ColourOfBlit(4), nullptr);
}

TEST(FgPalette, DamagedChunksKeepWhatTheyHold) {
    // Three colours declared, two and a half present: two colours, and the
    // index count that would follow them is missing.
    const Bytes cut = {7, 0, 3, 1, 2, 3, 4, 5, 6, 7, 8};
    RefPtr<CFgPalette> palette = Parse(cut);
    EXPECT_EQ(palette->Version(), 7);
    EXPECT_EQ(palette->Colours().size(), 2u);
    EXPECT_EQ(palette->IndexCount(), 0u);
    EXPECT_EQ(palette->ColourOfBlit(0), nullptr);
    // A count with a stream that is not BZZ: indices are 0.
    const Bytes garbage = {0, 0, 1, 9, 8, 7, 0, 0, 2, 0xFF, 0x00, 0x13};
    palette = Parse(garbage);
    ASSERT_EQ(palette->IndexCount(), 2u);
    EXPECT_EQ(palette->IndexOfBlit(0), 0);
    for (const Bytes& tiny : {Bytes{}, Bytes{1}, Bytes{1, 0}, Bytes{1, 0xFF, 0xFF}}) {
        palette = Parse(tiny);
        EXPECT_TRUE(palette->Colours().empty());
        EXPECT_EQ(palette->IndexCount(), 0u);
    }
}

TEST(FgPalette, EachBlitTakesItsColourOnThePage) {
    REQUIRE_TOOL("bzz");
    using testjb2::Bitmap;
    using testjb2::Place;
    testjb2::Writer w;
    w.StartOfImage(24, 10);
    const Bitmap square = Bitmap::FromRows({"###", "###", "###"});
    w.NewSymbol(testjb2::kNewSymbolLibraryAndImage, square, Place::At(2, 3));
    w.MatchedCopy(0, Place::SameLine(2, 0));
    w.MatchedCopy(0, Place::SameLine(2, 0));
    w.End();
    // Blit 2's index names no colour: black.
    const Bytes page = File(
        {Form("DJVU", {Chunk("INFO", InfoBody(24, 10)), Chunk("Sjbz", w.Finish()),
                       Chunk("FGbz", PaletteChunk({{10, 20, 30}, {40, 50, 60}}, 3, {1, 0, 9}))})});
    RefPtr<vyrd::CDjVuContainer> doc = vyrd::MakeRef<vyrd::CDjVuContainer>();
    ASSERT_EQ(doc->OpenDocumentFromMemory(page), 1);
    RefPtr<vyrd::CDjVuPage> p = doc->GetPageObject(0);
    RefPtr<vyrd::CRasterImage> raster = vyrd::RenderPage(*p);
    RefPtr<vyrd::CJB2Layer> mask = p->DecodeMask();
    ASSERT_TRUE(raster && mask);
    ASSERT_EQ(raster->Format(), vyrd::RasterFormat::BGR24);
    ASSERT_EQ(mask->BlitCount(), 3);
    using Bgr = std::array<uint8_t, 3>;
    const auto pixelAt = [&](int x, int y) {
        const uint8_t* p = raster->Row(y) + 3 * x;
        return Bgr{p[0], p[1], p[2]};
    };
    const Bgr expected[] = {{40, 50, 60}, {10, 20, 30}, {0, 0, 0}};
    for (int k = 0; k < 3; ++k) {
        const vyrd::JB2Blit& blit = mask->GetBlit(k);
        EXPECT_EQ(pixelAt(blit.x + 1, blit.y + 1), expected[k]) << k;
    }
    const Bgr white = {255, 255, 255};
    EXPECT_EQ(pixelAt(0, 0), white);
}

}  // namespace
