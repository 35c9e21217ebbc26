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

// Blue, green, red to red, green, blue. On little-endian machines four
// pixels (12 bytes) at a time as three 32-bit words; the rest byte by byte.
void BgrToRgb(const uint8_t* src, int32_t width, uint8_t* dst) {
    int32_t x = 0;
    if constexpr (std::endian::native == std::endian::little) {
        for (; x + 4 <= width; x += 4, src += 12, dst += 12) {
            uint32_t w0, w1, w2;  // b0 g0 r0 b1 | g1 r1 b2 g2 | r2 b3 g3 r3
            std::memcpy(&w0, src, 4);
            std::memcpy(&w1, src + 4, 4);
            std::memcpy(&w2, src + 8, 4);
            // r0 g0 b0 r1 | g1 b1 r2 g2 | b2 r3 g3 b3
            const uint32_t o0 = ((w0 >> 16) & 0xFFu) | (w0 & 0xFF00u) | ((w0 & 0xFFu) << 16) |
                                (((w1 >> 8) & 0xFFu) << 24);
            const uint32_t o1 =
                (w1 & 0xFFu) | ((w0 >> 24) << 8) | ((w2 & 0xFFu) << 16) | (w1 & 0xFF000000u);
            const uint32_t o2 = ((w1 >> 16) & 0xFFu) | ((w2 >> 24) << 8) | (w2 & 0xFF0000u) |
                                (((w2 >> 8) & 0xFFu) << 24);
            std::memcpy(dst, &o0, 4);
            std::memcpy(dst + 4, &o1, 4);
            std::memcpy(dst + 8, &o2, 4);
        }
    }
    for (; x < width; ++x, src += 3, dst += 3) {
        dst[0] = src[2];
        dst[1] = src[1];
        dst[2] = src[0];
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
