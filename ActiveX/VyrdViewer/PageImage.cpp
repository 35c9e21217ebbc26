#include "PageImage.h"

#include <cstring>

CVyrdPageImage::~CVyrdPageImage() {
    FreePixels();
}

void CVyrdPageImage::FreePixels() {
    if (pixels_) {
        HeapFree(GetProcessHeap(), 0, pixels_);
        pixels_ = nullptr;
    }
    byteCount_ = 0;
}

namespace {
HRESULT Get(LONG value, LONG* out) {
    if (!out) {
        return E_POINTER;
    }
    *out = value;
    return S_OK;
}
}  // namespace

HRESULT CVyrdPageImage::get_PixelType(LONG* pVal) {
    return Get(pixelType_, pVal);
}
HRESULT CVyrdPageImage::get_Width(LONG* pVal) {
    return Get(width_, pVal);
}
HRESULT CVyrdPageImage::get_Height(LONG* pVal) {
    return Get(height_, pVal);
}
HRESULT CVyrdPageImage::get_BytesPerRow(LONG* pVal) {
    return Get(bytesPerRow_, pVal);
}
HRESULT CVyrdPageImage::get_Flags(LONG* pVal) {
    return Get(flags_, pVal);
}
HRESULT CVyrdPageImage::get_ByteCount(LONG* pVal) {
    return Get(byteCount_, pVal);
}

HRESULT CVyrdPageImage::put_PixelType(LONG newVal) {
    pixelType_ = newVal;
    return S_OK;
}
HRESULT CVyrdPageImage::put_Width(LONG newVal) {
    width_ = newVal;
    return S_OK;
}
HRESULT CVyrdPageImage::put_Height(LONG newVal) {
    height_ = newVal;
    return S_OK;
}
HRESULT CVyrdPageImage::put_BytesPerRow(LONG newVal) {
    bytesPerRow_ = newVal;
    return S_OK;
}
HRESULT CVyrdPageImage::put_Flags(LONG newVal) {
    flags_ = newVal;
    return S_OK;
}

HRESULT CVyrdPageImage::GetPixels(BYTE** ppPixels) {
    if (!ppPixels) {
        return E_POINTER;
    }
    *ppPixels = pixels_;
    return S_OK;
}

HRESULT CVyrdPageImage::CopyPixels(BYTE* pPixels, LONG byteCount) {
    if (byteCount < 0 || (!pPixels && byteCount > 0)) {
        return E_INVALIDARG;
    }
    BYTE* copy = nullptr;
    if (byteCount > 0) {
        copy = static_cast<BYTE*>(HeapAlloc(GetProcessHeap(), 0, byteCount));
        if (!copy) {
            return E_OUTOFMEMORY;
        }
        std::memcpy(copy, pPixels, byteCount);
    }
    FreePixels();
    pixels_ = copy;
    byteCount_ = byteCount;
    return S_OK;
}

HRESULT CVyrdPageImage::AttachPixels(BYTE* pPixels, LONG byteCount) {
    if (byteCount < 0) {
        return E_INVALIDARG;
    }
    // Attaching the block already held must not free it.
    if (pPixels != pixels_) {
        FreePixels();
    }
    pixels_ = pPixels;
    byteCount_ = pPixels ? byteCount : 0;
    return S_OK;
}
