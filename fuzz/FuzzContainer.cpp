// libFuzzer entry point for the container, page information and page
// composition: everything a document's bytes reach before any decoder.

#include "FuzzInput.h"
#include "Render.h"

#include <cstddef>
#include <cstdint>

namespace {

// Pages above this many pixels are not composed: a 16-bit INFO can ask for 4
// gigapixels, which is a limit question, not a parsing one.
constexpr uint64_t kMaxFuzzPixels = 64ull * 1024 * 1024;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const FuzzInput input(data, size);
    const vyrd::RefPtr<vyrd::CDjVuContainer> doc = OpenFuzzDocument(input);
    if (!doc) {
        return 0;
    }
    const int pages = doc->CountPages();
    for (int i = -1; i <= pages; ++i) {
        vyrd::RefPtr<vyrd::CDjVuPage> page = doc->GetPageObject(i);
        if (!page) {
            continue;
        }
        vyrd::RefPtr<vyrd::CPageInfo> info = page->GetInfo();
        if (!info || uint64_t(info->width) * uint64_t(info->height) > kMaxFuzzPixels) {
            continue;
        }
        vyrd::RefPtr<vyrd::CRasterImage> raster = vyrd::RenderPage(*page);
        if (raster) {
            TouchRasterEnds(*raster);
        }
    }
    doc->CloseDocument();
    return 0;
}
