// IVyrdFileText of CDjVuFile: queries on the hidden text layer of a page.
//
// Every method holds the lock and answers S_FALSE while no document is open
// (and for a null output pointer). With a document open, a page without a text
// layer is not an error: the query succeeds with its empty outputs. The text
// layer is found through the page-text cache of the object; the TXTz decoder
// that fills it is not part of the core yet, so every page reads as one
// without text for now, and the answers below are those for such a page.

#include "DjVuFile.h"

#include "ComBoundary.h"

template <class Body>
HRESULT CDjVuFile::TextQuery(bool outputsGiven, Body body) {
    if (!outputsGiven) {
        return S_FALSE;
    }
    return ComBoundary([&]() -> HRESULT {
        vyrd::CCriticalSectionLock hold(lock_);
        if (!open_) {
            return S_FALSE;
        }
        return body();
    });
}

HRESULT CDjVuFile::GetPageText(LONG /*PageIndex*/, BSTR* pText) {
    // No text layer: pText is left as the caller initialised it.
    return TextQuery(pText != nullptr, [] { return S_OK; });
}

HRESULT CDjVuFile::GetTextRectsByRect(LONG /*PageIndex*/, RECT /*rc*/, SAFEARRAY** psaRectangles) {
    // No text layer: no array is built and psaRectangles stays untouched.
    return TextQuery(psaRectangles != nullptr, [] { return S_OK; });
}

HRESULT CDjVuFile::GetTextRectsByTextIndex(LONG /*PageIndex*/, LONG /*TextStartIndex*/,
                                           LONG /*TextLength*/, SAFEARRAY** psaRectangles) {
    // No text layer: psaRectangles stays untouched.
    return TextQuery(psaRectangles != nullptr, [] { return S_OK; });
}

HRESULT CDjVuFile::GetTextByRect(LONG /*PageIndex*/, RECT /*rc*/, BSTR* pText) {
    return TextQuery(pText != nullptr, [&] {
        *pText = nullptr;
        return S_OK;
    });
}

HRESULT CDjVuFile::GetTextIndexByRect(LONG /*PageIndex*/, RECT /*rc*/, LONG* pTextStartIndex,
                                      LONG* pTextLength) {
    return TextQuery(pTextStartIndex && pTextLength, [&] {
        // An empty range: no start, no length.
        *pTextStartIndex = -1;
        *pTextLength = 0;
        return S_OK;
    });
}
