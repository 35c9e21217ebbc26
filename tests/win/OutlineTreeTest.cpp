// The outline cursor over a real tree of content items: A (A1, A2), B.

#include "OutlineTree.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace testwin;

ComPtr<IVyrdFileContentItem> NewItem(LONG id, const wchar_t* name) {
    ComPtr<IVyrdFileContentItem> item;
    EXPECT_EQ(CoCreateInstance(CLSID_CDjVuFileContentItem, nullptr, CLSCTX_INPROC_SERVER,
                               IID_IVyrdFileContentItem, item.PutVoid()),
              S_OK);
    if (item) {
        item->put_ItemID(id);
        item->put_ItemName(TestBstr(name).Get());
    }
    return item;
}

std::wstring NameOf(IVyrdFileContentItem* item) {
    if (!item) {
        return L"(none)";
    }
    BSTR name = nullptr;
    item->get_ItemName(&name);
    std::wstring text(name ? name : L"", SysStringLen(name));
    SysFreeString(name);
    return text;
}

class OutlineCursor : public testing::Test {
protected:
    void SetUp() override {
        // Built the way the reader walks an outline: append moves the cursor to
        // the new node, GotoParent comes back.
        Add(L"A");
        Add(L"A1");
        tree_.GotoParent();
        Add(L"A2");
        tree_.GotoParent();
        tree_.GotoParent();
        Add(L"B");
        tree_.GotoParent();
        ASSERT_EQ(Current(), L"(none)");  // back at the root
    }
    void Add(const wchar_t* name) {
        const LONG id = tree_.NextItemId();
        ASSERT_TRUE(tree_.Append(NewItem(id, name), id));
    }
    std::wstring Current() {
        ComPtr<IVyrdFileContentItem> item;
        EXPECT_EQ(tree_.GetCurrentItem(item.Put()), S_OK);
        return NameOf(item.Get());
    }
    LONG Children() {
        LONG n = -1;
        tree_.ChildsCount(&n);
        return n;
    }

    COutlineTree tree_;
};

TEST_F(OutlineCursor, IdsFollowTheDepthFirstWalk) {
    const wchar_t* expected[] = {L"(none)", L"A", L"A1", L"A2", L"B", L"(none)"};
    for (LONG id = 0; id <= 5; ++id) {
        ComPtr<IVyrdFileContentItem> item;
        EXPECT_EQ(tree_.GetItem(id, item.Put()), S_OK);
        EXPECT_EQ(NameOf(item.Get()), expected[id]) << id;
    }
    EXPECT_EQ(tree_.NextItemId(), 5);
}

TEST_F(OutlineCursor, MovesAmongSiblingsAndLevels) {
    EXPECT_EQ(Children(), 2);
    struct Step {
        HRESULT (COutlineTree::*move)();
        HRESULT hr;
        const wchar_t* at;
    };
    const Step steps[] = {
        {&COutlineTree::GotoChilds, S_OK, L"A"},
        {&COutlineTree::GotoPrevious, S_FALSE, L"A"},  // first sibling: stays
        {&COutlineTree::GotoNext, S_OK, L"B"},
        {&COutlineTree::GotoNext, S_FALSE, L"B"},  // last sibling: stays
        {&COutlineTree::GotoChilds, S_FALSE, L"B"},
        {&COutlineTree::GotoFirst, S_OK, L"A"},
        {&COutlineTree::GotoLast, S_OK, L"B"},
        {&COutlineTree::GotoPrevious, S_OK, L"A"},
        {&COutlineTree::GotoChilds, S_OK, L"A1"},
        {&COutlineTree::GotoNext, S_OK, L"A2"},
        {&COutlineTree::GotoFirst, S_OK, L"A1"},
        {&COutlineTree::GotoParent, S_OK, L"A"},
        {&COutlineTree::GotoParent, S_OK, L"(none)"},  // the root
        {&COutlineTree::GotoFirst, S_OK, L"(none)"},   // at the root nothing moves
        {&COutlineTree::GotoNext, S_FALSE, L"(none)"},
        {&COutlineTree::GotoParent, S_OK, L"(none)"},  // off the tree
        {&COutlineTree::GotoChilds, S_FALSE, L"(none)"},
        {&COutlineTree::GotoParent, S_FALSE, L"(none)"},
        {&COutlineTree::GotoRoot, S_OK, L"(none)"},
        {&COutlineTree::GotoChilds, S_OK, L"A"},
    };
    int index = 0;
    for (const Step& s : steps) {
        EXPECT_EQ((tree_.*s.move)(), s.hr) << "step " << index;
        EXPECT_EQ(Current(), s.at) << "step " << index;
        ++index;
    }
}

TEST_F(OutlineCursor, OffTheTreeThereAreNoChildren) {
    tree_.GotoParent();
    LONG n = -1;
    EXPECT_EQ(tree_.ChildsCount(&n), S_FALSE);
    EXPECT_EQ(n, 0);
    tree_.GotoRoot();
    EXPECT_EQ(tree_.ChildsCount(&n), S_OK);
    EXPECT_EQ(n, 2);
}

TEST_F(OutlineCursor, ClearReleasesTheTreeButNotTheClientsItems) {
    ComPtr<IVyrdFileContentItem> kept;
    ASSERT_EQ(tree_.GetItem(3, kept.Put()), S_OK);
    const ULONG held = RefCountOf(kept.Get());
    tree_.Clear();
    EXPECT_EQ(RefCountOf(kept.Get()), held - 1);  // the tree's reference went
    EXPECT_EQ(NameOf(kept.Get()), L"A2");
    EXPECT_EQ(Children(), 0);
    EXPECT_EQ(tree_.NextItemId(), 1);
    ComPtr<IVyrdFileContentItem> gone;
    EXPECT_EQ(tree_.GetItem(3, gone.Put()), S_OK);
    EXPECT_FALSE(gone);
}

}  // namespace
