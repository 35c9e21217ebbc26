// libFuzzer entry point for page masks: a whole DjVu file, whose first pages
// have their shape dictionaries built (own Djbz chunks, included files) and
// their masks decoded and painted at page size.

#include "FuzzInput.h"
#include "Render.h"

#include <cstddef>
#include <cstdint>

namespace {

// Masks are painted only on pages up to this many pixels: a 16-bit INFO can
// ask for 4 gigapixels, which is a limit question, not a decoding one.
constexpr uint64_t kMaxFuzzPixels = 4ull << 20;
// Pages looked at: enough for included files to be shared and evicted.
constexpr int kMaxPages = 8;

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
        vyrd::RefPtr<vyrd::CDjVuPage> page = doc->GetPageObject(i);
        if (!page) {
            continue;
        }
        vyrd::RefPtr<vyrd::CPageInfo> info = page->GetInfo();
        if (!info || uint64_t(info->width) * uint64_t(info->height) > kMaxFuzzPixels) {
            // Without a page to paint on, the mask is still decoded.
            page->DecodeMask();
            continue;
        }
        vyrd::RefPtr<vyrd::CRasterImage> raster = vyrd::RenderMask(*page);
        if (raster) {
            TouchRasterEnds(*raster);
        }
    }
    doc->CloseDocument();
    return 0;
}
