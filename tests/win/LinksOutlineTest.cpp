// IVyrdFileInternalLinks and IVyrdFileContent of the registered reader on
// documents made with DjVuLibre at build time and on the real-world documents,
// against what djvused printed about them (DjVuSedOutput.h).

#include "DjVuSedOutput.h"
#include "IffBuilder.h"
#include "TestSupport.h"
#include "VyrdFilesFormat.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using namespace testwin;

// The fixture folder as Wine sees the build machine's path.
std::filesystem::path FixtureDir() {
    std::string dir = VYRD_LINK_FIXTURES_DIR;
    if (!dir.empty() && dir[0] == '/') {
        dir = "Z:" + dir;
    }
    return std::filesystem::path(dir);
}

std::optional<djvused::Listing> Load(const std::string& name) {
    const std::filesystem::path path = FixtureDir() / name;
    return djvused::Load(path.parent_path(), path.filename().string());
}

const char* const kDocuments[] = {
    "links",        "outline",          "flat", "corpus/navm_fgbz", "corpus/DjVu3Spec",
    "corpus/links", "corpus/czech_1-3",
};

std::wstring Utf8ToWide(const std::string& s) {
    if (s.empty()) {
        return {};
    }
    const int n = MultiByteToWideChar(CP_UTF8, 0, s.data(), int(s.size()), nullptr, 0);
    std::wstring out(size_t(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, s.data(), int(s.size()), out.data(), n);
    return out;
}

class Reader : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(CoCreateInstance(CLSID_CDjVuFile, nullptr, CLSCTX_INPROC_SERVER, IID_IVyrdFile,
                                   file_.PutVoid()),
                  S_OK);
        content_ = file_.As<IVyrdFileContent>(IID_IVyrdFileContent);
        links_ = file_.As<IVyrdFileInternalLinks>(IID_IVyrdFileInternalLinks);
        ASSERT_TRUE(content_ && links_);
    }
    HRESULT Open(const std::filesystem::path& path) {
        return file_->OpenFile(TestBstr(path.wstring()).Get());
    }

    // What IsInLink and GetLink say at a point: -2 when not on a link.
    int LinkAt(LONG page, POINT pt) {
        VARIANT_BOOL inLink = 7;
        EXPECT_EQ(links_->IsInLink(page, pt, &inLink), S_OK);
        LONG target = 99;
        POINT topLeft = {5, 5};
        EXPECT_EQ(links_->GetLink(page, pt, &target, &topLeft), S_OK);
        EXPECT_EQ(topLeft.x, 0);
        EXPECT_EQ(topLeft.y, 0);
        if (inLink == VARIANT_FALSE) {
            EXPECT_EQ(target, -1);
            return -2;
        }
        EXPECT_EQ(inLink, VARIANT_TRUE);
        return target;
    }

    ComPtr<IVyrdFile> file_;
    ComPtr<IVyrdFileContent> content_;
    ComPtr<IVyrdFileInternalLinks> links_;
};

// Around each expected rectangle: its corners, its middle and the points just
// outside its edges. The answer at a point is the last rectangle containing it.
TEST_F(Reader, LinksMatchDjvusedAtEveryCornerAndEdge) {
    int probed = 0;
    for (const char* name : kDocuments) {
        const std::optional<djvused::Listing> listing = Load(name);
        if (!listing) {
            continue;
        }
        SCOPED_TRACE(name);
        ASSERT_EQ(Open(listing->document), S_OK);
        for (int page = 0; page < listing->PageCount(); ++page) {
            const std::vector<djvused::Link> expected = listing->Links(page);
            for (const djvused::Link& l : expected) {
                const POINT probes[] = {
                    {l.left, l.top},
                    {l.right, l.bottom},
                    {l.left, l.bottom},
                    {l.right, l.top},
                    {(l.left + l.right) / 2, (l.top + l.bottom) / 2},
                    {l.left - 1, l.top},
                    {l.right + 1, l.bottom},
                    {l.left, l.top - 1},
                    {l.right, l.bottom + 1},
                };
                for (const POINT& pt : probes) {
                    int want = -2;
                    for (const djvused::Link& other : expected) {
                        if (other.left <= pt.x && pt.x <= other.right && other.top <= pt.y &&
                            pt.y <= other.bottom) {
                            want = other.page;
                        }
                    }
                    EXPECT_EQ(LinkAt(page, pt), want)
                        << "page " << page << " at " << pt.x << "," << pt.y;
                    ++probed;
                }
            }
        }
    }
    if (probed == 0) {
        GTEST_SKIP() << "no link fixtures (DjVuLibre missing at build time)";
    }
}

