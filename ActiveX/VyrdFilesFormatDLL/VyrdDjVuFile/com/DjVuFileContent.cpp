// IVyrdFileContent of CDjVuFile: the outline tree, built by OpenFile from the
// document's bookmarks, and its cursor. The cursor methods take no lock: the
// tree is only read here.

#include "DjVuFile.h"

#include "Bstr.h"
#include "HResultError.h"
#include "Outline.h"

#include <string_view>

namespace {

// A new content item, made through COM like any client would make one; null
// when the class cannot be created. Its name and page are set here, its
// identifier by the caller.
ComPtr<IVyrdFileContentItem> CreateItem(const vyrd::CBookmark& bookmark) {
    ComPtr<IVyrdFileContentItem> item;
    if (FAILED(CoCreateInstance(CLSID_CDjVuFileContentItem, nullptr, CLSCTX_ALL,
                                IID_IVyrdFileContentItem, item.PutVoid())) ||
        !item) {
        return nullptr;
    }
    const Bstr title(std::wstring_view(reinterpret_cast<const wchar_t*>(bookmark.title.data()),
                                       bookmark.title.size()));
    if (!title.Get() && !bookmark.title.empty()) {
        throw vyrd::HResultError(vyrd::kE_OUTOFMEMORY);
    }
    item->put_ItemPageIndex(bookmark.page);
    const HRESULT named = item->put_ItemName(title.Get());
    if (FAILED(named)) {
        throw vyrd::HResultError(named);
    }
    return item;
}

}  // namespace

void CDjVuFile::RebuildOutline() {
    outline_.Clear();
    // Only a bundled document with NAVM as the second child of its DJVM form
    // has an outline.
    const vyrd::RefPtr<vyrd::CDjVuOutline> outline = vyrd::CDjVuOutline::Read(*document_);
    if (!outline) {
        return;
    }
    // The bookmarks come parents first; the cursor walks down into each new
    // item and back up to the parent of the next bookmark. A bookmark's depth
    // is at most one more than its predecessor's, so the cursor is always at
    // or below the place the next item goes.
    int cursorDepth = 0;  // the root; a top-level item is at depth 1
    int skipBelow = -1;   // depth of a bookmark whose item could not be made
    for (const vyrd::CBookmark& bookmark : outline->Bookmarks()) {
        if (skipBelow >= 0) {
            if (bookmark.depth > skipBelow) {
                continue;  // a descendant of the missing item goes with it
            }
            skipBelow = -1;
        }
        for (; cursorDepth > bookmark.depth; --cursorDepth) {
            outline_.GotoParent();
        }
        ComPtr<IVyrdFileContentItem> item = CreateItem(bookmark);
        if (!item) {
            skipBelow = bookmark.depth;
            continue;
        }
        const LONG id = outline_.NextItemId();
        item->put_ItemID(id);
        if (outline_.Append(std::move(item), id)) {
            ++cursorDepth;
        }
    }
    outline_.GotoRoot();
}

HRESULT CDjVuFile::get_ChildsCount(LONG* pVal) {
    if (!pVal) {
        return S_FALSE;
    }
    return outline_.ChildsCount(pVal);
}

HRESULT CDjVuFile::GotoRoot() {
    return outline_.GotoRoot();
}

HRESULT CDjVuFile::GotoParent() {
    return outline_.GotoParent();
}

HRESULT CDjVuFile::GotoChilds() {
    return outline_.GotoChilds();
}

HRESULT CDjVuFile::GotoFirst() {
    return outline_.GotoFirst();
}

HRESULT CDjVuFile::GotoPrevious() {
    return outline_.GotoPrevious();
}

HRESULT CDjVuFile::GotoNext() {
    return outline_.GotoNext();
}

HRESULT CDjVuFile::GotoLast() {
    return outline_.GotoLast();
}

HRESULT CDjVuFile::GetCurrentItem(IVyrdFileContentItem** pItem) {
    if (!pItem) {
        return S_FALSE;
    }
    return outline_.GetCurrentItem(pItem);
}

HRESULT CDjVuFile::GetItem(LONG lItemID, IVyrdFileContentItem** pItem) {
    if (!pItem) {
        return S_FALSE;
    }
    return outline_.GetItem(lItemID, pItem);
}
