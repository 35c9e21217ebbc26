// IVyrdFileText of CDjVuFile: queries on the hidden text layer of a page.
//
// Every method holds the lock and answers S_FALSE while no document is open
// (and for a null output pointer). With a document open, a page without a text
// layer (no such page, no TXTz, a stream without a root zone) is not an error:
// the query succeeds with its empty outputs. Layers come from the object's
// text cache, so the selection and search queries that repeat on a few pages
// decode each of them once.

#include "DjVuFile.h"

#include "ComBoundary.h"
#include "HResultError.h"

#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

// A BSTR of `text` for the caller; an allocation failure ends the call.
BSTR NewBstr(const std::u16string& text) {
    BSTR s = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(text.data()),
                               static_cast<UINT>(text.size()));
    if (!s) {
        throw vyrd::HResultError(E_OUTOFMEMORY);
    }
    return s;
}

// Destroys an array unless it is handed over.
class SafeArrayOwner {
public:
    explicit SafeArrayOwner(SAFEARRAY* array) noexcept : array_(array) {}
    ~SafeArrayOwner() {
        if (array_) {
            SafeArrayDestroy(array_);
        }
    }
    SafeArrayOwner(const SafeArrayOwner&) = delete;
    SafeArrayOwner& operator=(const SafeArrayOwner&) = delete;
    SAFEARRAY* Get() const noexcept { return array_; }
    SAFEARRAY* Detach() noexcept { return std::exchange(array_, nullptr); }

private:
    SAFEARRAY* array_;
};

// The rectangle array of the interface: VT_I4, two dimensions with bounds
// {4, 0} then {n, 0}, holding left, top, right, bottom of each rectangle in
// turn. The first dimension varies fastest, so the data is simply n groups of
// four. An empty list still gives an array, with n = 0.
SAFEARRAY* NewRectArray(const std::vector<vyrd::TextRect>& rects) {
    SAFEARRAYBOUND bounds[2] = {{4, 0}, {static_cast<ULONG>(rects.size()), 0}};
    SafeArrayOwner array(SafeArrayCreate(VT_I4, 2, bounds));
    if (!array.Get()) {
        throw vyrd::HResultError(E_OUTOFMEMORY);
    }
    if (!rects.empty()) {
        void* data = nullptr;
        const HRESULT hr = SafeArrayAccessData(array.Get(), &data);
        if (FAILED(hr)) {
            throw vyrd::HResultError(hr);
        }
        LONG* out = static_cast<LONG*>(data);
        for (const vyrd::TextRect& r : rects) {
            *out++ = r.left;
            *out++ = r.top;
            *out++ = r.right;
            *out++ = r.bottom;
        }
        SafeArrayUnaccessData(array.Get());
    }
    return array.Detach();
}

vyrd::TextRect FromRect(const RECT& rc) noexcept {
    return {rc.left, rc.top, rc.right, rc.bottom};
}

}  // namespace

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

vyrd::RefPtr<vyrd::CPageTextLayer> CDjVuFile::TextLayer(LONG pageIndex) {
    return textCache_.Get(*document_, pageIndex);
}

HRESULT CDjVuFile::GetPageText(LONG PageIndex, BSTR* pText) {
    return TextQuery(pText != nullptr, [&] {
        // No text layer: pText is left as the caller initialised it.
        if (const vyrd::RefPtr<vyrd::CPageTextLayer> layer = TextLayer(PageIndex)) {
            *pText = NewBstr(layer->Text());
        }
        return S_OK;
    });
}

HRESULT CDjVuFile::GetTextRectsByRect(LONG PageIndex, RECT rc, SAFEARRAY** psaRectangles) {
    return TextQuery(psaRectangles != nullptr, [&] {
        // No text layer: no array is built and psaRectangles stays untouched.
        const vyrd::RefPtr<vyrd::CPageTextLayer> layer = TextLayer(PageIndex);
        if (!layer) {
            return S_OK;
        }
        std::vector<vyrd::TextRect> rects;
        if (const std::optional<vyrd::TextRange> range = layer->CoveredBy(FromRect(rc))) {
            rects = layer->RectsOf(range->first, range->last);
        }
        *psaRectangles = NewRectArray(rects);
        return S_OK;
    });
}

HRESULT CDjVuFile::GetTextRectsByTextIndex(LONG PageIndex, LONG TextStartIndex, LONG TextLength,
                                           SAFEARRAY** psaRectangles) {
    return TextQuery(psaRectangles != nullptr, [&] {
        const vyrd::RefPtr<vyrd::CPageTextLayer> layer = TextLayer(PageIndex);
        if (!layer) {
            return S_OK;
        }
        // In 64 bits: a start near the top of the range plus a length must
        // not wrap around into a run somewhere else.
        const int64_t first = TextStartIndex;
        const int64_t last = first + int64_t{TextLength} - 1;
        *psaRectangles = NewRectArray(layer->RectsOf(first, last));
        return S_OK;
    });
}

HRESULT CDjVuFile::GetTextByRect(LONG PageIndex, RECT rc, BSTR* pText) {
    return TextQuery(pText != nullptr, [&] {
        *pText = nullptr;
        if (const vyrd::RefPtr<vyrd::CPageTextLayer> layer = TextLayer(PageIndex)) {
            if (const std::optional<vyrd::TextRange> range = layer->CoveredBy(FromRect(rc))) {
                *pText = NewBstr(layer->Substring(*range));
            }
        }
        return S_OK;
    });
}

HRESULT CDjVuFile::GetTextIndexByRect(LONG PageIndex, RECT rc, LONG* pTextStartIndex,
                                      LONG* pTextLength) {
    return TextQuery(pTextStartIndex && pTextLength, [&] {
        // An empty range until a zone is found: no start, no length.
        *pTextStartIndex = -1;
        *pTextLength = 0;
        if (const vyrd::RefPtr<vyrd::CPageTextLayer> layer = TextLayer(PageIndex)) {
            if (const std::optional<vyrd::TextRange> range = layer->CoveredBy(FromRect(rc))) {
                *pTextStartIndex = range->first;
                *pTextLength = range->Length();
            }
        }
        return S_OK;
    });
}