TEST_F(Reader, LinkQueriesOutsideThePagesAndAfterClosing) {
    const std::optional<djvused::Listing> listing = Load("links");
    if (!listing) {
        GTEST_SKIP() << "no link fixtures";
    }
    ASSERT_EQ(Open(listing->document), S_OK);
    const djvused::Link first = listing->Links(0).at(0);
    const POINT inside = {first.left, first.top};
    EXPECT_EQ(LinkAt(0, inside), first.page);
    // No page there, no links; also for the largest index.
    for (LONG page : {3L, 1000L, LONG(INT_MAX)}) {
        EXPECT_EQ(LinkAt(page, inside), -2) << page;
    }
    VARIANT_BOOL inLink = VARIANT_TRUE;
    EXPECT_EQ(links_->IsInLink(-1, inside, &inLink), E_INVALIDARG);
    LONG target = 0;
    POINT topLeft = {};
    EXPECT_EQ(links_->GetLink(LONG(INT_MIN), inside, &target, &topLeft), E_INVALIDARG);
    // Closing drops the links; opening again brings them back.
    ASSERT_EQ(file_->CloseFile(), S_OK);
    EXPECT_EQ(LinkAt(0, inside), -2);
    ASSERT_EQ(Open(listing->document), S_OK);
    EXPECT_EQ(LinkAt(0, inside), first.page);
    // A failed open leaves no links behind.
    EXPECT_EQ(Open(FixtureDir() / "missing.djvu"), S_FALSE);
    EXPECT_EQ(LinkAt(0, inside), -2);
}

struct Item {
    int depth;
    LONG id;
    std::wstring name;
    LONG page;
    bool operator==(const Item&) const = default;
};

Item Describe(IVyrdFileContentItem* item, int depth) {
    Item out{depth, -1, L"", -2};
    item->get_ItemID(&out.id);
    item->get_ItemPageIndex(&out.page);
    BSTR name = nullptr;
    item->get_ItemName(&name);
    out.name.assign(name ? name : L"", SysStringLen(name));
    SysFreeString(name);
    LONG offset = -1;
    item->get_ItemOffsetFromTop(&offset);
    EXPECT_EQ(offset, 0);
    return out;
}

// Depth-first walk with the cursor alone, the way the content pane reads it.
std::vector<Item> Walk(IVyrdFileContent* content) {
    std::vector<Item> items;
    EXPECT_EQ(content->GotoRoot(), S_OK);
    if (content->GotoChilds() != S_OK) {
        return items;
    }
    int depth = 0;
    for (;;) {
        ComPtr<IVyrdFileContentItem> item;
        EXPECT_EQ(content->GetCurrentItem(item.Put()), S_OK);
        if (!item) {
            ADD_FAILURE() << "no item under the cursor";
            return items;
        }
        items.push_back(Describe(item.Get(), depth));
        if (content->GotoChilds() == S_OK) {
            ++depth;
            continue;
        }
        while (content->GotoNext() != S_OK) {
            EXPECT_EQ(content->GotoParent(), S_OK);
            if (--depth < 0) {
                return items;  // back at the root
            }
        }
    }
}

TEST_F(Reader, OutlineMatchesDjvusedWithIdsInDepthFirstOrder) {
    int compared = 0;
    for (const char* name : kDocuments) {
        const std::optional<djvused::Listing> listing = Load(name);
        if (!listing) {
            continue;
        }
        SCOPED_TRACE(name);
        ASSERT_EQ(Open(listing->document), S_OK);
        std::vector<Item> expected;
        LONG id = 0;
        for (const djvused::Bookmark& b : listing->Outline()) {
            expected.push_back({b.depth, ++id, Utf8ToWide(b.title), b.page});
        }
        EXPECT_EQ(Walk(content_.Get()), expected);
        for (const Item& want : expected) {
            ComPtr<IVyrdFileContentItem> item;
            EXPECT_EQ(content_->GetItem(want.id, item.Put()), S_OK);
            ASSERT_TRUE(item) << want.id;
            EXPECT_EQ(Describe(item.Get(), want.depth), want);
        }
        for (LONG missing : {0L, id + 1, -1L}) {
            IVyrdFileContentItem* item = reinterpret_cast<IVyrdFileContentItem*>(1);
            EXPECT_EQ(content_->GetItem(missing, &item), S_OK);
            EXPECT_EQ(item, nullptr) << missing;
        }
        compared += int(expected.size());
    }
    if (compared == 0) {
        GTEST_SKIP() << "no outline fixtures (DjVuLibre missing at build time)";
    }
}

