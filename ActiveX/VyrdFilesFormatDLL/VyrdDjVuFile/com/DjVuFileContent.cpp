// IVyrdFileContent of CDjVuFile: the outline cursor. These methods take no
// lock: the outline is built by OpenFile and only read here.

#include "DjVuFile.h"

void CDjVuFile::RebuildOutline() {
    outline_.Clear();
    // Only a bundled document with NAVM as the second child of its DJVM form
    // has an outline. Its bookmarks become items under the root here once the
    // NAVM decoder is in place; until then every document has the root alone.
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
