#include "PageScale.h"

#include "YccColour.h"

#include <cassert>
#include <cstring>

namespace vyrd {

namespace {

constexpr uint8_t kWhite = 0xFF;

// The whole enlargement factor of `source` samples onto `target` pixels, and
// how many source samples fit whole.
struct Factor {
    int32_t factor;
    int32_t used;
};

Factor FactorOf(int32_t target, int32_t source) noexcept {
    Factor f{target / source, source};
    if (target % source != 0) {
        f.factor += 1;
        f.used = target / f.factor;
    }
    return f;
}

// Converts source row `r` (its first `count` pixels) into `out`, each pixel
// written `fx` times side by side.
void ConvertRow(const CRasterImage& image, int32_t r, int32_t count, int32_t fx,
                uint8_t* out) noexcept {
    const std::size_t plane = std::size_t(image.Width()) * std::size_t(image.Height());
    const int8_t* y = reinterpret_cast<const int8_t*>(image.Pixels()) +
                      std::size_t(r) * std::size_t(image.Width());
    const bool colour = image.Format() == RasterFormat::YCC_PLANES;
    if (fx == 1) {
        if (colour) {
            YccRowToBgr(y, y + plane, y + 2 * plane, count, out);
        } else {
            GrayRowToBgr(y, count, out);
        }
        return;
    }
    // Each source pixel is converted once, then written fx times as 4-byte
    // stores that overlap by one byte: the same bytes as copying the pixel
    // forward from 3 bytes behind. The last copy of the row's last pixel is
    // written byte by byte, so nothing past the row is touched.
    for (int32_t c = 0; c < count; ++c) {
        const uint32_t bgr =
            colour ? ycc::PackedBgr(y[c], y[c + plane], y[c + 2 * plane]) : ycc::PackedGray(y[c]);
        const int32_t wordCopies = c + 1 < count ? fx : fx - 1;
        for (int32_t i = 0; i < wordCopies; ++i, out += 3) {
            StorePixelWord(out, bgr);
        }
        if (wordCopies < fx) {
            out[0] = uint8_t(bgr);
            out[1] = uint8_t(bgr >> 8);
            out[2] = uint8_t(bgr >> 16);
        }
    }
}

}  // namespace

void ScaleToPage(const CRasterImage& image, CRasterImage& page) noexcept {
    assert(page.Format() == RasterFormat::BGR24 && page.Stride() == page.Width());
    assert(image.Format() == RasterFormat::YCC_PLANES ||
           image.Format() == RasterFormat::GRAY_PLANE);
    if (page.Pixels() == nullptr) {
        return;
    }
    const int32_t pageWidth = page.Width();
    const int32_t pageHeight = page.Height();
    const std::size_t rowBytes = 3 * std::size_t(pageWidth);
    if (image.Pixels() == nullptr || image.Width() <= 0 || image.Height() <= 0) {
        std::memset(page.Pixels(), kWhite, page.ByteSize());
        return;
    }
    assert(image.Stride() == image.Width());
    const Factor fx = FactorOf(pageWidth, image.Width());
    const Factor fy = FactorOf(pageHeight, image.Height());
    const std::size_t covered = 3 * std::size_t(fx.factor) * std::size_t(fx.used);
    for (int32_t r = 0; r < fy.used; ++r) {
        uint8_t* first = page.Row(r * fy.factor);
        ConvertRow(image, r, fx.used, fx.factor, first);
        std::memset(first + covered, kWhite, rowBytes - covered);
        for (int32_t copy = 1; copy < fy.factor; ++copy) {
            std::memcpy(page.Row(r * fy.factor + copy), first, rowBytes);
        }
    }
    const int32_t filledRows = fy.used * fy.factor;
    if (filledRows < pageHeight) {
        std::memset(page.Row(filledRows), kWhite, rowBytes * std::size_t(pageHeight - filledRows));
    }
}

}  // namespace vyrd
