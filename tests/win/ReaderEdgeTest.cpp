// The edge cases of IVyrdFile: the S_OK / S_FALSE / zero rules for pages that
// are not there, documents that are not open, and files that are not DjVu.

#include "IffBuilder.h"
#include "RawClient.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <tuple>

namespace {

using namespace testwin;
using namespace testiff;

IUnknown* const kSentinel = reinterpret_cast<IUnknown*>(0x1234);

class ReaderEdge : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(file_.Get()); }

    // GetPage's result and whether it gave an image (released at once).
    struct PageResult {
        HRESULT hr;
        bool image;
    };
    PageResult Page(LONG index, double zoom = 1.0) const {
        IUnknown* image = kSentinel;
        const HRESULT hr = file_.GetPage(index, zoom, &image);
        EXPECT_NE(image, kSentinel) << "GetPage left its output unset";
        const bool gotImage = image != nullptr && image != kSentinel;
        if (gotImage) {
            image->Release();
        }
        return {hr, gotImage};
    }

    RawVyrdFile file_ = RawVyrdFile::Create();
};

TEST_F(ReaderEdge, GetPageWithoutOutputPointerIsSFalse) {
    EXPECT_EQ(file_.GetPage(0, 1.0, nullptr), S_FALSE);
    TempFile doc(SinglePage(20, 10));
    ASSERT_EQ(file_.OpenFile(doc.Path()), S_OK);
    EXPECT_EQ(file_.GetPage(0, 1.0, nullptr), S_FALSE);
}

// Index, what each page query answers, and what GetPage answers, on a closed
// object and on an open one-page document of 100 x 50 at 150 dpi.
TEST_F(ReaderEdge, PageQueriesFollowTheOpenAndIndexRules) {
    struct Case {
        bool open;
        LONG index;
        HRESULT queryHr;
        LONG width;
        LONG height;
        double dpi;
        HRESULT pageHr;
        bool image;
    };
    const Case cases[] = {
        {false, 0, S_OK, 0, 0, 0.0, S_OK, false},
        {false, 5, S_OK, 0, 0, 0.0, S_OK, false},
        {false, -1, S_OK, 0, 0, 0.0, S_OK, false},
        {true, 0, S_OK, 100, 50, 150.0, S_OK, true},
        {true, 1, S_FALSE, 0, 0, 0.0, S_OK, false},
        {true, 5, S_FALSE, 0, 0, 0.0, S_OK, false},
        {true, -1, S_FALSE, 0, 0, 0.0, S_OK, false},
        {true, 0x7FFFFFFF, S_FALSE, 0, 0, 0.0, S_OK, false},
    };
    TempFile doc(SinglePage(100, 50, 150));
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "open " << c.open << " index " << c.index);
        if (c.open) {
            ASSERT_EQ(file_.OpenFile(doc.Path()), S_OK);
        } else {
            ASSERT_EQ(file_.CloseFile(), S_OK);
        }
        LONG width = -7, height = -7;
        double hdpi = -7, vdpi = -7;
        EXPECT_EQ(file_.PageWidth(c.index, &width), c.queryHr);
        EXPECT_EQ(file_.PageHeight(c.index, &height), c.queryHr);
        EXPECT_EQ(file_.PageHorizontalDpi(c.index, &hdpi), c.queryHr);
        EXPECT_EQ(file_.PageVerticalDpi(c.index, &vdpi), c.queryHr);
        EXPECT_EQ(width, c.width);
        EXPECT_EQ(height, c.height);
        EXPECT_EQ(hdpi, c.dpi);
        EXPECT_EQ(vdpi, c.dpi);
        const PageResult page = Page(c.index);
        EXPECT_EQ(page.hr, c.pageHr);
        EXPECT_EQ(page.image, c.image);
    }
}

