// CDjVuFileContentItem: one outline entry as a COM object. The reader fills
// ItemID, ItemName and ItemPageIndex when it builds the outline; clients may
// keep an item after the outline is emptied, and its values stay as they were.
//
// Four read-write properties with the defaults 0, "", 0 and 0. A get of
// ItemName returns a new BSTR (E_OUTOFMEMORY when it cannot be allocated); a
// null output pointer gives S_FALSE. Apartment-threaded; nothing here throws.
#pragma once

#include "Bstr.h"
#include "ComObject.h"
#include "Dispatch.h"
#include "VyrdFilesFormat.h"

class CDjVuFileContentItem final
    : public ComObject<CDjVuFileContentItem, DispatchImpl<IVyrdFileContentItem>> {
public:
    CDjVuFileContentItem() = default;
    ~CDjVuFileContentItem() = default;

    // IVyrdFileContentItem
    HRESULT STDMETHODCALLTYPE get_ItemID(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE put_ItemID(LONG newVal) override;
    HRESULT STDMETHODCALLTYPE get_ItemName(BSTR* pVal) override;
    HRESULT STDMETHODCALLTYPE put_ItemName(BSTR newVal) override;
    HRESULT STDMETHODCALLTYPE get_ItemPageIndex(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE put_ItemPageIndex(LONG newVal) override;
    HRESULT STDMETHODCALLTYPE get_ItemOffsetFromTop(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE put_ItemOffsetFromTop(LONG newVal) override;

private:
    LONG itemId_ = 0;
    Bstr itemName_;  // null stands for the empty name
    LONG itemPageIndex_ = 0;
    LONG itemOffsetFromTop_ = 0;
};
