#include "Render.h"

#include "BilevelPaint.h"

namespace vyrd {

namespace {

// A cleared BILEVEL raster of the page's size, or null when the page has no
// INFO or no area.
RefPtr<CRasterImage> BlankBilevelPage(CDjVuPage& page) {
    const RefPtr<CPageInfo> info = page.GetInfo();
    if (!info || info->width <= 0 || info->height <= 0) {
        return nullptr;
    }
    return CRasterImage::Create(RasterFormat::BILEVEL, info->width, info->height, info->width,
                                true);
}

}  // namespace

RefPtr<CRasterImage> RenderPage(CDjVuPage& page) {
    RefPtr<CRasterImage> raster = BlankBilevelPage(page);
    if (!raster) {
        return nullptr;
    }
    // Colour layers are not decoded yet: a page shows its mask in black on
    // white, and a page without one is blank paper.
    if (const RefPtr<CJB2Layer> mask = page.DecodeMask()) {
        PaintBlitsBilevel(*raster, *mask);
    }
    return raster;
}

RefPtr<CRasterImage> RenderMask(CDjVuPage& page) {
    RefPtr<CRasterImage> raster = BlankBilevelPage(page);
    if (!raster) {
        return nullptr;
    }
    const RefPtr<CJB2Layer> mask = page.DecodeMask();
    if (!mask) {
        return nullptr;
    }
    PaintBlitsBilevel(*raster, *mask);
    return raster;
}

}  // namespace vyrd
