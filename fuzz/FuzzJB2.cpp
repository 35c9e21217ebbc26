// libFuzzer entry point for the JB2 decoder (and the ZP decoder under it): the
// input is one stream, decoded as a shape dictionary and then as a page mask
// that may inherit a small dictionary; the mask is painted onto a page.

#include "BilevelPaint.h"
#include "FuzzInput.h"
#include "JB2Decoder.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace {

using vyrd::CRasterImage;
using vyrd::RasterFormat;
using vyrd::RefPtr;

// Pages are painted at most this large: blits past the right and top edges
// are clipped like those past the left and bottom ones.
constexpr int32_t kMaxPageSide = 1024;

RefPtr<CRasterImage> Filled(int32_t w, int32_t h, uint8_t (*ink)(int32_t, int32_t)) {
    RefPtr<CRasterImage> r = CRasterImage::Create(RasterFormat::BILEVEL, w, h, w, false);
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            r->Row(y)[x] = ink(x, y);
        }
    }
    return r;
}

// Four shapes as a page's dictionary holds them: a dot, a small frame, an
// empty shape and a larger pattern.
RefPtr<vyrd::CJB2Dictionary> SmallDictionary() {
    RefPtr<vyrd::CJB2Dictionary> d = vyrd::MakeRef<vyrd::CJB2Dictionary>();
    d->AddShape(Filled(1, 1, [](int32_t, int32_t) -> uint8_t { return 1; }));
    d->AddShape(Filled(3, 2, [](int32_t x, int32_t y) -> uint8_t { return x != 1 || y == 0; }));
    d->AddShape(Filled(0, 0, nullptr));
    d->AddShape(Filled(5, 7, [](int32_t x, int32_t y) -> uint8_t { return (x + y) % 3 != 1; }));
    return d;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 16)) {
        return 0;
    }
    static const RefPtr<vyrd::CJB2Dictionary> inherited = SmallDictionary();
    const FuzzInput input(data, size);
    RefPtr<vyrd::CJB2Decoder> decoder = vyrd::MakeRef<vyrd::CJB2Decoder>();

    decoder->DecodeStream(input.Range(), vyrd::JB2StreamKind::kDictionary);
    const RefPtr<vyrd::CJB2Dictionary> library = decoder->GetLibrary();
    for (int32_t n = 0; n < library->TotalCount(); ++n) {
        TouchRasterEnds(*library->GetShape(n));
    }

    decoder->SetInheritedDictionary(inherited);
    decoder->DecodeStream(input.Range(), vyrd::JB2StreamKind::kPage);
    const RefPtr<vyrd::CJB2Layer> image = decoder->GetImage();
    if (image) {
        const int32_t w = std::min(image->Width(), kMaxPageSide);
        const int32_t h = std::min(image->Height(), kMaxPageSide);
        RefPtr<CRasterImage> page = CRasterImage::Create(RasterFormat::BILEVEL, w, h, w, true);
        if (page) {
            vyrd::PaintBlitsBilevel(*page, *image);
        }
    }
    return 0;
}