TEST_F(ReaderEdge, NullOutputPointersAreSFalse) {
    TempFile doc(SinglePage(20, 10));
    ASSERT_EQ(file_.OpenFile(doc.Path()), S_OK);
    EXPECT_EQ(file_.PageCount(nullptr), S_FALSE);
    EXPECT_EQ(file_.PageWidth(0, nullptr), S_FALSE);
    EXPECT_EQ(file_.PageHeight(0, nullptr), S_FALSE);
    EXPECT_EQ(file_.PageHorizontalDpi(0, nullptr), S_FALSE);
    EXPECT_EQ(file_.PageVerticalDpi(0, nullptr), S_FALSE);
    EXPECT_EQ(file_.HasInternalZoom(nullptr), S_FALSE);
}

TEST_F(ReaderEdge, ResolutionsAgreeForEveryStoredDpi) {
    // INFO keeps one resolution; out-of-range values read as 300.
    struct Case {
        uint16_t stored;
        double reported;
    };
    const Case cases[] = {{75, 75}, {150, 150}, {600, 600}, {6000, 6000}, {20, 300}, {7000, 300}};
    for (const Case& c : cases) {
        TempFile doc(SinglePage(10, 10, c.stored));
        ASSERT_EQ(file_.OpenFile(doc.Path()), S_OK);
        double hdpi = 0, vdpi = 0;
        EXPECT_EQ(file_.PageHorizontalDpi(0, &hdpi), S_OK);
        EXPECT_EQ(file_.PageVerticalDpi(0, &vdpi), S_OK);
        EXPECT_EQ(hdpi, c.reported) << c.stored;
        EXPECT_EQ(vdpi, hdpi) << c.stored;
    }
}

TEST_F(ReaderEdge, NoInternalZoomAndTheSamePageAtEveryZoom) {
    VARIANT_BOOL zoom = VARIANT_TRUE;
    EXPECT_EQ(file_.HasInternalZoom(&zoom), S_OK);
    EXPECT_EQ(zoom, VARIANT_FALSE);

    TempFile doc(SinglePage(33, 21));
    ASSERT_EQ(file_.OpenFile(doc.Path()), S_OK);
    zoom = VARIANT_TRUE;
    EXPECT_EQ(file_.HasInternalZoom(&zoom), S_OK);
    EXPECT_EQ(zoom, VARIANT_FALSE);

    struct Shot {
        LONG type, width, height, rowBytes, flags, byteCount;
        std::vector<BYTE> pixels;
    };
    auto shoot = [&](double zoomFactor) {
        IUnknown* raw = nullptr;
        EXPECT_EQ(file_.GetPage(0, zoomFactor, &raw), S_OK);
        Shot shot{};
        if (!raw) {
            ADD_FAILURE() << "no image at zoom " << zoomFactor;
            return shot;
        }
        ComPtr<IUnknown> image = ComPtr<IUnknown>::Adopt(raw);
        RawPageImage page(image.Get());
        shot.type = page.GetLong(kGetPixelType);
        shot.width = page.GetLong(kGetWidth);
        shot.height = page.GetLong(kGetHeight);
        shot.rowBytes = page.GetLong(kGetBytesPerRow);
        shot.flags = page.GetLong(kGetFlags);
        shot.byteCount = page.GetLong(kGetByteCount);
        const BYTE* pixels = page.Pixels();
        if (pixels && shot.byteCount > 0) {
            shot.pixels.assign(pixels, pixels + shot.byteCount);
        }
        return shot;
    };
    const Shot reference = shoot(1.0);
    EXPECT_EQ(reference.width, 33);
    EXPECT_EQ(reference.height, 21);
    for (double zoomFactor : {0.5, 2.0, 0.0, -1.0}) {
        const Shot other = shoot(zoomFactor);
        EXPECT_EQ(other.type, reference.type) << zoomFactor;
        EXPECT_EQ(other.width, reference.width) << zoomFactor;
        EXPECT_EQ(other.height, reference.height) << zoomFactor;
        EXPECT_EQ(other.rowBytes, reference.rowBytes) << zoomFactor;
        EXPECT_EQ(other.flags, reference.flags) << zoomFactor;
        EXPECT_EQ(other.byteCount, reference.byteCount) << zoomFactor;
        EXPECT_EQ(other.pixels, reference.pixels) << zoomFactor;
    }
}

