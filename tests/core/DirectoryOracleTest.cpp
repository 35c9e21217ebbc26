// The multi-page directory: hand-made directories of both versions (their
// compressed part made with DjVuLibre's bzz), bundles made with djvm, and the
// real documents, whose component lists djvused prints.

#include "Container.h"
#include "HResultError.h"
#include "BundleBuilder.h"
#include "IffBuilder.h"
#include "Oracle.h"
#include "SharedData.h"
#include "Unicode.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace testiff;
using oracle::Quote;
using testbundle::Bundle;
using testbundle::BundleOptions;
using testbundle::Component;
using testbundle::OpenedBundle;
using vyrd::CDirEntry;
using vyrd::CDjVuContainer;
using vyrd::MakeRef;
using vyrd::RefPtr;

Bytes PageForm(uint16_t width, uint16_t height = 20) {
    return Form("DJVU", {Chunk("INFO", InfoBody(width, height))});
}

Bytes SharedForm() {
    return Form("DJVI", {Chunk("ANTa", Text("(background #ffffff)"))});
}

// Per page: its id and the width of the page that the container finds there.
std::vector<std::pair<std::u16string, int>> PageList(CDjVuContainer& doc) {
    std::vector<std::pair<std::u16string, int>> pages;
    for (int i = 0; i < doc.CountPages(); ++i) {
        RefPtr<vyrd::CDjVuPage> page = doc.GetPageObject(i);
        const int width = page && page->GetInfo() ? page->GetInfo()->width : -1;
        pages.emplace_back(doc.Directory()->Pages().At(i)->id, width);
    }
    return pages;
}

const std::vector<Component> kThreePages = {
    {0, "dict.iff", "", "", Form("DJVI", {Chunk("Djbz", {1, 2, 3})})},
    {1, "p1.djvu", "", "Cover", PageForm(101)},
    {1, "p2.djvu", "second", "", PageForm(102)},
    {3, "notes.iff", "", "", SharedForm()},
    {1, "p3.djvu", "third", "iii", PageForm(103)},
};

TEST(Directory, BothVersionsGiveTheSamePageList) {
    REQUIRE_TOOL("bzz");
    const Bytes v1 = Bundle(kThreePages);
    BundleOptions old;
    old.version = 0;
    const Bytes v0 = Bundle(kThreePages, old);
    OpenedBundle doc1(v1);
    OpenedBundle doc0(v0);
    const std::vector<std::pair<std::u16string, int>> expected = {
        {u"p1.djvu", 101}, {u"p2.djvu", 102}, {u"p3.djvu", 103}};
    EXPECT_EQ(PageList(*doc1), expected);
    EXPECT_EQ(PageList(*doc0), expected);
    EXPECT_EQ(doc0->Directory()->Version(), 0);
    EXPECT_EQ(doc1->Directory()->Version(), 1);
    // Every component of both: same size and names (the offsets differ: the
    // old table is longer); in version 0 the only kinds are pages and included
    // files.
    const auto& all0 = doc0->Directory()->All().Entries();
    const auto& all1 = doc1->Directory()->All().Entries();
    ASSERT_EQ(all0.size(), 5u);
    ASSERT_EQ(all1.size(), 5u);
    for (std::size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(all0[i].size, all1[i].size) << i;
        EXPECT_EQ(all0[i].id, all1[i].id) << i;
        EXPECT_EQ(all0[i].name, all1[i].name) << i;
        EXPECT_EQ(all0[i].title, all1[i].title) << i;
        EXPECT_EQ(all0[i].Type(), kThreePages[i].type == 1 ? 1 : 0) << i;
        EXPECT_EQ(all1[i].Type(), kThreePages[i].type) << i;
    }
}

