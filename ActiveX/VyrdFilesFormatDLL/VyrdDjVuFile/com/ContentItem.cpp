#include "ContentItem.h"

namespace {

HRESULT GetLong(LONG value, LONG* out) {
    if (!out) {
        return S_FALSE;
    }
    *out = value;
    return S_OK;
}

}  // namespace

HRESULT CDjVuFileContentItem::get_ItemID(LONG* pVal) {
    return GetLong(itemId_, pVal);
}

HRESULT CDjVuFileContentItem::put_ItemID(LONG newVal) {
    itemId_ = newVal;
    return S_OK;
}

HRESULT CDjVuFileContentItem::get_ItemName(BSTR* pVal) {
    if (!pVal) {
        return S_FALSE;
    }
    const std::wstring_view name = itemName_.View();
    BSTR copy = SysAllocStringLen(name.data(), static_cast<UINT>(name.size()));
    if (!copy) {
        return E_OUTOFMEMORY;
    }
    *pVal = copy;
    return S_OK;
}

HRESULT CDjVuFileContentItem::put_ItemName(BSTR newVal) {
    // The caller keeps its string; the item stores a copy of its own. The length
    // is the BSTR's own, so embedded zeros survive.
    BSTR copy = SysAllocStringLen(newVal ? newVal : L"", SysStringLen(newVal));
    if (!copy) {
        return E_OUTOFMEMORY;
    }
    itemName_ = Bstr::Adopt(copy);
    return S_OK;
}

HRESULT CDjVuFileContentItem::get_ItemPageIndex(LONG* pVal) {
    return GetLong(itemPageIndex_, pVal);
}

HRESULT CDjVuFileContentItem::put_ItemPageIndex(LONG newVal) {
    itemPageIndex_ = newVal;
    return S_OK;
}

HRESULT CDjVuFileContentItem::get_ItemOffsetFromTop(LONG* pVal) {
    return GetLong(itemOffsetFromTop_, pVal);
}

HRESULT CDjVuFileContentItem::put_ItemOffsetFromTop(LONG newVal) {
    itemOffsetFromTop_ = newVal;
    return S_OK;
}