TEST_F(ReaderEdge, MissingFileLeavesTheObjectClosed) {
    const std::wstring missing = TempFile::UniquePath(L".djvu");
    // Once on a fresh object, once after a document was open.
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        TempFile doc(SinglePage(20, 10));
        if (round == 1) {
            ASSERT_EQ(file_.OpenFile(doc.Path()), S_OK);
            ASSERT_EQ(file_.PageCount(), 1);
        }
        EXPECT_EQ(file_.OpenFile(missing), S_FALSE);
        LONG count = -1;
        EXPECT_EQ(file_.PageCount(&count), S_OK);
        EXPECT_EQ(count, 0);
        const PageResult page = Page(0);
        EXPECT_EQ(page.hr, S_OK);
        EXPECT_FALSE(page.image);
        LONG width = -1;
        EXPECT_EQ(file_.PageWidth(0, &width), S_OK);  // closed: S_OK and 0
        EXPECT_EQ(width, 0);
    }
}

TEST_F(ReaderEdge, PathsThatNameNoDocumentAreRefused) {
    EXPECT_EQ(file_.OpenFileBstr(nullptr), S_FALSE);
    EXPECT_EQ(file_.OpenFile(L""), S_FALSE);
    // A folder exists but is no file to map.
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, temp);
    EXPECT_EQ(file_.OpenFile(temp), S_FALSE);
    EXPECT_EQ(file_.PageCount(), 0);
}

TEST_F(ReaderEdge, CloseFileTwiceIsHarmless) {
    EXPECT_EQ(file_.CloseFile(), S_OK);
    EXPECT_EQ(file_.CloseFile(), S_OK);
    TempFile doc(SinglePage(20, 10));
    ASSERT_EQ(file_.OpenFile(doc.Path()), S_OK);
    EXPECT_EQ(file_.CloseFile(), S_OK);
    EXPECT_EQ(file_.CloseFile(), S_OK);
    EXPECT_EQ(file_.PageCount(), 0);
    const PageResult page = Page(0);
    EXPECT_EQ(page.hr, S_OK);
    EXPECT_FALSE(page.image);
    // And the object opens again afterwards.
    EXPECT_EQ(file_.OpenFile(doc.Path()), S_OK);
    EXPECT_EQ(file_.PageCount(), 1);
}

TEST_F(ReaderEdge, ClosingReleasesTheFile) {
    // While open the file is mapped; after CloseFile, and right after a refused
    // open, it can be deleted.
    const std::wstring path = TempFile::UniquePath(L".djvu");
    for (const Bytes& bytes : {SinglePage(20, 10), File({Form("DJVU", {}), Bytes{'X'}})}) {
        {
            TempFile doc(bytes);
            ASSERT_TRUE(MoveFileW(doc.Path().c_str(), path.c_str()));
        }
        if (file_.OpenFile(path) == S_OK) {
            // Mapped while open: the file cannot go.
            EXPECT_FALSE(DeleteFileW(path.c_str()));
            EXPECT_EQ(file_.CloseFile(), S_OK);
        }
        // Closed, or refused: the reader holds nothing of the file.
        EXPECT_TRUE(DeleteFileW(path.c_str())) << GetLastError();
    }
}

