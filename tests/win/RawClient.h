#pragma once
// Clients of IVyrdFile and of the page image that call the interfaces by vtable
// slot, as a program built without our headers would (slot 0 is
// QueryInterface, 7 the first method after IDispatch).

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <string_view>

namespace testwin {

class RawVyrdFile {
public:
    explicit RawVyrdFile(ComPtr<IUnknown> file) : file_(std::move(file)) {}
    // A new CDjVuFile asked for IVyrdFile; Get() is null when creation failed.
    static RawVyrdFile Create();

    IUnknown* Get() const { return file_.Get(); }

    HRESULT OpenFile(std::wstring_view path) const {
        TestBstr bstr(path);
        return Call<HRESULT(STDMETHODCALLTYPE*)(IUnknown*, BSTR)>(7)(file_.Get(), bstr.Get());
    }
    HRESULT OpenFileBstr(BSTR path) const {
        return Call<HRESULT(STDMETHODCALLTYPE*)(IUnknown*, BSTR)>(7)(file_.Get(), path);
    }
    HRESULT CloseFile() const {
        return Call<HRESULT(STDMETHODCALLTYPE*)(IUnknown*)>(8)(file_.Get());
    }
    HRESULT PageCount(LONG* value) const {
        return Call<HRESULT(STDMETHODCALLTYPE*)(IUnknown*, LONG*)>(9)(file_.Get(), value);
    }
    HRESULT PageWidth(LONG index, LONG* value) const { return LongAt(10, index, value); }
    HRESULT PageHeight(LONG index, LONG* value) const { return LongAt(11, index, value); }
    HRESULT PageHorizontalDpi(LONG index, double* value) const {
        return DoubleAt(12, index, value);
    }
    HRESULT PageVerticalDpi(LONG index, double* value) const { return DoubleAt(13, index, value); }
    HRESULT HasInternalZoom(VARIANT_BOOL* value) const {
        return Call<HRESULT(STDMETHODCALLTYPE*)(IUnknown*, VARIANT_BOOL*)>(14)(file_.Get(), value);
    }
    HRESULT GetPage(LONG index, double zoom, IUnknown** image) const {
        return Call<HRESULT(STDMETHODCALLTYPE*)(IUnknown*, LONG, double, IUnknown**)>(15)(
            file_.Get(), index, zoom, image);
    }

    // Convenience for tests that only want the value.
    LONG PageCount() const {
        LONG n = -1;
        PageCount(&n);
        return n;
    }

private:
    template <class Fn>
    Fn Call(int slot) const {
        return Slot<Fn>(file_.Get(), slot);
    }
    HRESULT LongAt(int slot, LONG index, LONG* value) const {
        return Call<HRESULT(STDMETHODCALLTYPE*)(IUnknown*, LONG, LONG*)>(slot)(file_.Get(), index,
                                                                               value);
    }
    HRESULT DoubleAt(int slot, LONG index, double* value) const {
        return Call<HRESULT(STDMETHODCALLTYPE*)(IUnknown*, LONG, double*)>(slot)(file_.Get(), index,
                                                                                 value);
    }

    ComPtr<IUnknown> file_;
};

// The slots of IVyrdPageImage: property pairs, getter first.
enum PageImageSlot : int {
    kGetPixelType = 7,
    kPutPixelType = 8,
    kGetWidth = 9,
    kPutWidth = 10,
    kGetHeight = 11,
    kPutHeight = 12,
    kGetBytesPerRow = 13,
    kPutBytesPerRow = 14,
    kGetFlags = 15,
    kPutFlags = 16,
    kGetByteCount = 17,  // the component's own
    kGetPixels = 18,
    kCopyPixels = 19,  // the component's own
    kAttachPixels = 20,
};

class RawPageImage {
public:
    // Queries `image` for IVyrdPageImage; Get() is null when it does not answer.
    explicit RawPageImage(IUnknown* image);
    // A new page image object of the viewer component.
    static RawPageImage Create();

    IUnknown* Get() const { return image_.Get(); }

    LONG GetLong(int slot) const {
        LONG value = -12345;
        EXPECT_EQ(Slot<HRESULT(STDMETHODCALLTYPE*)(IUnknown*, LONG*)>(image_.Get(), slot)(
                      image_.Get(), &value),
                  S_OK);
        return value;
    }
    HRESULT PutLong(int slot, LONG value) const {
        return Slot<HRESULT(STDMETHODCALLTYPE*)(IUnknown*, LONG)>(image_.Get(), slot)(image_.Get(),
                                                                                      value);
    }
    BYTE* Pixels() const {
        BYTE* pixels = reinterpret_cast<BYTE*>(1);
        EXPECT_EQ(Slot<HRESULT(STDMETHODCALLTYPE*)(IUnknown*, BYTE**)>(image_.Get(), kGetPixels)(
                      image_.Get(), &pixels),
                  S_OK);
        return pixels;
    }
    HRESULT Attach(BYTE* pixels, LONG byteCount) const {
        return Slot<HRESULT(STDMETHODCALLTYPE*)(IUnknown*, BYTE*, LONG)>(
            image_.Get(), kAttachPixels)(image_.Get(), pixels, byteCount);
    }
    HRESULT Copy(BYTE* pixels, LONG byteCount) const {
        return Slot<HRESULT(STDMETHODCALLTYPE*)(IUnknown*, BYTE*, LONG)>(image_.Get(), kCopyPixels)(
            image_.Get(), pixels, byteCount);
    }
    void Reset() { image_.Reset(); }

private:
    explicit RawPageImage(ComPtr<IUnknown> image) : image_(std::move(image)) {}
    ComPtr<IUnknown> image_;
};

}  // namespace testwin
