// IVyrdFileText of the registered reader against DjVuLibre. The build writes
// the fixtures and djvused's answers natively (make-text-fixtures.sh): per
// page the raw text (print-pure-txt) and the zone tree (print-txt). Here the
// reader must give the same text, put each word and character where djvused
// says it is, and hand back rectangle arrays of the agreed shape.

#include "TestSupport.h"
#include "TextOracle.h"
#include "VyrdFilesFormat.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <optional>
#include <ostream>
#include <string>
#include <tuple>
#include <vector>

namespace {

using namespace testwin;
using textoracle::FlatZone;

// Where the build wrote the fixtures, as Wine sees it.
std::wstring FixtureFile(const std::wstring& name) {
    const std::wstring path = WinePath(VYRD_TEXT_FIXTURES) + L"\\" + name;
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES ? path : std::wstring();
}

std::string ReadFile(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::wstring FromUtf8(const std::string& text) {
    if (text.empty()) {
        return {};
    }
    const int n = MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), nullptr, 0);
    std::wstring out(size_t(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), int(text.size()), out.data(), n);
    return out;
}

struct Rect {
    LONG left, top, right, bottom;
    friend bool operator==(const Rect&, const Rect&) = default;
    friend bool operator<(const Rect& a, const Rect& b) {
        return std::tie(a.left, a.top, a.right, a.bottom) <
               std::tie(b.left, b.top, b.right, b.bottom);
    }
};

std::ostream& operator<<(std::ostream& out, const Rect& r) {
    return out << '{' << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << '}';
}

// The rectangles of an array the reader returned, after checking its shape:
// VT_I4, two dimensions, the first 0..3, the second 0..n-1. Destroys it.
std::vector<Rect> TakeRects(SAFEARRAY* array) {
    std::vector<Rect> rects;
    EXPECT_NE(array, nullptr);
    if (!array) {
        return rects;
    }
    VARTYPE type = VT_EMPTY;
    EXPECT_EQ(SafeArrayGetVartype(array, &type), S_OK);
    EXPECT_EQ(type, VT_I4);
    EXPECT_EQ(SafeArrayGetDim(array), 2u);
    EXPECT_EQ(SafeArrayGetElemsize(array), 4u);
    LONG lower = -1, upper = -1;
    EXPECT_EQ(SafeArrayGetLBound(array, 1, &lower), S_OK);
    EXPECT_EQ(SafeArrayGetUBound(array, 1, &upper), S_OK);
    EXPECT_EQ(lower, 0);
    EXPECT_EQ(upper, 3);
    LONG count = 0;
    EXPECT_EQ(SafeArrayGetLBound(array, 2, &lower), S_OK);
    EXPECT_EQ(SafeArrayGetUBound(array, 2, &upper), S_OK);
    EXPECT_EQ(lower, 0);
    count = upper + 1;
    for (LONG i = 0; i < count; ++i) {
        Rect r{};
        LONG* fields[] = {&r.left, &r.top, &r.right, &r.bottom};
        for (LONG k = 0; k < 4; ++k) {
            LONG index[2] = {k, i};
            EXPECT_EQ(SafeArrayGetElement(array, index, fields[k]), S_OK);
        }
        rects.push_back(r);
    }
    SafeArrayDestroy(array);
    return rects;
}

Rect RectOf(const FlatZone& z) {
    return {z.left, z.top, z.right, z.bottom};
}

