// IVyrdFileInternalLinks of CDjVuFile: hyperlink areas of a page.
//
// Both methods hold the lock. A page's links come from the link cache, which
// hangs on the object's second document reference; the annotation decoder that
// fills it is not part of the core yet, so every page has no link records for
// now, and the answers below are those for a page without links.

#include "DjVuFile.h"

#include "ComBoundary.h"
#include "HResultError.h"

namespace {

// A negative page index is a caller error, whatever is open; past the last
// page there are simply no links.
void CheckLinkPageIndex(LONG pageIndex) {
    if (pageIndex < 0) {
        throw vyrd::HResultError(vyrd::kE_INVALIDARG);
    }
}

}  // namespace

HRESULT CDjVuFile::IsInLink(LONG PageIndex, POINT /*pt*/, VARIANT_BOOL* pVal) {
    if (!pVal) {
        return S_FALSE;
    }
    return ComBoundary([&]() -> HRESULT {
        vyrd::CCriticalSectionLock hold(lock_);
        CheckLinkPageIndex(PageIndex);
        // No record contains the point.
        *pVal = VARIANT_FALSE;
        return S_OK;
    });
}

HRESULT CDjVuFile::GetLink(LONG PageIndex, POINT /*pt*/, LONG* pDstPageIndex, POINT* pDstTopLeft) {
    if (!pDstPageIndex || !pDstTopLeft) {
        return S_FALSE;
    }
    return ComBoundary([&]() -> HRESULT {
        vyrd::CCriticalSectionLock hold(lock_);
        // Nowhere to go unless a record containing the point says otherwise.
        *pDstPageIndex = -1;
        *pDstTopLeft = POINT{0, 0};
        CheckLinkPageIndex(PageIndex);
        return S_OK;
    });
}
