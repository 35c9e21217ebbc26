#include "ColourPaint.h"

#include "InkRuns.h"
#include "YccColour.h"

#include <cassert>
#include <cstdint>
#include <vector>

namespace vyrd {

namespace {

constexpr PaletteColour kBlack{0, 0, 0};

// Paints every ink pixel of blit k in colourOf(k).
template <class ColourOf>
void PaintInColours(CRasterImage& page, const CJB2Layer& mask, ColourOf colourOf) noexcept {
    ForEachInkRun(page.Width(), page.Height(), mask, [&](const InkRun& run) {
        const PaletteColour colour = colourOf(run.blit);
        uint8_t* out = page.Row(run.pageRow) + 3 * std::size_t(run.pageColumn);
        for (int32_t i = 0; i < run.count; ++i, out += 3) {
            if (run.ink[i] != 0) {
                out[0] = colour.blue;
                out[1] = colour.green;
                out[2] = colour.red;
            }
        }
    });
}

}  // namespace

void PaintBlitsInColour(CRasterImage& page, const CJB2Layer& mask, PaletteColour colour) noexcept {
    assert(page.Format() == RasterFormat::BGR24);
    PaintInColours(page, mask, [colour](std::size_t) { return colour; });
}

void PaintBlitsWithPalette(CRasterImage& page, const CJB2Layer& mask,
                           const CFgPalette& palette) noexcept {
    assert(page.Format() == RasterFormat::BGR24);
    PaintInColours(page, mask, [&](std::size_t k) {
        const PaletteColour* colour = palette.ColourOfBlit(k);
        return colour != nullptr ? *colour : kBlack;
    });
}

void PaintBlitsWithImage(CRasterImage& page, const CJB2Layer& mask,
                         const CRasterImage& foreground) {
    assert(page.Format() == RasterFormat::BGR24);
    const int32_t width = foreground.Width();
    const int32_t height = foreground.Height();
    if (foreground.Pixels() == nullptr || width <= 0 || height <= 0) {
        PaintBlitsInColour(page, mask, kBlack);
        return;
    }
    assert(foreground.Stride() == width);
    // The foreground in colour, converted once: it is small next to the page.
    const std::size_t plane = std::size_t(width) * std::size_t(height);
    std::vector<uint8_t> colours(3 * plane);
    const int8_t* y = reinterpret_cast<const int8_t*>(foreground.Pixels());
    if (foreground.Format() == RasterFormat::YCC_PLANES) {
        YccRowToBgr(y, y + plane, y + 2 * plane, int32_t(plane), colours.data());
    } else {
        GrayRowToBgr(y, int32_t(plane), colours.data());
    }
    const int32_t fx = (page.Width() + width - 1) / width;
    const int32_t fy = (page.Height() + height - 1) / height;
    // Byte offset, within a foreground row, of the pixel under each page column.
    std::vector<uint32_t> columnOffset(std::size_t(page.Width()));
    for (int32_t column = 0; column < page.Width(); ++column) {
        columnOffset[std::size_t(column)] = uint32_t(3 * (column / fx));
    }
    ForEachInkRun(page.Width(), page.Height(), mask, [&](const InkRun& run) {
        const uint8_t* source =
            colours.data() + 3 * std::size_t(run.pageRow / fy) * std::size_t(width);
        const uint32_t* offsets = columnOffset.data() + run.pageColumn;
        uint8_t* out = page.Row(run.pageRow) + 3 * std::size_t(run.pageColumn);
        for (int32_t i = 0; i < run.count; ++i, out += 3) {
            if (run.ink[i] != 0) {
                const uint8_t* colour = source + offsets[i];
                out[0] = colour[0];
                out[1] = colour[1];
                out[2] = colour[2];
            }
        }
    });
}

}  // namespace vyrd
