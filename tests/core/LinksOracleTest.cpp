// Links and outlines of documents made with DjVuLibre (djvm, djvused set-ant,
// set-outline) and of the real-world documents, against what djvused prints
// about them; the annotation text of pages; the link cache.

#include "AnnotationText.h"
#include "Container.h"
#include "DjVuSedOutput.h"
#include "HResultError.h"
#include "IffBuilder.h"
#include "LinkCache.h"
#include "Oracle.h"
#include "Outline.h"
#include "PageLinks.h"
#include "SharedData.h"
#include "TempFile.h"
#include "Unicode.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using oracle::RunTool;

using namespace testiff;
using oracle::Quote;
using testfs::TempFile;
using vyrd::CDjVuContainer;
using vyrd::MakeRef;
using vyrd::RefPtr;

const std::filesystem::path kFixtures = VYRD_LINK_FIXTURES_DIR;

// The documents whose links and outlines are compared: the fixtures, then the
// real-world documents (skipped when the corpus is absent).
const char* const kDocuments[] = {
    "links",        "outline",          "flat", "corpus/navm_fgbz", "corpus/DjVu3Spec",
    "corpus/links", "corpus/czech_1-3",
};

std::optional<djvused::Listing> Load(const std::string& name) {
    const std::filesystem::path path = kFixtures / name;
    return djvused::Load(path.parent_path(), path.filename().string());
}

std::vector<djvused::Link> Ours(const vyrd::CPageLinks& links) {
    std::vector<djvused::Link> out;
    for (const vyrd::LinkRecord& r : links.records) {
        EXPECT_EQ(r.x, 0);
        EXPECT_EQ(r.y, 0);
        out.push_back({r.left, r.top, r.right, r.bottom, r.page});
    }
    return out;
}

RefPtr<CDjVuContainer> Open(const std::filesystem::path& path) {
    RefPtr<CDjVuContainer> doc = MakeRef<CDjVuContainer>();
    EXPECT_EQ(doc->OpenDocument(path.u16string()), 1) << path;
    return doc;
}

TEST(LinksOracle, EveryPageMatchesDjvused) {
    REQUIRE_TOOL("djvused");
    int compared = 0;
    for (const char* name : kDocuments) {
        const std::optional<djvused::Listing> listing = Load(name);
        if (!listing) {
            continue;
        }
        SCOPED_TRACE(name);
        RefPtr<CDjVuContainer> doc = Open(listing->document);
        ASSERT_EQ(doc->CountPages(), listing->PageCount());
        for (int i = 0; i < listing->PageCount(); ++i) {
            EXPECT_EQ(Ours(vyrd::BuildPageLinks(*doc, i)), listing->Links(i)) << "page " << i + 1;
            ++compared;
        }
    }
    EXPECT_GT(compared, 0) << "no fixtures in " << kFixtures;
}

TEST(LinksOracle, FixtureHoldsTheCasesItWasMadeFor) {
    const std::optional<djvused::Listing> listing = Load("links");
    if (!listing) {
        GTEST_SKIP() << "no fixtures (DjVuLibre missing at build time)";
    }
    RefPtr<CDjVuContainer> doc = Open(listing->document);
    const vyrd::CPageLinks first = vyrd::BuildPageLinks(*doc, 0);
    // Shared area, then the page's own: 11 rectangles out of 13 map areas
    // (an oval and a text area give none).
    ASSERT_EQ(first.records.size(), 11u);
    EXPECT_EQ(first.records[0].page, 2);        // "#3" from the shared component
    EXPECT_EQ(first.records[2].page, 1);        // "#p2.djvu"
    EXPECT_EQ(first.records[3].page, -1);       // the web
    EXPECT_EQ(first.LinkAt(165, 65)->page, 1);  // overlap: the later one wins
    EXPECT_EQ(first.LinkAt(155, 65)->page, 0);  // the earlier one alone
    // The third page is turned in its INFO; links stay on the stored picture.
    const vyrd::CPageLinks third = vyrd::BuildPageLinks(*doc, 2);
    EXPECT_NE(third.orientation, 1);
    EXPECT_EQ(third.records.back(), (vyrd::LinkRecord{10, 60, 30, 90, 0, 0, 0}));
}

TEST(OutlineOracle, BookmarksMatchDjvused) {
    REQUIRE_TOOL("djvused");
    int compared = 0;
    for (const char* name : kDocuments) {
        const std::optional<djvused::Listing> listing = Load(name);
        if (!listing) {
            continue;
        }
        SCOPED_TRACE(name);
        RefPtr<CDjVuContainer> doc = Open(listing->document);
        const RefPtr<vyrd::CDjVuOutline> outline = vyrd::CDjVuOutline::Read(*doc);
        std::vector<djvused::Bookmark> ours;
        if (outline) {
            for (const vyrd::CBookmark& b : outline->Bookmarks()) {
                ours.push_back({b.depth, vyrd::Utf16ToUtf8(b.title), b.page});
            }
            EXPECT_EQ(outline->DeclaredCount(), outline->Bookmarks().size());
        }
        EXPECT_EQ(ours, listing->Outline());
        compared += int(ours.size());
    }
    EXPECT_GT(compared, 0) << "no fixtures in " << kFixtures;
}

