// Shape dictionaries shared through included files (DJVI components named by
// INCL chunks), in hand-made bundles: which included file a page inherits
// from, files that cannot be found, and how long a decoded dictionary is kept.

#include "Container.h"
#include "Render.h"

#include "BundleBuilder.h"
#include "IffBuilder.h"
#include "JB2Writer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace testiff;
using testbundle::Bundle;
using testbundle::Component;
using testbundle::OpenedBundle;
using testjb2::Bitmap;
using testjb2::Place;
using testjb2::Writer;
using namespace testjb2::shapes;
using vyrd::RefPtr;

const Bitmap kOwn = Bitmap::FromRows({"#.#.#", ".#.#."});

Component Dictionary(const std::string& id, const std::vector<Bitmap>& shapes) {
    return {0, id, "", "", Form("DJVI", {Chunk("Djbz", testjb2::DictionaryStream(shapes))})};
}

// A page whose mask asks for the inherited shapes (`inherited`, as the page
// should hold them), copies each in number order, then defines kOwn and
// copies it.
Component Page(const std::string& id, const std::vector<std::string>& includes,
               const std::vector<Bitmap>& inherited, const Bytes& extraChunks = {}) {
    Writer w;
    w.RequireDictionary(inherited);
    w.StartOfImage(200, 40);
    const int count = int(inherited.size());
    for (int i = 0; i < count; ++i) {
        w.MatchedCopy(i, Place::At(1 + 10 * i, 10));
    }
    w.NewSymbol(testjb2::kNewSymbolLibraryOnly, kOwn);
    w.MatchedCopy(count, Place::At(1 + 10 * count, 10));
    w.End();
    Bytes form = Concat({Text("DJVU"), Chunk("INFO", InfoBody(200, 40))});
    for (const std::string& include : includes) {
        Append(form, Chunk("INCL", Text(include)));
    }
    Append(form, extraChunks);
    Append(form, Chunk("Sjbz", w.Finish()));
    return {1, id, "", "", Chunk("FORM", form)};
}

std::vector<Bitmap> BlitShapes(vyrd::CDjVuPage& page) {
    std::vector<Bitmap> shapes;
    const RefPtr<vyrd::CJB2Layer> mask = page.DecodeMask();
    if (mask) {
        for (const vyrd::JB2Blit& b : mask->Blits()) {
            shapes.push_back(Bitmap::FromRaster(*b.shape));
        }
    }
    return shapes;
}

// Appended piece by piece: g++ 12 reports a false -Wrestrict for "d" + s.
std::string NumberedId(char prefix, std::size_t n) {
    std::string id(1, prefix);
    id.append(std::to_string(n));
    return id;
}

std::vector<Bitmap> With(std::vector<Bitmap> shapes, const Bitmap& last) {
    shapes.push_back(last);
    return shapes;
}

