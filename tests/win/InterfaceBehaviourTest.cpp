// IVyrdFileContent, IVyrdFileText, IVyrdFileInternalLinks and the content item
// on documents without outline, text layer or links: what each method answers
// when there is nothing to give.

#include "IffBuilder.h"
#include "TestSupport.h"
#include "VyrdFilesFormat.h"

#include <gtest/gtest.h>

namespace {

using namespace testwin;

class NothingToGive : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(CoCreateInstance(CLSID_CDjVuFile, nullptr, CLSCTX_INPROC_SERVER, IID_IVyrdFile,
                                   file_.PutVoid()),
                  S_OK);
        content_ = file_.As<IVyrdFileContent>(IID_IVyrdFileContent);
        text_ = file_.As<IVyrdFileText>(IID_IVyrdFileText);
        links_ = file_.As<IVyrdFileInternalLinks>(IID_IVyrdFileInternalLinks);
        ASSERT_TRUE(content_ && text_ && links_);
    }
    void Open() { ASSERT_EQ(file_->OpenFile(TestBstr(doc_.Path()).Get()), S_OK); }

    TempFile doc_{testiff::SinglePage(200, 100)};
    ComPtr<IVyrdFile> file_;
    ComPtr<IVyrdFileContent> content_;
    ComPtr<IVyrdFileText> text_;
    ComPtr<IVyrdFileInternalLinks> links_;
};

// The outline of a document without NAVM is the root alone, closed or open.
TEST_F(NothingToGive, OutlineIsTheRootAlone) {
    for (bool open : {false, true}) {
        SCOPED_TRACE(open ? "open" : "closed");
        if (open) {
            Open();
        }
        EXPECT_EQ(content_->GotoRoot(), S_OK);
        LONG count = -1;
        EXPECT_EQ(content_->get_ChildsCount(&count), S_OK);
        EXPECT_EQ(count, 0);
        EXPECT_EQ(content_->GotoChilds(), S_FALSE);
        EXPECT_EQ(content_->GotoFirst(), S_OK);  // at the root nothing moves
        EXPECT_EQ(content_->GotoPrevious(), S_FALSE);
        EXPECT_EQ(content_->GotoNext(), S_FALSE);
        EXPECT_EQ(content_->GotoLast(), S_FALSE);
        IVyrdFileContentItem* item = reinterpret_cast<IVyrdFileContentItem*>(1);
        EXPECT_EQ(content_->GetCurrentItem(&item), S_OK);
        EXPECT_EQ(item, nullptr);
        for (LONG id : {0, 1, -1}) {
            item = reinterpret_cast<IVyrdFileContentItem*>(1);
            EXPECT_EQ(content_->GetItem(id, &item), S_OK);
            EXPECT_EQ(item, nullptr);
        }
        // Off the tree: everything but GotoRoot says S_FALSE.
        EXPECT_EQ(content_->GotoParent(), S_OK);
        count = -1;
        EXPECT_EQ(content_->get_ChildsCount(&count), S_FALSE);
        EXPECT_EQ(count, 0);
        EXPECT_EQ(content_->GotoParent(), S_FALSE);
        EXPECT_EQ(content_->GotoChilds(), S_FALSE);
        EXPECT_EQ(content_->GotoFirst(), S_FALSE);
        EXPECT_EQ(content_->GotoRoot(), S_OK);
        EXPECT_EQ(content_->get_ChildsCount(&count), S_OK);
    }
    EXPECT_EQ(content_->get_ChildsCount(nullptr), S_FALSE);
    EXPECT_EQ(content_->GetCurrentItem(nullptr), S_FALSE);
    EXPECT_EQ(content_->GetItem(1, nullptr), S_FALSE);
}

TEST_F(NothingToGive, TextQueriesWithoutADocumentAreSFalse) {
    BSTR text = nullptr;
    SAFEARRAY* rects = nullptr;
    LONG start = 5, length = 5;
    const RECT rc = {0, 0, 100, 100};
    EXPECT_EQ(text_->GetPageText(0, &text), S_FALSE);
    EXPECT_EQ(text_->GetTextRectsByRect(0, rc, &rects), S_FALSE);
    EXPECT_EQ(text_->GetTextRectsByTextIndex(0, 0, 10, &rects), S_FALSE);
    EXPECT_EQ(text_->GetTextByRect(0, rc, &text), S_FALSE);
    EXPECT_EQ(text_->GetTextIndexByRect(0, rc, &start, &length), S_FALSE);
    EXPECT_EQ(text, nullptr);
    EXPECT_EQ(rects, nullptr);
}

TEST_F(NothingToGive, PageWithoutTextLayerGivesEmptyResults) {
    Open();
    const RECT rc = {0, 0, 199, 99};
    for (LONG page : {0, 1, 7}) {
        SCOPED_TRACE(page);
        // Outputs the caller initialised stay as they were...
        BSTR text = nullptr;
        EXPECT_EQ(text_->GetPageText(page, &text), S_OK);
        EXPECT_EQ(text, nullptr);
        SAFEARRAY* rects = nullptr;
        EXPECT_EQ(text_->GetTextRectsByRect(page, rc, &rects), S_OK);
        EXPECT_EQ(rects, nullptr);
        EXPECT_EQ(text_->GetTextRectsByTextIndex(page, 0, 5, &rects), S_OK);
        EXPECT_EQ(rects, nullptr);
        // ...and the others say "nothing".
        text = reinterpret_cast<BSTR>(&text);
        EXPECT_EQ(text_->GetTextByRect(page, rc, &text), S_OK);
        EXPECT_EQ(text, nullptr);
        LONG start = 5, length = 5;
        EXPECT_EQ(text_->GetTextIndexByRect(page, rc, &start, &length), S_OK);
        EXPECT_EQ(start, -1);
        EXPECT_EQ(length, 0);
    }
    EXPECT_EQ(text_->GetPageText(0, nullptr), S_FALSE);
    EXPECT_EQ(text_->GetTextByRect(0, rc, nullptr), S_FALSE);
    LONG value = 0;
    EXPECT_EQ(text_->GetTextIndexByRect(0, rc, &value, nullptr), S_FALSE);
    EXPECT_EQ(text_->GetTextIndexByRect(0, rc, nullptr, &value), S_FALSE);
}