TEST(ToolLinks, PrintsOneLinePerRecordOfThePage) {
    for (const char* name : {"links", "corpus/navm_fgbz"}) {
        const std::optional<djvused::Listing> listing = Load(name);
        if (!listing) {
            continue;
        }
        SCOPED_TRACE(name);
        for (int page = 1; page <= listing->PageCount(); ++page) {
            std::vector<std::string> expected;
            for (const djvused::Link& l : listing->Links(page - 1)) {
                expected.push_back(std::to_string(l.left) + " " + std::to_string(l.top) + " " +
                                   std::to_string(l.right) + " " + std::to_string(l.bottom) + " " +
                                   std::to_string(l.page));
            }
            const oracle::Run run =
                RunTool("links " + Quote(listing->document) + " --page=" + std::to_string(page));
            EXPECT_EQ(run.status, 0);
            EXPECT_EQ(run.Lines(), expected) << "page " << page;
        }
        const oracle::Run past = RunTool("links " + Quote(listing->document) +
                                         " --page=" + std::to_string(listing->PageCount() + 1));
        EXPECT_EQ(past.status, 1);
    }
}

TEST(ToolOutline, PrintsDepthIdPageAndTitle) {
    for (const char* name : {"outline", "corpus/DjVu3Spec", "links"}) {
        const std::optional<djvused::Listing> listing = Load(name);
        if (!listing) {
            continue;
        }
        SCOPED_TRACE(name);
        std::vector<std::string> expected;
        int id = 0;
        for (const djvused::Bookmark& b : listing->Outline()) {
            expected.push_back(std::to_string(b.depth) + " " + std::to_string(++id) + " " +
                               std::to_string(b.page) + " " + b.title);
        }
        const oracle::Run run = RunTool("outline " + Quote(listing->document));
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.Lines(), expected);
    }
}

TEST(AnnotationText, PlainChunksThenCompressedOnesEachInOrder) {
    REQUIRE_TOOL("bzz");
    // The compressed text holds a 0 byte: what follows it is not text.
    const Bytes z1 = oracle::BzzEncode(Concat({Text("(z1 \xC3\xBC)"), Bytes{0}, Text("(lost)")}));
    const Bytes z2 = oracle::BzzEncode(Text("(z2)"));
    ASSERT_FALSE(z1.empty());
    TempFile doc(File({Form(
        "DJVU", {Chunk("INFO", InfoBody(100, 50)), Chunk("ANTz", z1), Chunk("ANTa", Text("(a1)")),
                 Chunk("ANTz", z2), Chunk("ANTa", Text("(a2 \xE2\x82\xAC)"))})}));
    RefPtr<CDjVuContainer> container = Open(doc.Path());
    EXPECT_EQ(vyrd::PageAnnotationText(*container, 0), u"(a1)(a2 \u20AC)(z1 \u00FC)(z2)");
    // Kept with the page: the same string object on the next call.
    RefPtr<vyrd::CDjVuPage> page = container->GetPageObject(0);
    EXPECT_EQ(&page->GetAnnotationText(*container), &page->GetAnnotationText(*container));
    EXPECT_EQ(vyrd::PageAnnotationText(*container, 1), u"");
    EXPECT_EQ(vyrd::PageAnnotationText(*container, -1), u"");
}

TEST(AnnotationText, DamagedChunksGiveWhatTheyHold) {
    REQUIRE_TOOL("bzz");
    Bytes cut = oracle::BzzEncode(Text("(maparea \"#1\" \"\" (rect 1 2 3 4))"));
    ASSERT_GT(cut.size(), 6u);
    cut.resize(cut.size() / 2);
    TempFile doc(File(
        {Form("DJVU", {Chunk("INFO", InfoBody(100, 50)), Chunk("ANTz", cut),
                       Chunk("ANTa", Bytes{0xFF, 0xFE, '(', 'a', ')'}), Chunk("ANTz", Bytes{})})}));
    RefPtr<CDjVuContainer> container = Open(doc.Path());
    const std::u16string text = vyrd::PageAnnotationText(*container, 0);
    // Bytes that are not UTF-8 become replacement characters.
    EXPECT_EQ(text.substr(0, 5), u"\uFFFD\uFFFD(a)");
    const vyrd::CPageLinks links = vyrd::BuildPageLinks(*container, 0);
    EXPECT_LE(links.records.size(), 1u);
}

// prefix, number, suffix; built by appending, as g++ 12 reports a false
// -Wrestrict for "literal" + std::to_string(n).
std::string Numbered(const char* prefix, int n, const char* suffix) {
    std::string s(prefix);
    s.append(std::to_string(n));
    s.append(suffix);
    return s;
}