class TextLayer : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(CoCreateInstance(CLSID_CDjVuFile, nullptr, CLSCTX_INPROC_SERVER, IID_IVyrdFile,
                                   file_.PutVoid()),
                  S_OK);
        text_ = file_.As<IVyrdFileText>(IID_IVyrdFileText);
        ASSERT_TRUE(text_);
    }
    bool Open(const std::wstring& path) { return file_->OpenFile(TestBstr(path).Get()) == S_OK; }
    std::wstring PageText(LONG page) {
        BSTR text = nullptr;
        EXPECT_EQ(text_->GetPageText(page, &text), S_OK);
        std::wstring out(text ? text : L"", SysStringLen(text));
        SysFreeString(text);
        return out;
    }
    std::vector<Rect> RectsByRect(LONG page, RECT rc) {
        SAFEARRAY* array = nullptr;
        EXPECT_EQ(text_->GetTextRectsByRect(page, rc, &array), S_OK);
        return TakeRects(array);
    }
    std::vector<Rect> RectsByIndex(LONG page, LONG start, LONG length) {
        SAFEARRAY* array = nullptr;
        EXPECT_EQ(text_->GetTextRectsByTextIndex(page, start, length, &array), S_OK);
        return TakeRects(array);
    }
    std::wstring TextByRect(LONG page, RECT rc) {
        BSTR text = nullptr;
        EXPECT_EQ(text_->GetTextByRect(page, rc, &text), S_OK);
        std::wstring out(text ? text : L"", SysStringLen(text));
        SysFreeString(text);
        return out;
    }

    // Page `page` (0-based) of the open document against djvused's answers
    // stored as NAME.(page+1).pure and .zones.
    void ExpectPageMatches(const std::wstring& name, LONG page, bool topDown) {
        const std::wstring stem = name + L"." + std::to_wstring(page + 1);
        const std::wstring pureFile = FixtureFile(stem + L".pure");
        const std::wstring zonesFile = FixtureFile(stem + L".zones");
        ASSERT_FALSE(pureFile.empty() || zonesFile.empty());
        const std::wstring expectedText = FromUtf8(ReadFile(pureFile));
        EXPECT_EQ(PageText(page), expectedText);
        if (expectedText.empty()) {
            return;
        }
        const std::optional<textoracle::OracleZone> root =
            textoracle::PrintTxtParser(ReadFile(zonesFile)).Parse();
        ASSERT_TRUE(root);
        LONG height = 0;
        ASSERT_EQ(file_->get_PageHeight(page, &height), S_OK);
        const std::vector<FlatZone> zones = textoracle::Flatten(*root, height, topDown);

        // The whole page: every leaf's rectangle once, sorted by left edge;
        // the whole text.
        const FlatZone& pageZone = zones.front();
        const RECT all = {pageZone.left, pageZone.top, pageZone.right, pageZone.bottom};
        std::vector<Rect> leaves;
        for (std::size_t i = 0; i < zones.size(); ++i) {
            const bool leaf = i + 1 == zones.size() || zones[i + 1].depth <= zones[i].depth;
            if (leaf) {
                leaves.push_back(RectOf(zones[i]));
            }
        }
        std::sort(leaves.begin(), leaves.end());
        leaves.erase(std::unique(leaves.begin(), leaves.end()), leaves.end());
        EXPECT_EQ(RectsByRect(page, all), leaves);
        EXPECT_EQ(TextByRect(page, all), expectedText);
        LONG start = -2, length = -2;
        EXPECT_EQ(text_->GetTextIndexByRect(page, all, &start, &length), S_OK);
        EXPECT_EQ(start, 0);
        EXPECT_EQ(length, LONG(expectedText.size()));

        // Each leaf with text: found in order in the page text; its run gives
        // its rectangle alone, and its rectangle gives back at least its run.
        std::size_t cursor = 0;
        for (const FlatZone& zone : zones) {
            if (zone.text.empty()) {
                continue;
            }
            const std::wstring word = FromUtf8(zone.text);
            const std::size_t at = expectedText.find(word, cursor);
            ASSERT_NE(at, std::wstring::npos) << zone.text;
            cursor = at + word.size();
            SCOPED_TRACE(zone.text);
            EXPECT_EQ(RectsByIndex(page, LONG(at), LONG(word.size())),
                      std::vector<Rect>{RectOf(zone)});
            const RECT rc = {zone.left, zone.top, zone.right, zone.bottom};
            EXPECT_NE(TextByRect(page, rc).find(word), std::wstring::npos);
            start = length = -2;
            EXPECT_EQ(text_->GetTextIndexByRect(page, rc, &start, &length), S_OK);
            EXPECT_LE(start, LONG(at));
            EXPECT_GE(start + length, LONG(at + word.size()));
        }
    }

    ComPtr<IVyrdFile> file_;
    ComPtr<IVyrdFileText> text_;
};

TEST_F(TextLayer, FixturesMatchDjVuLibre) {
    struct Case {
        const wchar_t* name;
        bool topDown;  // bit 0 of the page's orientation code
    };
    for (const Case& c :
         {Case{L"every_kind", true}, Case{L"every_kind_6", false}, Case{L"every_kind_2", false}}) {
        const std::wstring path = FixtureFile(std::wstring(c.name) + L".djvu");
        if (path.empty()) {
            GTEST_SKIP() << "text fixtures not made (djvused missing at build time)";
        }
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(Open(path));
        ExpectPageMatches(c.name, 0, c.topDown);
    }
}

