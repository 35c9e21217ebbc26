// CDjVuFile as an outside client sees it: created by class identifier or
// ProgID, called through raw IVyrdFile vtable slots, with real documents and
// fixtures written by the test.

#include "Contract.h"
#include "IffBuilder.h"
#include "RawClient.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

using namespace testwin;
using testiff::SinglePage;

constexpr LONG kBilevelPixelType = 3;
constexpr LONG kBgrPixelType = 1;
constexpr LONG kBottomUpFlag = 2;

TEST(ReaderCreation, ProgIdsNameTheReaderClass) {
    const GUID expected = Guid(contract::kClsidDjVuFile);
    for (const wchar_t* progId : {L"VyrdDjVuFile.DjVuFile", L"VyrdDjVuFile.DjVuFile.1"}) {
        CLSID clsid = GUID_NULL;
        ASSERT_EQ(CLSIDFromProgID(progId, &clsid), S_OK) << progId;
        EXPECT_TRUE(IsEqualGUID(clsid, expected)) << progId;
    }
    const GUID item = Guid(contract::kClsidContentItem);
    for (const wchar_t* progId :
         {L"VyrdDjVuFile.CDjVuFileContentItem", L"VyrdDjVuFile.CDjVuFileContentItem.1"}) {
        CLSID clsid = GUID_NULL;
        ASSERT_EQ(CLSIDFromProgID(progId, &clsid), S_OK) << progId;
        EXPECT_TRUE(IsEqualGUID(clsid, item)) << progId;
    }
}

TEST(ReaderCreation, ObjectFromProgIdReadsADocument) {
    CLSID clsid = GUID_NULL;
    ASSERT_EQ(CLSIDFromProgID(L"VyrdDjVuFile.DjVuFile", &clsid), S_OK);
    RawVyrdFile file(Create(clsid, Guid(contract::kIidVyrdFile)));
    ASSERT_TRUE(file.Get());
    TempFile doc(SinglePage(40, 30));
    EXPECT_EQ(file.OpenFile(doc.Path()), S_OK);
    EXPECT_EQ(file.PageCount(), 1);
}

TEST(ReaderCreation, AnswersEveryInterfaceOfItsClassWithOneIdentity) {
    RawVyrdFile file = RawVyrdFile::Create();
    ASSERT_TRUE(file.Get());
    ComPtr<IUnknown> identity;
    ASSERT_EQ(file.Get()->QueryInterface(IID_IUnknown, identity.PutVoid()), S_OK);
    struct Case {
        const wchar_t* iid;
        HRESULT expected;
    };
    const Case cases[] = {
        {contract::kIidVyrdFile, S_OK},
        {contract::kIidVyrdFileContent, S_OK},
        {contract::kIidVyrdFileText, S_OK},
        {contract::kIidVyrdFileInternalLinks, S_OK},
        {L"{00020400-0000-0000-C000-000000000046}", S_OK},  // IDispatch
        {L"{B196B284-BAB4-101A-B69C-00AA00341D07}", S_OK},  // IConnectionPointContainer
        {L"{B196B283-BAB4-101A-B69C-00AA00341D07}", S_OK},  // IProvideClassInfo
        {contract::kIidVyrdFileContentItem, E_NOINTERFACE},
        {contract::kIidPageImage, E_NOINTERFACE},
    };
    for (const Case& c : cases) {
        ComPtr<IUnknown> itf;
        EXPECT_EQ(file.Get()->QueryInterface(Guid(c.iid), itf.PutVoid()), c.expected) << c.iid;
        if (c.expected == S_OK && itf) {
            ComPtr<IUnknown> back;
            ASSERT_EQ(itf->QueryInterface(IID_IUnknown, back.PutVoid()), S_OK);
            EXPECT_EQ(back.Get(), identity.Get()) << c.iid;
        } else {
            EXPECT_FALSE(itf) << c.iid;
        }
    }
}