TEST(Directory, NamesAndTitlesDefaultToTheId) {
    REQUIRE_TOOL("bzz");
    OpenedBundle doc(Bundle(kThreePages));
    const vyrd::CDirList& pages = doc->Directory()->Pages();
    struct Expect {
        std::u16string id, name, title;
    };
    const Expect expected[] = {{u"p1.djvu", u"p1.djvu", u"Cover"},
                               {u"p2.djvu", u"second", u"p2.djvu"},
                               {u"p3.djvu", u"third", u"iii"}};
    ASSERT_EQ(pages.Count(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(pages.At(i)->id, expected[i].id);
        EXPECT_EQ(pages.At(i)->name, expected[i].name);
        EXPECT_EQ(pages.At(i)->title, expected[i].title);
    }
    // Each kind has its own list and lookup.
    const vyrd::CDjVuDirectory& dir = *doc->Directory();
    EXPECT_EQ(dir.Includes().Find(u"dict.iff"), 0);
    EXPECT_EQ(dir.SharedAnnotations().Find(u"notes.iff"), 0);
    EXPECT_EQ(dir.Pages().Find(u"p3.djvu"), 2);
    EXPECT_EQ(dir.Pages().Find(u"dict.iff"), -1);
    EXPECT_EQ(dir.All().Find(u"notes.iff"), 3);
    EXPECT_EQ(dir.Thumbnails().Count(), 0);
}

TEST(Directory, PageOrderIsDirectoryOrderNotFileOrder) {
    REQUIRE_TOOL("bzz");
    BundleOptions reversed;
    reversed.order = {4, 3, 2, 1, 0};
    OpenedBundle doc(Bundle(kThreePages, reversed));
    const std::vector<std::pair<std::u16string, int>> expected = {
        {u"p3.djvu", 103}, {u"p2.djvu", 102}, {u"p1.djvu", 101}};
    EXPECT_EQ(PageList(*doc), expected);
}

TEST(Directory, LaterDuplicateIdTakesTheLookup) {
    REQUIRE_TOOL("bzz");
    const std::vector<Component> twins = {{1, "same", "", "", PageForm(1)},
                                          {1, "same", "", "", PageForm(2)}};
    OpenedBundle doc(Bundle(twins));
    EXPECT_EQ(doc->CountPages(), 2);
    EXPECT_EQ(doc->Directory()->Pages().Find(u"same"), 1);
}

TEST(Directory, ShortStringTableFailsTheOpenWithInvalidArg) {
    REQUIRE_TOOL("bzz");
    for (int missing : {1, 3, 8}) {
        BundleOptions options;
        options.missingStrings = missing;
        const Bytes bytes = Bundle(kThreePages, options);
        RefPtr<CDjVuContainer> doc = MakeRef<CDjVuContainer>();
        try {
            doc->OpenDocumentFromMemory(bytes);
            ADD_FAILURE() << "opened with " << missing << " strings missing";
        } catch (const vyrd::HResultError& e) {
            EXPECT_EQ(e.Code(), vyrd::kE_INVALIDARG);
        }
        // Nothing of the failed open stays behind.
        EXPECT_EQ(doc->CountPages(), 0);
        EXPECT_EQ(doc->DocumentForm(), nullptr);
        EXPECT_EQ(doc->Directory(), nullptr);
    }
}

TEST(Directory, UnusableDirectoriesAndComponents) {
    REQUIRE_TOOL("bzz");
    {
        // A version the reader does not know: an empty directory.
        Bytes bytes = Bundle(kThreePages);
        bytes[4 + 8 + 4 + 8] = 0x82;
        OpenedBundle doc(bytes);
        ASSERT_NE(doc->Directory(), nullptr);
        EXPECT_EQ(doc->CountPages(), 0);
        EXPECT_EQ(doc->GetPageObject(0), nullptr);
    }
    {
        // Components in separate files: pages are counted, none can be read.
        BundleOptions indirect;
        indirect.selfContained = false;
        OpenedBundle doc(Bundle(kThreePages, indirect));
        EXPECT_FALSE(doc->Directory()->SelfContained());
        EXPECT_EQ(doc->CountPages(), 3);
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(doc->GetPageObject(i), nullptr) << i;
        }
        EXPECT_EQ(doc->GetIncludedFile(0), nullptr);
    }
    {
        // The second page entry points at a DJVI, which is no page; the last
        // page reaches past the end of the file. The first page still works.
        std::vector<Component> components = kThreePages;
        components[2].form = SharedForm();
        Bytes bytes = Bundle(components);
        bytes.resize(bytes.size() - 2);
        OpenedBundle doc(bytes);
        ASSERT_EQ(doc->CountPages(), 3);
        EXPECT_NE(doc->GetPageObject(0), nullptr);
        EXPECT_EQ(doc->GetPageObject(1), nullptr);
        EXPECT_EQ(doc->GetPageObject(2), nullptr);
        EXPECT_EQ(doc->GetPageObject(3), nullptr);
        EXPECT_EQ(doc->GetPageObject(-1), nullptr);
    }
}

TEST(Directory, SharedComponentsAreFoundAndKept) {
    REQUIRE_TOOL("bzz");
    std::vector<Component> components = kThreePages;
    // An include entry whose FORM is a page is no included file.
    components.push_back({0, "wrong.iff", "", "", PageForm(9)});
    OpenedBundle doc(Bundle(components));
    RefPtr<vyrd::CDjVuIncludedFile> dict = doc->GetIncludedFile(0);
    ASSERT_NE(dict, nullptr);
    EXPECT_EQ(dict->Chunks().size(), 1u);
    EXPECT_EQ(doc->GetIncludedFile(0), dict);  // cached
    EXPECT_EQ(doc->GetIncludedFile(1), nullptr);
    EXPECT_EQ(doc->GetIncludedFile(2), nullptr);
    RefPtr<vyrd::CDjVuSharedAnnotations> notes = doc->GetSharedAnnotations(0);
    ASSERT_NE(notes, nullptr);
    EXPECT_EQ(vyrd::ChunkIdToString(notes->Chunks().at(0).Id()), "ANTa");
    EXPECT_EQ(doc->GetSharedAnnotations(1), nullptr);
    // Pages, components and the directory go with the document.
    doc->CloseDocument();
    EXPECT_EQ(doc->Directory(), nullptr);
    EXPECT_EQ(doc->GetIncludedFile(0), nullptr);
    EXPECT_EQ(dict->Chunks().size(), 1u);  // still readable: it keeps the bytes
}