TEST_F(NothingToGive, NoPointIsOnALink) {
    for (bool open : {false, true}) {
        SCOPED_TRACE(open ? "open" : "closed");
        if (open) {
            Open();
        }
        for (LONG page : {0, 3}) {
            VARIANT_BOOL inLink = VARIANT_TRUE;
            EXPECT_EQ(links_->IsInLink(page, POINT{10, 10}, &inLink), S_OK);
            EXPECT_EQ(inLink, VARIANT_FALSE);
            LONG target = 99;
            POINT topLeft = {5, 5};
            EXPECT_EQ(links_->GetLink(page, POINT{10, 10}, &target, &topLeft), S_OK);
            EXPECT_EQ(target, -1);
            EXPECT_EQ(topLeft.x, 0);
            EXPECT_EQ(topLeft.y, 0);
        }
    }
    LONG target = 0;
    POINT topLeft = {};
    EXPECT_EQ(links_->IsInLink(0, POINT{}, nullptr), S_FALSE);
    EXPECT_EQ(links_->GetLink(0, POINT{}, nullptr, &topLeft), S_FALSE);
    EXPECT_EQ(links_->GetLink(0, POINT{}, &target, nullptr), S_FALSE);
}

// A negative page index is an error carried out as E_INVALIDARG, never an
// exception across the interface; the object stays usable.
TEST_F(NothingToGive, NegativeLinkPageIsInvalidArgument) {
    Open();
    VARIANT_BOOL inLink = VARIANT_TRUE;
    EXPECT_EQ(links_->IsInLink(-1, POINT{}, &inLink), E_INVALIDARG);
    LONG target = 99;
    POINT topLeft = {5, 5};
    EXPECT_EQ(links_->GetLink(-2, POINT{}, &target, &topLeft), E_INVALIDARG);
    EXPECT_EQ(target, -1);
    LONG count = 0;
    EXPECT_EQ(file_->get_PageCount(&count), S_OK);
    EXPECT_EQ(count, 1);
}

TEST(ContentItem, PropertiesStartEmptyAndKeepWhatIsPut) {
    ComPtr<IVyrdFileContentItem> item;
    ASSERT_EQ(CoCreateInstance(CLSID_CDjVuFileContentItem, nullptr, CLSCTX_INPROC_SERVER,
                               IID_IVyrdFileContentItem, item.PutVoid()),
              S_OK);
    struct Case {
        HRESULT (STDMETHODCALLTYPE IVyrdFileContentItem::*get)(LONG*);
        HRESULT (STDMETHODCALLTYPE IVyrdFileContentItem::*put)(LONG);
        LONG value;
    };
    const Case cases[] = {
        {&IVyrdFileContentItem::get_ItemID, &IVyrdFileContentItem::put_ItemID, 42},
        {&IVyrdFileContentItem::get_ItemPageIndex, &IVyrdFileContentItem::put_ItemPageIndex, -1},
        {&IVyrdFileContentItem::get_ItemOffsetFromTop, &IVyrdFileContentItem::put_ItemOffsetFromTop,
         300},
    };
    for (const Case& c : cases) {
        LONG value = -5;
        EXPECT_EQ((item.Get()->*c.get)(&value), S_OK);
        EXPECT_EQ(value, 0);
        EXPECT_EQ((item.Get()->*c.put)(c.value), S_OK);
        EXPECT_EQ((item.Get()->*c.get)(&value), S_OK);
        EXPECT_EQ(value, c.value);
        EXPECT_EQ((item.Get()->*c.get)(nullptr), S_FALSE);
    }

    BSTR name = nullptr;
    ASSERT_EQ(item->get_ItemName(&name), S_OK);
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(SysStringLen(name), 0u);
    SysFreeString(name);
    // The stored name is a copy with its own length (embedded zero included).
    const wchar_t withZero[] = L"A\0B";
    BSTR put = SysAllocStringLen(withZero, 3);
    ASSERT_EQ(item->put_ItemName(put), S_OK);
    put[0] = L'Z';
    SysFreeString(put);
    ASSERT_EQ(item->get_ItemName(&name), S_OK);
    ASSERT_EQ(SysStringLen(name), 3u);
    EXPECT_EQ(std::wstring(name, 3), std::wstring(withZero, 3));
    BSTR second = nullptr;
    ASSERT_EQ(item->get_ItemName(&second), S_OK);
    EXPECT_NE(second, name);  // every get hands out a new string
    SysFreeString(second);
    SysFreeString(name);
    // A null BSTR is the empty name.
    ASSERT_EQ(item->put_ItemName(nullptr), S_OK);
    ASSERT_EQ(item->get_ItemName(&name), S_OK);
    EXPECT_EQ(SysStringLen(name), 0u);
    SysFreeString(name);
    EXPECT_EQ(item->get_ItemName(nullptr), S_FALSE);
}

}  // namespace