// The check that the whole chain works: a real document through the reader
// into a page image of the viewer component.
TEST(ReaderCorpus, BoyJb2DeliversItsPageAsABilevelImage) {
    const std::wstring path = CorpusFile(L"boy_jb2.djvu");
    if (path.empty()) {
        GTEST_SKIP() << "corpus not available";
    }
    RawVyrdFile file = RawVyrdFile::Create();
    ASSERT_TRUE(file.Get());
    ASSERT_EQ(file.OpenFile(path), S_OK);

    LONG count = 0, width = 0, height = 0;
    double hdpi = 0, vdpi = 0;
    EXPECT_EQ(file.PageCount(&count), S_OK);
    EXPECT_EQ(count, 1);
    EXPECT_EQ(file.PageWidth(0, &width), S_OK);
    EXPECT_EQ(width, 192);
    EXPECT_EQ(file.PageHeight(0, &height), S_OK);
    EXPECT_EQ(height, 256);
    EXPECT_EQ(file.PageHorizontalDpi(0, &hdpi), S_OK);
    EXPECT_EQ(hdpi, 300.0);
    EXPECT_EQ(file.PageVerticalDpi(0, &vdpi), S_OK);
    EXPECT_EQ(vdpi, 300.0);

    IUnknown* rawImage = nullptr;
    ASSERT_EQ(file.GetPage(0, 1.0, &rawImage), S_OK);
    ASSERT_NE(rawImage, nullptr);
    ComPtr<IUnknown> image = ComPtr<IUnknown>::Adopt(rawImage);
    RawPageImage page(image.Get());
    ASSERT_TRUE(page.Get());
    EXPECT_EQ(page.GetLong(kGetWidth), 192);
    EXPECT_EQ(page.GetLong(kGetHeight), 256);
    EXPECT_EQ(page.GetLong(kGetPixelType), kBilevelPixelType);
    EXPECT_EQ(page.GetLong(kGetBytesPerRow), 192);
    EXPECT_EQ(page.GetLong(kGetFlags), kBottomUpFlag);
    EXPECT_EQ(page.GetLong(kGetByteCount), 192 * 256);
    BYTE* pixels = page.Pixels();
    ASSERT_NE(pixels, nullptr);
    // One byte per pixel, 1 for ink and 0 for paper.
    for (int i = 0; i < 192 * 256; ++i) {
        ASSERT_LE(pixels[i], 1) << "pixel " << i;
    }
    // The block came from the process heap and now belongs to the image.
    EXPECT_TRUE(IsBusyProcessHeapBlock(pixels));
    page.Reset();
    image.Reset();
    EXPECT_FALSE(IsBusyProcessHeapBlock(pixels));
}

// Single-page documents of other encoders: their size and resolution, and a
// page image whose layout agrees with its pixel type.
TEST(ReaderCorpus, SinglePageDocumentsReportTheirPages) {
    struct Case {
        const wchar_t* name;
        LONG width;
        LONG height;
        double dpi;
    };
    const Case cases[] = {
        {L"boy_jb2.djvu", 192, 256, 300},
        {L"boy.djvu", 192, 256, 100},
        {L"chicken.djvu", 181, 240, 100},
        {L"happy_birthday.djvu", 475, 400, 300},
    };
    int seen = 0;
    for (const Case& c : cases) {
        const std::wstring path = CorpusFile(c.name);
        if (path.empty()) {
            continue;
        }
        ++seen;
        SCOPED_TRACE(testing::Message() << "document " << c.name);
        RawVyrdFile file = RawVyrdFile::Create();
        ASSERT_EQ(file.OpenFile(path), S_OK);
        EXPECT_EQ(file.PageCount(), 1);
        LONG width = 0, height = 0;
        double hdpi = 0, vdpi = 0;
        EXPECT_EQ(file.PageWidth(0, &width), S_OK);
        EXPECT_EQ(file.PageHeight(0, &height), S_OK);
        EXPECT_EQ(file.PageHorizontalDpi(0, &hdpi), S_OK);
        EXPECT_EQ(file.PageVerticalDpi(0, &vdpi), S_OK);
        EXPECT_EQ(width, c.width);
        EXPECT_EQ(height, c.height);
        EXPECT_EQ(hdpi, c.dpi);
        EXPECT_EQ(vdpi, hdpi);

        IUnknown* rawImage = nullptr;
        ASSERT_EQ(file.GetPage(0, 1.0, &rawImage), S_OK);
        ASSERT_NE(rawImage, nullptr);
        ComPtr<IUnknown> image = ComPtr<IUnknown>::Adopt(rawImage);
        RawPageImage page(image.Get());
        ASSERT_TRUE(page.Get());
        EXPECT_EQ(page.GetLong(kGetWidth), c.width);
        EXPECT_EQ(page.GetLong(kGetHeight), c.height);
        EXPECT_EQ(page.GetLong(kGetFlags), kBottomUpFlag);
        const LONG type = page.GetLong(kGetPixelType);
        ASSERT_TRUE(type == kBilevelPixelType || type == kBgrPixelType) << type;
        const LONG rowBytes = type == kBgrPixelType ? c.width * 3 : c.width;
        EXPECT_EQ(page.GetLong(kGetBytesPerRow), rowBytes);
        EXPECT_EQ(page.GetLong(kGetByteCount), rowBytes * c.height);
        EXPECT_NE(page.Pixels(), nullptr);
    }
    if (seen == 0) {
        GTEST_SKIP() << "corpus not available";
    }
}