TEST_F(Reader, CursorMovesAmongSiblingsAndItemsOutliveTheTree) {
    const std::optional<djvused::Listing> listing = Load("outline");
    if (!listing) {
        GTEST_SKIP() << "no outline fixtures";
    }
    ASSERT_EQ(Open(listing->document), S_OK);
    const std::vector<djvused::Bookmark> outline = listing->Outline();
    LONG topLevel = 0;
    for (const djvused::Bookmark& b : outline) {
        topLevel += b.depth == 0;
    }
    auto currentId = [&] {
        ComPtr<IVyrdFileContentItem> item;
        EXPECT_EQ(content_->GetCurrentItem(item.Put()), S_OK);
        LONG id = 0;
        if (item) {
            item->get_ItemID(&id);
        }
        return id;
    };
    LONG count = -1;
    EXPECT_EQ(content_->GotoRoot(), S_OK);
    EXPECT_EQ(content_->get_ChildsCount(&count), S_OK);
    EXPECT_EQ(count, topLevel);
    EXPECT_EQ(content_->GotoChilds(), S_OK);
    EXPECT_EQ(currentId(), 1);
    EXPECT_EQ(content_->GotoPrevious(), S_FALSE);
    EXPECT_EQ(currentId(), 1);
    EXPECT_EQ(content_->GotoLast(), S_OK);
    const LONG last = currentId();
    EXPECT_EQ(content_->GotoNext(), S_FALSE);
    EXPECT_EQ(currentId(), last);
    EXPECT_EQ(content_->GotoFirst(), S_OK);
    EXPECT_EQ(currentId(), 1);
    EXPECT_EQ(content_->GotoNext(), S_OK);
    EXPECT_GT(currentId(), 1);
    EXPECT_EQ(content_->GotoPrevious(), S_OK);
    EXPECT_EQ(currentId(), 1);
    // The first item's first child has the next identifier.
    EXPECT_EQ(content_->GotoChilds(), S_OK);
    EXPECT_EQ(currentId(), 2);
    EXPECT_EQ(content_->GotoParent(), S_OK);
    EXPECT_EQ(currentId(), 1);

    // An item a client holds keeps its values once the outline is gone.
    ComPtr<IVyrdFileContentItem> kept;
    ASSERT_EQ(content_->GetItem(2, kept.Put()), S_OK);
    ASSERT_TRUE(kept);
    const Item before = Describe(kept.Get(), 1);
    ASSERT_EQ(file_->CloseFile(), S_OK);
    EXPECT_EQ(Describe(kept.Get(), 1), before);
    EXPECT_EQ(content_->GotoRoot(), S_OK);
    EXPECT_EQ(content_->get_ChildsCount(&count), S_OK);
    EXPECT_EQ(count, 0);
    IVyrdFileContentItem* none = reinterpret_cast<IVyrdFileContentItem*>(1);
    EXPECT_EQ(content_->GetItem(1, &none), S_OK);
    EXPECT_EQ(none, nullptr);
    // Opening again numbers from 1 again, with new item objects.
    ASSERT_EQ(Open(listing->document), S_OK);
    ComPtr<IVyrdFileContentItem> again;
    ASSERT_EQ(content_->GetItem(2, again.Put()), S_OK);
    ASSERT_TRUE(again);
    EXPECT_NE(again.Get(), kept.Get());
    EXPECT_EQ(Describe(again.Get(), 1), before);
}

TEST_F(Reader, DeepOutlineIsBuiltAndReleasedWithoutExhaustingTheStack) {
    const std::filesystem::path deep = FixtureDir() / "deep.djvu";
    std::error_code ec;
    if (!std::filesystem::exists(deep, ec)) {
        GTEST_SKIP() << "no deep outline fixture";
    }
    constexpr LONG kDepth = 30000;
    for (int round = 0; round < 2; ++round) {
        ASSERT_EQ(Open(deep), S_OK);
        EXPECT_EQ(content_->GotoRoot(), S_OK);
        LONG depth = 0;
        while (content_->GotoChilds() == S_OK) {
            ++depth;
        }
        EXPECT_EQ(depth, kDepth);
        ComPtr<IVyrdFileContentItem> item;
        EXPECT_EQ(content_->GetItem(kDepth, item.Put()), S_OK);
        ASSERT_TRUE(item);
        EXPECT_EQ(Describe(item.Get(), 0).name, L"d29999");
        // The second round's open releases the first tree; CloseFile the second.
    }
    EXPECT_EQ(file_->CloseFile(), S_OK);
}

// Documents without an outline: a single page, and a bundle without NAVM.
TEST_F(Reader, DocumentsWithoutNavmHaveTheRootAlone) {
    TempFile single(testiff::SinglePage(50, 40));
    ASSERT_EQ(Open(single.Path()), S_OK);
    LONG count = -1;
    EXPECT_EQ(content_->GotoRoot(), S_OK);
    EXPECT_EQ(content_->get_ChildsCount(&count), S_OK);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(content_->GotoChilds(), S_FALSE);
}

}  // namespace
