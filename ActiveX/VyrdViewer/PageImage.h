// The page image: a picture in memory handed between readers, the page viewer
// control and the application. Holds its size, pixel type, row layout and a pixel
// block of the process heap that it owns and frees with HeapFree on release.
// Apartment-threaded like every object of this component.
#pragma once

#include "ComObject.h"
#include "Dispatch.h"
#include "VyrdViewer.h"

class CVyrdPageImage final : public ComObject<CVyrdPageImage, DispatchImpl<IVyrdPageImage>> {
public:
    CVyrdPageImage() = default;
    CVyrdPageImage(const CVyrdPageImage&) = delete;
    CVyrdPageImage& operator=(const CVyrdPageImage&) = delete;

    ~CVyrdPageImage();

    // IVyrdPageImage
    HRESULT STDMETHODCALLTYPE get_PixelType(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE put_PixelType(LONG newVal) override;
    HRESULT STDMETHODCALLTYPE get_Width(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Width(LONG newVal) override;
    HRESULT STDMETHODCALLTYPE get_Height(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Height(LONG newVal) override;
    HRESULT STDMETHODCALLTYPE get_BytesPerRow(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE put_BytesPerRow(LONG newVal) override;
    HRESULT STDMETHODCALLTYPE get_Flags(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE put_Flags(LONG newVal) override;
    HRESULT STDMETHODCALLTYPE get_ByteCount(LONG* pVal) override;
    HRESULT STDMETHODCALLTYPE GetPixels(BYTE** ppPixels) override;
    HRESULT STDMETHODCALLTYPE CopyPixels(BYTE* pPixels, LONG byteCount) override;
    HRESULT STDMETHODCALLTYPE AttachPixels(BYTE* pPixels, LONG byteCount) override;

private:
    void FreePixels();

    LONG pixelType_ = 0;
    LONG width_ = 0;
    LONG height_ = 0;
    LONG bytesPerRow_ = 0;
    LONG flags_ = 0;
    BYTE* pixels_ = nullptr;  // process-heap block owned by this object, or null
    LONG byteCount_ = 0;
};
