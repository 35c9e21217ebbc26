#include "Render.h"

namespace vyrd {

RefPtr<CRasterImage> RenderPage(CDjVuPage& page) {
    const RefPtr<CPageInfo> info = page.GetInfo();
    if (!info) {
        return nullptr;
    }
    const int32_t width = info->width;
    const int32_t height = info->height;
    // A page without area has no pixels to hand over.
    if (width <= 0 || height <= 0) {
        return nullptr;
    }
    // No image layer is decoded yet: every page is the blank page, paper
    // everywhere (bilevel 0).
    return CRasterImage::Create(RasterFormat::BILEVEL, width, height, width, true);
}

}  // namespace vyrd