TEST_F(TextLayer, CorpusMatchesDjVuLibre) {
    const std::wstring document = CorpusFile(L"DjVu3Spec.djvu");
    if (document.empty() || FixtureFile(L"DjVu3Spec.1.pure").empty()) {
        GTEST_SKIP() << "corpus or its answers not available";
    }
    ASSERT_TRUE(Open(document));
    LONG pages = 0;
    ASSERT_EQ(file_->get_PageCount(&pages), S_OK);
    ASSERT_EQ(pages, 71);
    for (LONG page = 0; page < pages; ++page) {
        SCOPED_TRACE(page);
        if (page % 10 == 2) {
            ExpectPageMatches(L"DjVu3Spec", page, true);
        } else {
            EXPECT_EQ(PageText(page), FromUtf8(ReadFile(FixtureFile(
                                          L"DjVu3Spec." + std::to_wstring(page + 1) + L".pure"))));
        }
    }
    const std::wstring czech = CorpusFile(L"czech_1-3.djvu");
    if (!czech.empty()) {
        ASSERT_TRUE(Open(czech));
        for (LONG page = 0; page < 3; ++page) {
            SCOPED_TRACE(page);
            ExpectPageMatches(L"czech_1-3", page, true);
        }
    }
}

// every_kind, top-down: the first line's words are a (with characters a and
// ö), 𝄞😀, two empty words and 漢字.
TEST_F(TextLayer, EdgeCasesOfTheQueries) {
    const std::wstring path = FixtureFile(L"every_kind.djvu");
    if (path.empty()) {
        GTEST_SKIP() << "text fixtures not made (djvused missing at build time)";
    }
    ASSERT_TRUE(Open(path));
    const std::wstring text = PageText(0);
    // "aö 𝄞😀 漢字 \n...": the two characters outside the BMP count two each.
    ASSERT_EQ(text.substr(0, 8), L"a\u00F6 \U0001D11E\U0001F600 ");
    // Character a {10, 10, 29, 49}, ö {30, 10, 59, 49}.
    const Rect a{10, 10, 29, 49};
    const Rect o{30, 10, 59, 49};
    // A rectangle clipping two columns of ö selects all of it.
    LONG start = -2, length = -2;
    EXPECT_EQ(text_->GetTextIndexByRect(0, RECT{57, 20, 58, 30}, &start, &length), S_OK);
    EXPECT_EQ(start, 1);
    EXPECT_EQ(length, 1);
    // Touching ö along its last column only selects nothing.
    EXPECT_EQ(text_->GetTextIndexByRect(0, RECT{59, 20, 65, 30}, &start, &length), S_OK);
    EXPECT_EQ(start, -1);
    EXPECT_EQ(length, 0);
    BSTR none = reinterpret_cast<BSTR>(&start);
    EXPECT_EQ(text_->GetTextByRect(0, RECT{59, 20, 65, 30}, &none), S_OK);
    EXPECT_EQ(none, nullptr);
    EXPECT_EQ(RectsByRect(0, RECT{59, 20, 65, 30}), std::vector<Rect>{});
    // Corners given the wrong way round.
    EXPECT_EQ(RectsByRect(0, RECT{58, 30, 57, 20}), std::vector<Rect>{o});
    // An empty run inside a word: the characters holding both neighbours
    // (none, between a and ö); on the boundary of a word: nothing.
    EXPECT_EQ(RectsByIndex(0, 1, 0), std::vector<Rect>{});
    EXPECT_EQ(RectsByIndex(0, 0, 2), (std::vector<Rect>{a, o}));
    EXPECT_EQ(RectsByIndex(0, 3, 0), std::vector<Rect>{});
    // 𝄞😀 is one word of four code units: any part of it gives the word.
    EXPECT_EQ(RectsByIndex(0, 5, 1), (std::vector<Rect>{{70, 10, 99, 49}}));
    // Runs outside the text, and runs whose end does not fit in 32 bits.
    EXPECT_EQ(RectsByIndex(0, -100, 50), std::vector<Rect>{});
    EXPECT_EQ(RectsByIndex(0, LONG(text.size()) + 5, 3), std::vector<Rect>{});
    EXPECT_EQ(RectsByIndex(0, 0x7FFFFFFF, 0x7FFFFFFF), std::vector<Rect>{});
    EXPECT_EQ(RectsByIndex(0, 2, -5), std::vector<Rect>{});
    // The two characters c and d share a box: one rectangle.
    const std::size_t c = text.find(L"cd");
    ASSERT_NE(c, std::wstring::npos);
    EXPECT_EQ(RectsByIndex(0, LONG(c), 2), (std::vector<Rect>{{210, 10, 249, 189}}));
    // Pages without text leave their outputs alone; a closed reader says S_FALSE.
    SAFEARRAY* untouched = nullptr;
    EXPECT_EQ(text_->GetTextRectsByRect(1, RECT{0, 0, 10, 10}, &untouched), S_OK);
    EXPECT_EQ(untouched, nullptr);
    EXPECT_EQ(file_->CloseFile(), S_OK);
    BSTR closed = nullptr;
    EXPECT_EQ(text_->GetPageText(0, &closed), S_FALSE);
    EXPECT_EQ(closed, nullptr);
}

}  // namespace
