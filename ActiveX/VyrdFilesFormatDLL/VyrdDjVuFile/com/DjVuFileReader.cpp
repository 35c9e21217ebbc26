// IVyrdFile of CDjVuFile: opening and closing a document, page count, page
// size and resolution, and the page pixels.

#include "DjVuFile.h"

#include "ComBoundary.h"
#include "PageImageHandOver.h"
#include "Render.h"

#include <shlwapi.h>

#include <string>

HRESULT CDjVuFile::OpenFile(BSTR FilePath) {
    return ComBoundary([&]() -> HRESULT {
        // Whatever was open goes first, so a failed open leaves the object closed.
        CloseFile();
        vyrd::CCriticalSectionLock hold(lock_);
        const std::u16string path(reinterpret_cast<const char16_t*>(FilePath ? FilePath : L""),
                                  SysStringLen(FilePath));
        if (!PathFileExistsW(FilePath ? FilePath : L"")) {
            return S_FALSE;
        }
        if (document_->OpenDocument(path) != 1) {
            // A refused file may still be mapped by the container; let it go now
            // rather than at the next open.
            document_->CloseDocument();
            return S_FALSE;
        }
        open_ = 1;
        try {
            RebuildOutline();
        } catch (...) {
            // Never half open: the error ends the call with the object closed.
            CloseLocked();
            throw;
        }
        links_.Attach(document_);
        return S_OK;
    });
}

HRESULT CDjVuFile::CloseFile() {
    vyrd::CCriticalSectionLock hold(lock_);
    CloseLocked();
    return S_OK;
}

HRESULT CDjVuFile::get_PageCount(LONG* pVal) {
    if (!pVal) {
        return S_FALSE;
    }
    vyrd::CCriticalSectionLock hold(lock_);
    *pVal = open_ ? document_->CountPages() : 0;
    return S_OK;
}

const CDjVuFile::PageInfoEntry* CDjVuFile::EnsurePageInfo(LONG index) {
    if (index < 0) {
        return nullptr;
    }
    const auto slot = static_cast<std::size_t>(index);
    if (slot < pageInfo_.size() && pageInfo_[slot].valid) {
        return &pageInfo_[slot];
    }
    // Indices at or past the page count give no page object.
    const vyrd::RefPtr<vyrd::CDjVuPage> page = document_->GetPageObject(index);
    if (!page) {
        return nullptr;
    }
    const vyrd::RefPtr<vyrd::CPageInfo> info = page->GetInfo();
    if (!info) {
        return nullptr;
    }
    if (slot >= pageInfo_.size()) {
        // Entries between the old end and this one stay invalid until asked for.
        pageInfo_.resize(slot + 1);
    }
    PageInfoEntry& entry = pageInfo_[slot];
    entry.width = info->width;
    entry.height = info->height;
    // INFO carries one resolution; it serves both directions.
    entry.horizontalDpi = info->dpi;
    entry.verticalDpi = info->dpi;
    entry.valid = 1;
    return &entry;
}

template <class T, class Pick>
HRESULT CDjVuFile::PageQuery(LONG index, T* value, Pick pick) {
    if (!value) {
        return S_FALSE;
    }
    return ComBoundary([&]() -> HRESULT {
        vyrd::CCriticalSectionLock hold(lock_);
        *value = T{};
        if (!open_) {
            return S_OK;
        }
        const PageInfoEntry* entry = EnsurePageInfo(index);
        if (!entry) {
            return S_FALSE;
        }
        *value = pick(*entry);
        return S_OK;
    });
}

HRESULT CDjVuFile::get_PageWidth(LONG Index, LONG* pVal) {
    return PageQuery(Index, pVal, [](const PageInfoEntry& e) { return e.width; });
}

HRESULT CDjVuFile::get_PageHeight(LONG Index, LONG* pVal) {
    return PageQuery(Index, pVal, [](const PageInfoEntry& e) { return e.height; });
}

HRESULT CDjVuFile::get_PageHorizontalDPI(LONG Index, double* pVal) {
    return PageQuery(Index, pVal,
                     [](const PageInfoEntry& e) { return static_cast<double>(e.horizontalDpi); });
}

HRESULT CDjVuFile::get_PageVerticalDPI(LONG Index, double* pVal) {
    return PageQuery(Index, pVal,
                     [](const PageInfoEntry& e) { return static_cast<double>(e.verticalDpi); });
}

HRESULT CDjVuFile::get_HasInternalZoom(VARIANT_BOOL* pVal) {
    if (!pVal) {
        return S_FALSE;
    }
    vyrd::CCriticalSectionLock hold(lock_);
    // Pages always come at their own resolution; the caller scales.
    *pVal = VARIANT_FALSE;
    return S_OK;
}

HRESULT CDjVuFile::GetPage(LONG Index, double /*Zoom*/, IUnknown** pImage) {
    if (!pImage) {
        return S_FALSE;
    }
    return ComBoundary([&]() -> HRESULT {
        vyrd::CCriticalSectionLock hold(lock_);
        *pImage = nullptr;
        if (!open_) {
            return S_OK;
        }
        const PageInfoEntry* entry = EnsurePageInfo(Index);
        if (!entry) {
            return S_OK;
        }
        const LONG width = entry->width;
        const LONG height = entry->height;

        vyrd::RefPtr<vyrd::CRasterImage> raster;
        {
            const vyrd::RefPtr<vyrd::CDjVuPage> page = document_->GetPageObject(Index);
            if (!page) {
                return S_FALSE;
            }
            raster = vyrd::RenderPage(*page);
        }
        if (!raster) {
            return S_FALSE;
        }
        ComPtr<IUnknown> image = HandOverToPageImage(width, height, *raster);
        *pImage = image.Detach();
        return S_OK;
    });
}
