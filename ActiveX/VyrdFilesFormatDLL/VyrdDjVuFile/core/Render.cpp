#include "Render.h"

#include "BilevelPaint.h"
#include "ColourPaint.h"
#include "PageScale.h"

#include <cstring>

namespace vyrd {

namespace {

// A raster of the page's size, or null when the page has no INFO, no area,
// or the raster cannot be allocated.
RefPtr<CRasterImage> PageRaster(CDjVuPage& page, RasterFormat format, bool clear) {
    const RefPtr<CPageInfo> info = page.GetInfo();
    if (!info || info->width <= 0 || info->height <= 0) {
        return nullptr;
    }
    return CRasterImage::Create(format, info->width, info->height, info->width, clear);
}

RefPtr<CRasterImage> WhitePage(CDjVuPage& page) {
    RefPtr<CRasterImage> raster = PageRaster(page, RasterFormat::BGR24, false);
    if (raster) {
        std::memset(raster->Pixels(), 0xFF, raster->ByteSize());
    }
    return raster;
}

// The page from its wavelet image alone, enlarged to the page.
RefPtr<CRasterImage> ScaledPage(CDjVuPage& page, const CRasterImage& image) {
    RefPtr<CRasterImage> raster = PageRaster(page, RasterFormat::BGR24, false);
    if (raster) {
        ScaleToPage(image, *raster);
    }
    return raster;
}

}  // namespace

RefPtr<CRasterImage> RenderPage(CDjVuPage& page) {
    const RefPtr<CPageInfo> info = page.GetInfo();
    if (!info || info->width <= 0 || info->height <= 0) {
        return nullptr;
    }
    // Layers are decoded only when the composition uses them, the background
    // first so that its planes can go before the foreground's are made.
    const RefPtr<CJB2Layer> mask = page.DecodeMask();
    RefPtr<CRasterImage> raster;
    if (RefPtr<CRasterImage> background = page.DecodeBackground()) {
        raster = ScaledPage(page, *background);
        if (!raster || !mask) {
            return raster;
        }
        background = nullptr;
        if (const RefPtr<CRasterImage> foreground = page.DecodeForeground()) {
            PaintBlitsWithImage(*raster, *mask, *foreground);
        } else if (const RefPtr<CFgPalette> palette = page.GetPalette()) {
            PaintBlitsWithPalette(*raster, *mask, *palette);
        } else {
            // No colours for the text: it is painted black rather than lost.
            PaintBlitsInColour(*raster, *mask, PaletteColour{0, 0, 0});
        }
        return raster;
    }
    if (mask) {
        if (const RefPtr<CFgPalette> palette = page.GetPalette()) {
            raster = WhitePage(page);
            if (raster) {
                PaintBlitsWithPalette(*raster, *mask, *palette);
            }
            return raster;
        }
        raster = PageRaster(page, RasterFormat::BILEVEL, true);
        if (raster) {
            PaintBlitsBilevel(*raster, *mask);
        }
        return raster;
    }
    if (const RefPtr<CRasterImage> foreground = page.DecodeForeground()) {
        return ScaledPage(page, *foreground);
    }
    return PageRaster(page, RasterFormat::BILEVEL, true);
}

RefPtr<CRasterImage> RenderMask(CDjVuPage& page) {
    RefPtr<CRasterImage> raster = PageRaster(page, RasterFormat::BILEVEL, true);
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

RefPtr<CRasterImage> RenderWaveletLayer(CDjVuPage& page, WaveletLayer layer) {
    const RefPtr<CRasterImage> image =
        layer == WaveletLayer::kBackground ? page.DecodeBackground() : page.DecodeForeground();
    if (!image) {
        return nullptr;
    }
    RefPtr<CRasterImage> raster = CRasterImage::Create(RasterFormat::BGR24, image->Width(),
                                                       image->Height(), image->Width(), false);
    if (raster) {
        ScaleToPage(*image, *raster);
    }
    return raster;
}

}  // namespace vyrd
