#include "Container.h"
#include "Render.h"

#include "IffBuilder.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace testiff;
using vyrd::RasterFormat;
using vyrd::RefPtr;

RefPtr<vyrd::CRasterImage> RenderFirstPage(const Bytes& file) {
    RefPtr<vyrd::CDjVuContainer> doc = vyrd::MakeRef<vyrd::CDjVuContainer>();
    if (doc->OpenDocumentFromMemory(file) != 1) {
        ADD_FAILURE() << "fixture does not open";
        return nullptr;
    }
    RefPtr<vyrd::CDjVuPage> page = doc->GetPageObject(0);
    if (!page) {
        ADD_FAILURE() << "fixture has no page";
        return nullptr;
    }
    return vyrd::RenderPage(*page);
}

TEST(RenderPage, InfoOnlyPageIsBlankBilevel) {
    struct Case {
        uint16_t width;
        uint16_t height;
    };
    for (const Case c : {Case{1, 1}, Case{37, 5}, Case{640, 480}}) {
        RefPtr<vyrd::CRasterImage> r = RenderFirstPage(SinglePage(c.width, c.height));
        ASSERT_TRUE(r);
        EXPECT_EQ(r->Format(), RasterFormat::BILEVEL);
        EXPECT_EQ(r->Width(), c.width);
        EXPECT_EQ(r->Height(), c.height);
        EXPECT_EQ(r->Stride(), c.width);
        ASSERT_EQ(r->ByteSize(), uint32_t(c.width) * c.height);
        EXPECT_TRUE(std::all_of(r->Pixels(), r->Pixels() + r->ByteSize(),
                                [](uint8_t b) { return b == 0; }));
    }
}

TEST(RenderPage, NothingWithoutSizeOrInfo) {
    struct Case {
        const char* name;
        Bytes file;
    };
    const Case cases[] = {
        {"no INFO", File({Form("DJVU", {Chunk("Sjbz", {1, 2})})})},
        {"INFO not first",
         File({Form("DJVU", {Chunk("Sjbz", {1}), Chunk("INFO", InfoBody(4, 4))})})},
        {"width 0", SinglePage(0, 10)},
        {"height 0", SinglePage(10, 0)},
        {"INFO too short for a size", File({Form("DJVU", {Chunk("INFO", {0, 9, 0, 9})})})},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(RenderFirstPage(c.file)) << c.name;
    }
}

TEST(RenderPage, EachCallGivesANewRaster) {
    RefPtr<vyrd::CDjVuContainer> doc = vyrd::MakeRef<vyrd::CDjVuContainer>();
    const Bytes file = SinglePage(8, 8);
    ASSERT_EQ(doc->OpenDocumentFromMemory(file), 1);
    RefPtr<vyrd::CDjVuPage> page = doc->GetPageObject(0);
    RefPtr<vyrd::CRasterImage> a = vyrd::RenderPage(*page);
    RefPtr<vyrd::CRasterImage> b = vyrd::RenderPage(*page);
    ASSERT_TRUE(a && b);
    EXPECT_NE(a, b);
    EXPECT_NE(a->Pixels(), b->Pixels());
}

}  // namespace
