// A page's mask from its chunks: which Sjbz is decoded, how the page's own
// Djbz chunks number their shapes, and the mask painted at page size. The
// JB2 streams come from the test encoder.

#include "Container.h"
#include "Render.h"

#include "IffBuilder.h"
#include "JB2Writer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace testiff;
using testjb2::Bitmap;
using testjb2::Place;
using testjb2::Writer;
using namespace testjb2::shapes;
using vyrd::CDjVuContainer;
using vyrd::MakeRef;
using vyrd::RefPtr;

struct OpenedPage {
    explicit OpenedPage(Bytes b) : bytes(std::move(b)), doc(MakeRef<CDjVuContainer>()) {
        EXPECT_EQ(doc->OpenDocumentFromMemory(bytes), 1);
        page = doc->GetPageObject(0);
        EXPECT_TRUE(page);
    }
    Bytes bytes;
    RefPtr<CDjVuContainer> doc;
    RefPtr<vyrd::CDjVuPage> page;
};

// The shapes of a mask's blits, in blit order.
std::vector<Bitmap> BlitShapes(const RefPtr<vyrd::CJB2Layer>& mask) {
    std::vector<Bitmap> shapes;
    for (const vyrd::JB2Blit& b : mask->Blits()) {
        shapes.push_back(Bitmap::FromRaster(*b.shape));
    }
    return shapes;
}

// A mask that asks for the inherited shapes (as the page holds them) and
// copies each in number order, then defines `own` and copies it.
Bytes CopyingMask(const std::vector<Bitmap>& inherited, const Bitmap& own) {
    const int count = int(inherited.size());
    Writer w;
    w.RequireDictionary(inherited);
    w.StartOfImage(200, 40);
    for (int i = 0; i < count; ++i) {
        w.MatchedCopy(i, Place::At(1 + 10 * i, 10));
    }
    w.NewSymbol(testjb2::kNewSymbolLibraryOnly, own);
    w.MatchedCopy(count, Place::At(1 + 10 * count, 10));
    w.End();
    return w.Finish();
}

TEST(JB2Page, OwnDictionariesNumberBeforeTheMaskShapes) {
    struct Case {
        const char* name;
        std::vector<std::vector<Bitmap>> djbz;  // one list per Djbz chunk
        std::vector<Bitmap> shapes;             // the inherited shapes in order
    };
    const Case cases[] = {
        {"one Djbz", {{kA, kB}}, {kA, kB}},
        {"two Djbz in file order", {{kB}, {kC, kA}}, {kB, kC, kA}},
        {"no Djbz", {}, {}},
    };
    for (const Case& c : cases) {
        Bytes form = Concat({Text("DJVU"), Chunk("INFO", InfoBody(200, 40))});
        for (const std::vector<Bitmap>& shapes : c.djbz) {
            Append(form, Chunk("Djbz", testjb2::DictionaryStream(shapes)));
        }
        Append(form, Chunk("Sjbz", CopyingMask(c.shapes, kD)));
        OpenedPage p(Concat({Text("AT&T"), Chunk("FORM", form)}));
        const RefPtr<vyrd::CJB2Layer> mask = p.page->DecodeMask();
        ASSERT_TRUE(mask) << c.name;
        std::vector<Bitmap> expected = c.shapes;
        expected.push_back(kD);
        EXPECT_EQ(BlitShapes(mask), expected) << c.name;
        EXPECT_EQ(p.page->GetShapeDictionary()->TotalCount(), int(c.shapes.size())) << c.name;
    }
}

TEST(JB2Page, OnlyTheFirstSjbzIsDecoded) {
    Writer first;
    first.StartOfImage(30, 20);
    first.NewSymbol(testjb2::kNewSymbolLibraryAndImage, kA, Place::At(2, 3));
    first.End();
    Writer second;
    second.StartOfImage(30, 20);
    second.NewSymbol(testjb2::kNewSymbolLibraryAndImage, kB, Place::At(5, 5));
    second.End();
    OpenedPage p(File({Form("DJVU", {Chunk("INFO", InfoBody(30, 20)), Chunk("Sjbz", first.Finish()),
                                     Chunk("Sjbz", second.Finish())})}));
    const RefPtr<vyrd::CJB2Layer> mask = p.page->DecodeMask();
    ASSERT_TRUE(mask);
    ASSERT_EQ(mask->BlitCount(), 1);
    EXPECT_EQ(Bitmap::FromRaster(*mask->GetBlit(0).shape), kA);
    EXPECT_EQ(mask->GetBlit(0).x, 1);
    EXPECT_EQ(mask->GetBlit(0).y, 3);
}

TEST(JB2Page, NoSjbzNoMask) {
    OpenedPage p(File({Form("DJVU", {Chunk("INFO", InfoBody(30, 20)),
                                     Chunk("Djbz", testjb2::DictionaryStream({kA}))})}));
    EXPECT_FALSE(p.page->DecodeMask());
    EXPECT_FALSE(vyrd::RenderMask(*p.page));
    // The page itself still renders: blank paper.
    const RefPtr<vyrd::CRasterImage> r = vyrd::RenderPage(*p.page);
    ASSERT_TRUE(r);
    EXPECT_EQ(Bitmap::FromRaster(*r), Bitmap(30, 20));
}

// The mask's own size bounds its blits, not the page's: a mask larger than
// the page is cut at the page's edges, and ink past the left and bottom edges
// is not painted.
TEST(JB2Page, MaskIsPaintedAtPageSize) {
    const Bitmap glyph = Bitmap::FromRows({"#..#", "####", "#..#"});
    Writer w;
    w.StartOfImage(40, 30);
    w.NewSymbol(testjb2::kNewSymbolLibraryOnly, glyph);
    struct At {
        int left, bottom;
    };
    const At places[] = {{1, 0}, {-1, -1}, {9, 5}, {13, 8}, {20, 20}, {5, 9}};
    for (const At& at : places) {
        w.MatchedCopy(0, Place::At(at.left, at.bottom));
    }
    w.End();
    OpenedPage p(
        File({Form("DJVU", {Chunk("INFO", InfoBody(15, 10)), Chunk("Sjbz", w.Finish())})}));
    Bitmap expected(15, 10);
    for (const At& at : places) {
        for (int j = 0; j < glyph.height; ++j) {
            for (int i = 0; i < glyph.width; ++i) {
                const int x = at.left - 1 + i;
                const int y = at.bottom + j;
                if (glyph.At(i, j) && x >= 0 && y >= 0 && x < 15 && y < 10) {
                    expected.Set(x, y, true);
                }
            }
        }
    }
    for (const bool whole : {false, true}) {
        const RefPtr<vyrd::CRasterImage> r =
            whole ? vyrd::RenderPage(*p.page) : vyrd::RenderMask(*p.page);
        ASSERT_TRUE(r) << whole;
        EXPECT_EQ(r->Format(), vyrd::RasterFormat::BILEVEL);
        EXPECT_EQ(Bitmap::FromRaster(*r), expected) << whole;
    }
}

}  // namespace
