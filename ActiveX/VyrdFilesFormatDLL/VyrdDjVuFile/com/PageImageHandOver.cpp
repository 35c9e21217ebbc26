#include "PageImageHandOver.h"

#include "HResultError.h"

namespace {

// Slots of the page image interface, counted from 0 (QueryInterface); 7 is the
// first slot after IDispatch. Each property is a getter/setter pair, getter first.
constexpr int kSlotPutPixelType = 8;
constexpr int kSlotPutWidth = 10;
constexpr int kSlotPutHeight = 12;
constexpr int kSlotPutBytesPerRow = 14;
constexpr int kSlotPutFlags = 16;
constexpr int kSlotAttachPixels = 20;

// Values of the pixel type property and of the flags.
constexpr LONG kPixelTypeBgr24 = 1;
constexpr LONG kPixelTypeBytePerPixel = 3;  // one byte per pixel, 1 black, 0 white
constexpr LONG kFlagBottomUp = 2;

using AnySlot = void(STDMETHODCALLTYPE*)();
using PutLongSlot = HRESULT(STDMETHODCALLTYPE*)(IUnknown*, LONG);
using AttachPixelsSlot = HRESULT(STDMETHODCALLTYPE*)(IUnknown*, BYTE*, LONG);

// The function at `slot` of the object's interface table.
template <class Fn>
Fn SlotOf(IUnknown* object, int slot) {
    AnySlot const* table = *reinterpret_cast<AnySlot const* const*>(object);
    return reinterpret_cast<Fn>(table[slot]);
}

HRESULT PutLong(IUnknown* object, int slot, LONG value) {
    return SlotOf<PutLongSlot>(object, slot)(object, value);
}

}  // namespace

const CLSID kClsidPageImage = {
    0x2BB2E135, 0x4B81, 0x4840, {0xB7, 0xCD, 0xA7, 0x44, 0xDD, 0x23, 0x6A, 0xB0}};
const IID kIidPageImage = {
    0x3905360D, 0x3C87, 0x498C, {0x93, 0xD2, 0x27, 0xE0, 0x02, 0xB9, 0x41, 0xB1}};

ComPtr<IUnknown> HandOverToPageImage(LONG width, LONG height, vyrd::CRasterImage& raster) {
    ComPtr<IUnknown> image;
    HRESULT hr =
        CoCreateInstance(kClsidPageImage, nullptr, CLSCTX_ALL, kIidPageImage, image.PutVoid());
    if (FAILED(hr)) {
        throw vyrd::HResultError(hr);
    }
    IUnknown* object = image.Get();

    // The order is part of the contract with the image class: size first, then
    // the row layout, then the pixels. The setters only store values; their
    // results carry nothing the reader could act on.
    PutLong(object, kSlotPutWidth, width);
    PutLong(object, kSlotPutHeight, height);
    switch (raster.Format()) {
        case vyrd::RasterFormat::BGR24:
            PutLong(object, kSlotPutPixelType, kPixelTypeBgr24);
            PutLong(object, kSlotPutBytesPerRow, width * 3);
            break;
        case vyrd::RasterFormat::BILEVEL:
            PutLong(object, kSlotPutPixelType, kPixelTypeBytePerPixel);
            PutLong(object, kSlotPutBytesPerRow, width);
            break;
        default:
            // Plane formats have no pixel type of the image class; left unset.
            break;
    }
    PutLong(object, kSlotPutFlags, kFlagBottomUp);

    // A raster's block is at most CRasterImage::kMaxByteSize (2^30) bytes, so
    // its size fits the LONG of the slot.
    static_assert(vyrd::CRasterImage::kMaxByteSize <= 0x7FFFFFFF);
    hr = SlotOf<AttachPixelsSlot>(object, kSlotAttachPixels)(object, raster.Pixels(),
                                                             static_cast<LONG>(raster.ByteSize()));
    if (FAILED(hr)) {
        // A call that fails has taken nothing: the block stays with the raster,
        // which frees it when it is released.
        throw vyrd::HResultError(hr);
    }
    // The image owns the block now and frees it with the process heap.
    [[maybe_unused]] uint8_t* handedOver = raster.DetachPixels();

    ComPtr<IUnknown> unknown;
    hr = object->QueryInterface(IID_IUnknown, unknown.PutVoid());
    if (FAILED(hr)) {
        throw vyrd::HResultError(hr);
    }
    return unknown;
}
