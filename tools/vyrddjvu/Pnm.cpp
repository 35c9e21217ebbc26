#include "Pnm.h"

#include <bit>
#include <cstring>
#include <vector>

namespace vyrddjvu {

namespace {

using vyrd::CRasterImage;
using vyrd::RasterFormat;

bool WriteRows(const CRasterImage& raster, std::FILE* out, std::size_t rowBytes,
               void (*convert)(const uint8_t* src, int32_t width, uint8_t* dst)) {
    std::vector<uint8_t> row(rowBytes);
    for (int32_t y = raster.Height() - 1; y >= 0; --y) {
        convert(raster.Row(y), raster.Width(), row.data());
        if (std::fwrite(row.data(), 1, row.size(), out) != row.size()) {
            return false;
        }
    }
    return true;
}

void PackBits(const uint8_t* src, int32_t width, uint8_t* dst) {
    // Whole groups of eight pixels without a bound test, then the rest.
    const int32_t whole = width / 8;
    for (int32_t i = 0; i < whole; ++i, src += 8) {
        uint32_t byte = 0;
        for (int bit = 0; bit < 8; ++bit) {
            byte = (byte << 1) | uint32_t(src[bit] != 0);
        }
        dst[i] = static_cast<uint8_t>(byte);
    }
    const int32_t rest = width % 8;
    if (rest != 0) {
        uint32_t byte = 0;
        for (int32_t bit = 0; bit < rest; ++bit) {
            byte |= uint32_t(src[bit] != 0) << (7 - bit);
        }
        dst[whole] = static_cast<uint8_t>(byte);
    }
}

void CopyGray(const uint8_t* src, int32_t width, uint8_t* dst) {
    for (int32_t x = 0; x < width; ++x) {
        dst[x] = src[x];
    }
}

// On little-endian machines a pixel at a time as one 4-byte load and store:
// the fourth byte read belongs to the next pixel, the fourth written is
// overwritten by it. The last pixel goes byte by byte, so nothing past either
// row is touched.
void BgrToRgb(const uint8_t* src, int32_t width, uint8_t* dst) {
    int32_t x = 0;
    for (; std::endian::native == std::endian::little && x + 1 < width; ++x) {
        uint32_t bgr;
        std::memcpy(&bgr, src + 3 * x, 4);
        const uint32_t rgb = ((bgr >> 16) & 0xFF) | (bgr & 0xFF00) | ((bgr & 0xFF) << 16);
        std::memcpy(dst + 3 * x, &rgb, 4);
    }
    for (; x < width; ++x) {
        dst[3 * x] = src[3 * x + 2];
        dst[3 * x + 1] = src[3 * x + 1];
        dst[3 * x + 2] = src[3 * x];
    }
}

}  // namespace

bool WritePnm(const CRasterImage& raster, std::FILE* out) {
    if (raster.Pixels() == nullptr || raster.Width() <= 0 || raster.Height() <= 0) {
        return false;
    }
    const auto width = static_cast<std::size_t>(raster.Width());
    const char* magic = nullptr;
    std::size_t rowBytes = 0;
    void (*convert)(const uint8_t*, int32_t, uint8_t*) = nullptr;
    switch (raster.Format()) {
        case RasterFormat::BILEVEL:
            magic = "P4";
            rowBytes = (width + 7) / 8;
            convert = PackBits;
            break;
        case RasterFormat::GRAY_PLANE:
            magic = "P5";
            rowBytes = width;
            convert = CopyGray;
            break;
        case RasterFormat::BGR24:
            magic = "P6";
            rowBytes = width * 3;
            convert = BgrToRgb;
            break;
        default:
            return false;
    }
    const bool maxValue = raster.Format() != RasterFormat::BILEVEL;
    if (std::fprintf(out, "%s\n%d %d\n%s", magic, raster.Width(), raster.Height(),
                     maxValue ? "255\n" : "") < 0) {
        return false;
    }
    return WriteRows(raster, out, rowBytes, convert);
}

}  // namespace vyrddjvu
