// IVyrdFileInternalLinks of CDjVuFile: hyperlink areas of a page.
//
// Both methods hold the lock. A page's links come from the link cache, which
// builds them from the page's annotations on first use and keeps the most
// recently queried pages; with no document open every page has none.

#include "DjVuFile.h"

#include "ComBoundary.h"

HRESULT CDjVuFile::IsInLink(LONG PageIndex, POINT pt, VARIANT_BOOL* pVal) {
    if (!pVal) {
        return S_FALSE;
    }
    return ComBoundary([&]() -> HRESULT {
        vyrd::CCriticalSectionLock hold(lock_);
        // A negative index throws E_INVALIDARG before anything is written.
        const vyrd::CPageLinks& links = links_.GetPageLinks(PageIndex);
        *pVal = links.LinkAt(pt.x, pt.y) ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
    });
}

HRESULT CDjVuFile::GetLink(LONG PageIndex, POINT pt, LONG* pDstPageIndex, POINT* pDstTopLeft) {
    if (!pDstPageIndex || !pDstTopLeft) {
        return S_FALSE;
    }
    return ComBoundary([&]() -> HRESULT {
        vyrd::CCriticalSectionLock hold(lock_);
        // Nowhere to go unless a record containing the point says otherwise.
        *pDstPageIndex = -1;
        *pDstTopLeft = POINT{0, 0};
        const vyrd::CPageLinks& links = links_.GetPageLinks(PageIndex);
        // Where areas overlap, the one written last lies on top and wins.
        if (const vyrd::LinkRecord* link = links.LinkAt(pt.x, pt.y)) {
            *pDstPageIndex = link->page;
            *pDstTopLeft = POINT{link->x, link->y};
        }
        return S_OK;
    });
}