// Files as the container sees them: the HRESULT of OpenFile, the page count,
// and what page 0 gives (size query and GetPage).
TEST_F(ReaderEdge, MalformedFilesOpenOrFailAsTheContainerRules) {
    const Bytes page = Form("DJVU", {Chunk("INFO", InfoBody(30, 20))});
    Bytes longForm = page;
    longForm[7] = 0xF0;  // declared FORM length far past the end of the file
    struct Case {
        const char* name;
        Bytes bytes;
        HRESULT openHr;
        LONG pages;
        HRESULT widthHr;
        LONG width;
        HRESULT pageHr;
        bool image;
    };
    const Case cases[] = {
        {"empty file", {}, S_FALSE, 0, S_OK, 0, S_OK, false},
        {"three bytes", Text("AT&"), S_FALSE, 0, S_OK, 0, S_OK, false},
        {"magic alone", Text("AT&T"), S_FALSE, 0, S_OK, 0, S_OK, false},
        {"wrong magic", Concat({Text("AT&X"), page}), S_FALSE, 0, S_OK, 0, S_OK, false},
        {"no magic", page, S_FALSE, 0, S_OK, 0, S_OK, false},
        {"magic and a torn header", Concat({Text("AT&T"), Text("FOR")}), S_FALSE, 0, S_OK, 0, S_OK,
         false},
        {"page and a torn header", Concat({Text("AT&T"), page, Text("FORM")}), S_FALSE, 0, S_OK, 0,
         S_OK, false},
        {"form length past the end", Concat({Text("AT&T"), longForm}), S_OK, 1, S_OK, 30, S_OK,
         true},
        {"well formed", File({page}), S_OK, 1, S_OK, 30, S_OK, true},
        {"top-level chunk not a form", File({Chunk("INFO", InfoBody(30, 20))}), S_OK, 0, S_FALSE, 0,
         S_OK, false},
        {"form of another type", File({Form("DJVI", {Chunk("INFO", InfoBody(30, 20))})}), S_OK, 0,
         S_FALSE, 0, S_OK, false},
        {"page without INFO", File({Form("DJVU", {Chunk("Sjbz", Bytes{1, 2, 3})})}), S_OK, 1,
         S_FALSE, 0, S_OK, false},
        {"INFO not first",
         File({Form("DJVU", {Chunk("Sjbz", Bytes{1}), Chunk("INFO", InfoBody(30, 20))})}), S_OK, 1,
         S_FALSE, 0, S_OK, false},
        // A short INFO gives a page of size 0: known, but nothing to render.
        {"INFO of four bytes", File({Form("DJVU", {Chunk("INFO", Bytes{0, 30, 0, 20})})}), S_OK, 1,
         S_OK, 0, S_FALSE, false},
        // A directory of no components opens with no pages.
        {"empty directory", File({Form("DJVM", {Chunk("DIRM", Bytes{0x81, 0, 0}), page})}), S_OK, 0,
         S_FALSE, 0, S_OK, false},
        // A directory that counts a component its string table does not name
        // is refused, and the object stays closed.
        {"directory short of strings",
         File({Form("DJVM", {Chunk("DIRM", Bytes{0x81, 0, 1}), page})}), E_INVALIDARG, 0, S_OK, 0,
         S_OK, false},
        // A directory version the reader does not know: no pages.
        {"directory of version 2", File({Form("DJVM", {Chunk("DIRM", Bytes{0x82, 0, 1}), page})}),
         S_OK, 0, S_FALSE, 0, S_OK, false},
    };
    TempFile good(SinglePage(50, 40));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // Each case follows an open document, which the failed open must drop.
        ASSERT_EQ(file_.OpenFile(good.Path()), S_OK);
        TempFile doc(c.bytes);
        EXPECT_EQ(file_.OpenFile(doc.Path()), c.openHr);
        EXPECT_EQ(file_.PageCount(), c.pages);
        LONG width = -1;
        EXPECT_EQ(file_.PageWidth(0, &width), c.widthHr);
        EXPECT_EQ(width, c.width);
        const PageResult result = Page(0);
        EXPECT_EQ(result.hr, c.pageHr);
        EXPECT_EQ(result.image, c.image);
        file_.CloseFile();
    }
}

TEST_F(ReaderEdge, PageInformationIsKeptPerIndex) {
    // Sizes are cached per page: asking again gives the same answers, and a
    // new document replaces them.
    TempFile first(SinglePage(11, 12, 100));
    TempFile second(SinglePage(21, 22, 200));
    for (int round = 0; round < 2; ++round) {
        for (const auto& [doc, width, height] :
             {std::tuple{&first, 11, 12}, std::tuple{&second, 21, 22}}) {
            ASSERT_EQ(file_.OpenFile(doc->Path()), S_OK);
            for (int repeat = 0; repeat < 2; ++repeat) {
                LONG w = 0, h = 0;
                EXPECT_EQ(file_.PageWidth(0, &w), S_OK);
                EXPECT_EQ(file_.PageHeight(0, &h), S_OK);
                EXPECT_EQ(w, width);
                EXPECT_EQ(h, height);
            }
        }
    }
}

}  // namespace