// A bundle of `pages` pages, page N linking from (0 0 10 10) to "#N".
std::filesystem::path LinkedBundle(const oracle::TempDir& dir, int pages) {
    const std::filesystem::path pbm = dir / "page.pbm";
    std::string bitmap = "P1\n8 8\n";
    for (int i = 0; i < 64; ++i) {
        bitmap += i % 9 == 0 ? "1 " : "0 ";
    }
    oracle::WriteAll(pbm, Bytes(bitmap.begin(), bitmap.end()));
    std::string files;
    std::string script;
    for (int i = 1; i <= pages; ++i) {
        const std::filesystem::path page = dir / Numbered("p", i, ".djvu");
        if (i == 1) {
            EXPECT_EQ(oracle::Capture("cjb2 " + Quote(pbm) + " " + Quote(page)).status, 0);
        } else {
            std::filesystem::copy_file(dir / "p1.djvu", page);
        }
        files += ' ';
        files += Quote(page);
        const std::filesystem::path ant = dir / Numbered("p", i, ".ant");
        const std::string text = Numbered("(maparea \"#", i, "\" \"\" (rect 0 0 10 10))");
        oracle::WriteAll(ant, Bytes(text.begin(), text.end()));
        script += Numbered("select ", i, "; set-ant ");
        script += ant.string();
        script += "\n";
    }
    const std::filesystem::path bundle = dir / "bundle.djvu";
    const std::filesystem::path scriptFile = dir / "script";
    oracle::WriteAll(scriptFile, Bytes(script.begin(), script.end()));
    EXPECT_EQ(oracle::Capture("djvm -c " + Quote(bundle) + files).status, 0);
    EXPECT_EQ(oracle::Capture("djvused -s -f " + Quote(scriptFile) + " " + Quote(bundle)).status,
              0);
    return bundle;
}

TEST(LinkCache, KeepsThe49MostRecentPagesAndAnswersTheSame) {
    REQUIRE_TOOL("djvm");
    REQUIRE_TOOL("djvused");
    REQUIRE_TOOL("cjb2");
    oracle::TempDir dir;
    RefPtr<CDjVuContainer> doc = Open(LinkedBundle(dir, 60));
    ASSERT_EQ(doc->CountPages(), 60);
    vyrd::CLinkCache cache;
    cache.Attach(doc);
    std::vector<vyrd::CPageLinks> first;
    for (int i = 0; i < 60; ++i) {
        first.push_back(cache.GetPageLinks(i));
        ASSERT_EQ(first.back().records.size(), 1u);
        // Page N links to page N (from 1): index i leads to index i.
        EXPECT_EQ(first.back().records[0].page, i);
        EXPECT_EQ(first.back().records[0].top, 8 - 10);
    }
    EXPECT_EQ(cache.KeptCount(), vyrd::CLinkCache::kKeptPages);
    for (int i = 0; i < 60; ++i) {
        EXPECT_EQ(cache.IsKept(i), i >= 60 - 49) << i;
    }
    // Asking again for an evicted page rebuilds it with the same records and
    // evicts the least recently used one, page 11.
    EXPECT_EQ(cache.GetPageLinks(0).records, first[0].records);
    EXPECT_TRUE(cache.IsKept(0));
    EXPECT_FALSE(cache.IsKept(11));
    EXPECT_EQ(cache.KeptCount(), 49u);
    // A kept page moves to the recent end: page 12 survives the next query.
    cache.GetPageLinks(12);
    cache.GetPageLinks(5);
    EXPECT_TRUE(cache.IsKept(12));
    EXPECT_FALSE(cache.IsKept(13));
    for (int i = 0; i < 60; ++i) {
        EXPECT_EQ(cache.GetPageLinks(i).records, first[i].records) << i;
    }
    // Attaching again empties it.
    cache.Attach(doc);
    EXPECT_EQ(cache.KeptCount(), 0u);
    EXPECT_FALSE(cache.IsKept(59));
}

TEST(LinkCache, IndicesWithoutAPageTakeNoRoom) {
    TempFile file(SinglePage(100, 50));
    RefPtr<CDjVuContainer> doc = Open(file.Path());
    vyrd::CLinkCache cache;
    // No document: no links anywhere.
    EXPECT_TRUE(cache.GetPageLinks(0).records.empty());
    cache.Attach(doc);
    EXPECT_TRUE(cache.GetPageLinks(0).records.empty());
    const std::size_t slots = cache.SlotCount();
    for (int index : {1, 1000, INT_MAX}) {
        EXPECT_TRUE(cache.GetPageLinks(index).records.empty()) << index;
        EXPECT_FALSE(cache.IsKept(index));
    }
    EXPECT_EQ(cache.SlotCount(), slots);
    EXPECT_EQ(cache.KeptCount(), 1u);
    for (int index : {-1, INT_MIN}) {
        try {
            cache.GetPageLinks(index);
            ADD_FAILURE() << "no error for " << index;
        } catch (const vyrd::HResultError& e) {
            EXPECT_EQ(e.Code(), vyrd::kE_INVALIDARG);
        }
    }
    cache.Detach();
    EXPECT_TRUE(cache.GetPageLinks(0).records.empty());
    EXPECT_EQ(cache.KeptCount(), 0u);
}

}  // namespace
