// libFuzzer entry point for page composition: a whole DjVu file, whose first
// pages are rendered (mask, palette, background and foreground images scaled
// and painted at page size), and whose wavelet layers are also rendered alone.

#include "FuzzInput.h"
#include "IffChunk.h"
#include "Render.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

using vyrd::CRasterImage;
using vyrd::RasterFormat;
using vyrd::RefPtr;

// Pages are rendered only up to this many pixels: a 16-bit INFO can ask for 4
// gigapixels, which is a limit question, not a composition one.
constexpr uint64_t kMaxFuzzPixels = 4ull << 20;
// Nor are pages whose wavelet images are larger than this: a header may claim
// 64 megapixels, and a 2-megapixel colour image refined by 200 slices of
// filler bits already takes seconds under the sanitizers. fuzz_iw44 has the
// same limit.
constexpr uint64_t kMaxFuzzImagePixels = 1ull << 20;
constexpr int kMaxPages = 4;

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "fuzz_page_render: %s\n", what);
        std::abort();
    }
}

struct PageLayers {
    bool wavelet = false;  // a BG44 or FG44 chunk
    bool palette = false;  // an FGbz chunk
    uint64_t largestImage = 0;
};

// What the page's chunks announce. Only the first chunk of each wavelet kind
// can start an image (the decoder rejects every later chunk with serial 0), so
// its header gives the size the decoder will allocate; fields past the end of
// the chunk read as 0.
PageLayers Announced(const vyrd::CDjVuPage& page) {
    PageLayers layers;
    bool seenBackground = false;
    bool seenForeground = false;
    for (const vyrd::CIffChunk& chunk : page.Chunks()) {
        const uint32_t id = chunk.Id();
        layers.palette |= id == vyrd::kIdFGbz;
        bool& seen = id == vyrd::kIdBG44 ? seenBackground : seenForeground;
        if ((id != vyrd::kIdBG44 && id != vyrd::kIdFG44) || seen) {
            continue;
        }
        seen = true;
        layers.wavelet = true;
        const uint8_t* p = chunk.Data().Data();
        const uint32_t n = chunk.Data().Length();
        auto byte = [&](uint32_t i) -> uint64_t { return i < n ? p[i] : 0; };
        if (byte(0) == 0) {
            const uint64_t w = byte(4) << 8 | byte(5);
            const uint64_t h = byte(6) << 8 | byte(7);
            layers.largestImage = std::max(layers.largestImage, w * h);
        }
    }
    return layers;
}

void RenderOnePage(vyrd::CDjVuPage& page) {
    const RefPtr<vyrd::CPageInfo> info = page.GetInfo();
    const PageLayers layers = Announced(page);
    if (!info || uint64_t(info->width) * uint64_t(info->height) > kMaxFuzzPixels ||
        layers.largestImage > kMaxFuzzImagePixels) {
        // Without a page to paint on, the cheap layers are still decoded.
        page.DecodeMask();
        page.GetPalette();
        return;
    }
    const RefPtr<CRasterImage> raster = vyrd::RenderPage(page);
    if (info->width <= 0 || info->height <= 0) {
        Check(!raster, "a raster for a page without area");
        return;
    }
    Check(raster != nullptr, "no raster for a page with INFO");
    TouchRasterEnds(*raster);
    Check(raster->Width() == info->width && raster->Height() == info->height,
          "raster size differs from INFO");
    Check(raster->Format() == RasterFormat::BGR24 || raster->Format() == RasterFormat::BILEVEL,
          "page raster format");
    const uint64_t bytes = uint64_t(CRasterImage::SampleBytes(raster->Format())) *
                           uint64_t(info->width) * uint64_t(info->height);
    Check(raster->Stride() == info->width && raster->ByteSize() == bytes,
          "page rows are not packed");
    // Without any colour chunk there is nothing to make a colour page of.
    if (!layers.wavelet && !layers.palette) {
        Check(raster->Format() == RasterFormat::BILEVEL, "a colour page without colour layers");
    }

    for (const vyrd::WaveletLayer which :
         {vyrd::WaveletLayer::kBackground, vyrd::WaveletLayer::kForeground}) {
        const RefPtr<CRasterImage> layer = vyrd::RenderWaveletLayer(page, which);
        if (layer) {
            Check(layer->Format() == RasterFormat::BGR24, "wavelet layer format");
            TouchRasterEnds(*layer);
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 18)) {
        return 0;
    }
    const FuzzInput input(data, size);
    const vyrd::RefPtr<vyrd::CDjVuContainer> doc = OpenFuzzDocument(input);
    if (!doc) {
        return 0;
    }
    for (int i = 0; i < doc->CountPages() && i < kMaxPages; ++i) {
        const RefPtr<vyrd::CDjVuPage> page = doc->GetPageObject(i);
        if (page) {
            RenderOnePage(*page);
        }
    }
    doc->CloseDocument();
    return 0;
}