TEST(JB2Bundle, InheritedShapesOfAPage) {
    REQUIRE_TOOL("bzz");
    struct Case {
        const char* name;
        std::vector<std::string> includes;
        std::vector<Bitmap> inherited;
        Bytes ownDjbz;
    };
    const Case cases[] = {
        {"one included file", {"ab.iff"}, {kA, kB}, {}},
        // Included shapes first, then the page's own Djbz, then the mask's.
        {"included file and own Djbz",
         {"ab.iff"},
         {kA, kB, kC, kD},
         Chunk("Djbz", testjb2::DictionaryStream({kC, kD}))},
        // A mask inherits from one included dictionary, the first.
        {"two included files", {"ab.iff", "c.iff"}, {kA, kB}, {}},
        {"two included files, other order", {"c.iff", "ab.iff"}, {kC}, {}},
        // Files that cannot be used contribute nothing.
        {"unknown id first", {"nowhere.iff", "c.iff"}, {kC}, {}},
        {"file past the end first", {"far.iff", "ab.iff"}, {kA, kB}, {}},
        {"page instead of a DJVI first", {"wrong.iff", "c.iff"}, {kC}, {}},
        {"a file without Djbz first", {"annotations.iff", "c.iff"}, {kC}, {}},
        {"nothing usable", {"nowhere.iff", "far.iff"}, {}, {}},
    };
    for (const Case& c : cases) {
        const std::vector<Component> components = {
            Dictionary("ab.iff", {kA, kB}),
            Dictionary("c.iff", {kC}),
            Dictionary("far.iff", {kD}),
            Dictionary("wrong.iff", {kD}),
            {0, "annotations.iff", "", "", Form("DJVI", {Chunk("ANTa", Text("(mode bw)"))})},
            Page("p1", c.includes, c.inherited, c.ownDjbz),
        };
        Bytes bytes = Bundle(components);
        // far.iff lies past the end of the file; wrong.iff leads to the page.
        testbundle::SetDirectoryOffset(bytes, 2, uint32_t(bytes.size()) + 2);
        uint32_t pageOffset = uint32_t(bytes.size() - components[5].form.size());
        testbundle::SetDirectoryOffset(bytes, 3, pageOffset);
        OpenedBundle doc(bytes);
        const RefPtr<vyrd::CDjVuPage> page = doc->GetPageObject(0);
        ASSERT_TRUE(page) << c.name;
        EXPECT_EQ(BlitShapes(*page), With(c.inherited, kOwn)) << c.name;
        EXPECT_EQ(page->GetShapeDictionary()->TotalCount(), int(c.inherited.size())) << c.name;
    }
}

// A decoded dictionary stays with its file while no more than four other
// files were used since; then it is decoded again, with new shape objects,
// which pages still holding the old ones keep. Pixels never change.
TEST(JB2Bundle, RecentlyUsedDictionariesAreKept) {
    REQUIRE_TOOL("bzz");
    const std::vector<Bitmap> glyphs = {
        kA, kB, kC, kD, Bitmap::FromRows({"#", "#"}), Bitmap::FromRows({"##"}), kOwn};
    struct Case {
        const char* name;
        std::vector<int> order;  // the file each page includes, in rendering order
        bool sameAsFirst;        // the last page gets the first page's shapes
    };
    const Case cases[] = {
        {"the same file twice", {0, 0}, true},
        {"four others in between", {0, 1, 2, 3, 4, 0}, true},
        {"five others in between", {0, 1, 2, 3, 4, 5, 0}, false},
        {"six others in between", {0, 1, 2, 3, 4, 5, 6, 0}, false},
        {"others repeated", {0, 1, 1, 2, 2, 3, 3, 4, 4, 0}, true},
        {"used again in between", {0, 1, 2, 3, 4, 0, 5, 6, 0}, true},
    };
    for (const Case& c : cases) {
        std::vector<Component> components;
        for (std::size_t d = 0; d < glyphs.size(); ++d) {
            components.push_back(Dictionary(NumberedId('d', d), {glyphs[d]}));
        }
        for (std::size_t k = 0; k < c.order.size(); ++k) {
            const int d = c.order[k];
            components.push_back(Page(NumberedId('p', k), {NumberedId('d', std::size_t(d))},
                                      {glyphs[std::size_t(d)]}));
        }
        OpenedBundle doc(Bundle(components));
        std::vector<RefPtr<vyrd::CDjVuPage>> pages;
        for (std::size_t k = 0; k < c.order.size(); ++k) {
            pages.push_back(doc->GetPageObject(int(k)));
            ASSERT_TRUE(pages.back()) << c.name << " " << k;
            EXPECT_EQ(BlitShapes(*pages.back()),
                      (std::vector<Bitmap>{glyphs[std::size_t(c.order[k])], kOwn}))
                << c.name << " " << k;
        }
        const vyrd::CRasterImage* first = pages.front()->GetShapeDictionary()->GetShape(0).get();
        const vyrd::CRasterImage* last = pages.back()->GetShapeDictionary()->GetShape(0).get();
        EXPECT_EQ(first == last, c.sameAsFirst) << c.name;
    }
}

}  // namespace