// Multi-page documents: the directory's page count, and each page's size where
// the page lies inside the file (an index of separate files has none).
TEST(ReaderCorpus, MultiPageDocumentsReportEveryPage) {
    struct Case {
        const wchar_t* name;
        LONG pages;
        LONG lastWidth;
        LONG lastHeight;
        HRESULT lastHr;
    };
    const Case cases[] = {
        {L"DjVu3Spec.djvu", 71, 2539, 3295, S_OK},
        {L"navm_fgbz.djvu", 6, 2550, 3300, S_OK},
        {L"czech_1-3.djvu", 3, 1052, 1720, S_OK},
        {L"index08.djvu", 838, 0, 0, S_FALSE},
    };
    int seen = 0;
    for (const Case& c : cases) {
        const std::wstring path = CorpusFile(c.name);
        if (path.empty()) {
            continue;
        }
        ++seen;
        SCOPED_TRACE(testing::Message() << "document " << c.name);
        RawVyrdFile file = RawVyrdFile::Create();
        ASSERT_EQ(file.OpenFile(path), S_OK);
        EXPECT_EQ(file.PageCount(), c.pages);
        LONG width = -1, height = -1;
        EXPECT_EQ(file.PageWidth(c.pages - 1, &width), c.lastHr);
        EXPECT_EQ(file.PageHeight(c.pages - 1, &height), c.lastHr);
        EXPECT_EQ(width, c.lastWidth);
        EXPECT_EQ(height, c.lastHeight);
        EXPECT_EQ(file.PageWidth(c.pages, &width), S_FALSE);
        IUnknown* rawImage = nullptr;
        ASSERT_EQ(file.GetPage(c.pages - 1, 1.0, &rawImage), S_OK);
        EXPECT_EQ(rawImage != nullptr, c.lastHr == S_OK);
        if (rawImage != nullptr) {
            rawImage->Release();
        }
    }
    if (seen == 0) {
        GTEST_SKIP() << "corpus not available";
    }
}

TEST(ReaderSample, SampleDocumentOpensAndDeliversItsFirstPage) {
    const std::wstring path = SampleFile(L"sample.djvu");
    if (path.empty()) {
        GTEST_SKIP() << "samples/sample.djvu not available";
    }
    RawVyrdFile file = RawVyrdFile::Create();
    ASSERT_EQ(file.OpenFile(path), S_OK);
    const LONG count = file.PageCount();
    ASSERT_GE(count, 1);
    LONG width = 0, height = 0;
    ASSERT_EQ(file.PageWidth(0, &width), S_OK);
    ASSERT_EQ(file.PageHeight(0, &height), S_OK);
    IUnknown* rawImage = nullptr;
    ASSERT_EQ(file.GetPage(0, 1.0, &rawImage), S_OK);
    ASSERT_NE(rawImage, nullptr);
    ComPtr<IUnknown> image = ComPtr<IUnknown>::Adopt(rawImage);
    RawPageImage page(image.Get());
    EXPECT_EQ(page.GetLong(kGetWidth), width);
    EXPECT_EQ(page.GetLong(kGetHeight), height);
}

// Every page image is a new object with a pixel block of its own, so images of
// the same page can live side by side and go in any order.
TEST(ReaderPages, EachGetPageHandsOverANewBlock) {
    RawVyrdFile file = RawVyrdFile::Create();
    TempFile doc(SinglePage(64, 48));
    ASSERT_EQ(file.OpenFile(doc.Path()), S_OK);
    IUnknown* first = nullptr;
    IUnknown* second = nullptr;
    ASSERT_EQ(file.GetPage(0, 1.0, &first), S_OK);
    ASSERT_EQ(file.GetPage(0, 1.0, &second), S_OK);
    ASSERT_TRUE(first && second);
    ComPtr<IUnknown> a = ComPtr<IUnknown>::Adopt(first);
    ComPtr<IUnknown> b = ComPtr<IUnknown>::Adopt(second);
    EXPECT_NE(a.Get(), b.Get());
    BYTE* pixelsA = RawPageImage(a.Get()).Pixels();
    BYTE* pixelsB = RawPageImage(b.Get()).Pixels();
    ASSERT_TRUE(pixelsA && pixelsB);
    EXPECT_NE(pixelsA, pixelsB);
    // The reader kept nothing: closing the document leaves the images intact.
    EXPECT_EQ(file.CloseFile(), S_OK);
    EXPECT_TRUE(IsBusyProcessHeapBlock(pixelsA));
    a.Reset();
    EXPECT_FALSE(IsBusyProcessHeapBlock(pixelsA));
    EXPECT_TRUE(IsBusyProcessHeapBlock(pixelsB));
    b.Reset();
    EXPECT_FALSE(IsBusyProcessHeapBlock(pixelsB));
}

}  // namespace