// One line of `djvused -e ls`: page number (pages only), kind letter, size, id.
struct Listed {
    char kind;
    uint32_t size;
    std::string id;
};

std::vector<Listed> ListComponents(const std::filesystem::path& doc) {
    std::vector<Listed> listed;
    for (const std::string& line : oracle::Capture("djvused -e ls " + Quote(doc)).Lines()) {
        std::istringstream fields(line);
        std::string first;
        fields >> first;
        Listed entry{};
        if (first.size() == 1 && !std::isdigit(static_cast<unsigned char>(first[0]))) {
            entry.kind = first[0];
        } else {
            fields >> entry.kind;
        }
        fields >> entry.size >> entry.id;
        listed.push_back(entry);
    }
    return listed;
}

char KindLetter(uint8_t type) {
    return "IPTA"[type & 3];
}

// Our directory against djvused's listing, component by component.
void ExpectSameComponents(CDjVuContainer& doc, const std::filesystem::path& path) {
    const std::vector<Listed> listed = ListComponents(path);
    ASSERT_NE(doc.Directory(), nullptr) << path;
    const auto& all = doc.Directory()->All().Entries();
    ASSERT_EQ(all.size(), listed.size()) << path;
    for (std::size_t i = 0; i < all.size(); ++i) {
        EXPECT_EQ(KindLetter(all[i].Type()), listed[i].kind) << path << " " << i;
        EXPECT_EQ(all[i].size, listed[i].size) << path << " " << i;
        EXPECT_EQ(vyrd::Utf16ToUtf8(all[i].id), listed[i].id) << path << " " << i;
    }
    const int pages = std::stoi(oracle::Capture("djvused -e n " + Quote(path)).out);
    EXPECT_EQ(doc.CountPages(), pages) << path;
}

TEST(DirectoryOracle, BundlesMadeByDjvm) {
    REQUIRE_TOOL("djvm");
    REQUIRE_TOOL("cjb2");
    REQUIRE_TOOL("c44");
    REQUIRE_TOOL("convert");
    REQUIRE_TOOL("djvmcvt");
    oracle::TempDir dir;
    // Pages of different sizes, so that each page is recognisable.
    std::string pages;
    for (int i = 0; i < 4; ++i) {
        const std::string stem = (dir / ("page" + std::to_string(i))).string();
        const int width = 40 + 10 * i;
        const bool photo = i % 2 == 1;
        const std::string image = stem + (photo ? ".ppm" : ".pbm");
        ASSERT_EQ(
            oracle::Capture("convert -size " + std::to_string(width) + "x30 gradient:red-blue " +
                            (photo ? "" : "-monochrome ") + Quote(image))
                .status,
            0);
        const std::string tool = photo ? "c44 " : "cjb2 ";
        ASSERT_EQ(oracle::Capture(tool + Quote(image) + " " + Quote(stem + ".djvu")).status, 0);
        pages += " " + Quote(stem + ".djvu");
    }
    const auto bundle = dir / "bundle.djvu";
    ASSERT_EQ(oracle::Capture("djvm -c " + Quote(bundle) + pages).status, 0);
    RefPtr<CDjVuContainer> doc = MakeRef<CDjVuContainer>();
    ASSERT_EQ(doc->OpenDocument(bundle.u16string()), 1);
    ExpectSameComponents(*doc, bundle);
    ASSERT_EQ(doc->CountPages(), 4);
    for (int i = 0; i < 4; ++i) {
        RefPtr<vyrd::CDjVuPage> page = doc->GetPageObject(i);
        ASSERT_NE(page, nullptr) << i;
        EXPECT_EQ(page->GetInfo()->width, 40 + 10 * i) << i;
    }

    // The same document as an index of separate files.
    const auto index = dir / "indirect" / "index.djvu";
    std::filesystem::create_directories(index.parent_path());
    ASSERT_EQ(oracle::Capture("djvmcvt -i " + Quote(bundle) + " " + Quote(index.parent_path()) +
                              " " + Quote(index))
                  .status,
              0);
    RefPtr<CDjVuContainer> indirect = MakeRef<CDjVuContainer>();
    ASSERT_EQ(indirect->OpenDocument(index.u16string()), 1);
    ExpectSameComponents(*indirect, index);
    EXPECT_EQ(indirect->CountPages(), 4);
    EXPECT_EQ(indirect->GetPageObject(0), nullptr);
}

TEST(DirectoryOracle, CorpusDocuments) {
    REQUIRE_CORPUS();
    REQUIRE_TOOL("djvused");
    for (const char* name :
         {"DjVu3Spec.djvu", "navm_fgbz.djvu", "links.djvu", "czech_1-3.djvu", "index08.djvu"}) {
        const auto path = shareddata::CorpusDir() / name;
        RefPtr<CDjVuContainer> doc = MakeRef<CDjVuContainer>();
        ASSERT_EQ(doc->OpenDocument(path.u16string()), 1) << name;
        ExpectSameComponents(*doc, path);
    }
}

}  // namespace
