#include "Raster.h"

#include "Platform.h"

#include <cassert>
#include <cstring>
#include <new>
#include <utility>

namespace vyrd {

uint64_t CRasterImage::BufferBytes(RasterFormat format, int32_t height, int32_t stride) noexcept {
    if (height < 0 || stride < 0) {
        return 0;
    }
    // Planes or interleaved samples: 3 bytes per pixel for BGR24 and YCC,
    // one otherwise. Both factors are below 2^31, so 64 bits cannot overflow.
    const uint64_t perPixel =
        (format == RasterFormat::BGR24 || format == RasterFormat::YCC_PLANES) ? 3u : 1u;
    return uint64_t(uint32_t(stride)) * uint64_t(uint32_t(height)) * perPixel;
}

RefPtr<CRasterImage> CRasterImage::Create(RasterFormat format, int32_t width, int32_t height,
                                          int32_t stride, bool clear) {
    switch (format) {
        case RasterFormat::BGR24:
        case RasterFormat::YCC_PLANES:
        case RasterFormat::GRAY_PLANE:
        case RasterFormat::BILEVEL:
            break;
        default:
            return nullptr;
    }
    if (width < 0 || height < 0 || stride < width) {
        return nullptr;
    }
    const uint64_t bytes = BufferBytes(format, height, stride);
    if (bytes > kMaxByteSize) {
        return nullptr;
    }
    uint8_t* pixels = nullptr;
    if (bytes > 0) {
        pixels = static_cast<uint8_t*>(AllocPixelBuffer(static_cast<std::size_t>(bytes)));
        if (pixels == nullptr) {
            return nullptr;
        }
        if (clear) {
            std::memset(pixels, 0, static_cast<std::size_t>(bytes));
        }
    }
    CRasterImage* raster = new (std::nothrow) CRasterImage();
    if (raster == nullptr) {
        FreePixelBuffer(pixels);
        return nullptr;
    }
    raster->pixels_ = pixels;
    raster->byteSize_ = static_cast<uint32_t>(bytes);
    raster->format_ = format;
    raster->width_ = width;
    raster->height_ = height;
    raster->stride_ = stride;
    return RefPtr<CRasterImage>::Adopt(raster);
}

CRasterImage::~CRasterImage() {
    FreePixelBuffer(pixels_);
}

uint8_t* CRasterImage::Row(int32_t y) noexcept {
    assert(y >= 0 && y < height_ && pixels_ != nullptr);
    return pixels_ + std::size_t(y) * std::size_t(stride_) * SampleBytes(format_);
}

const uint8_t* CRasterImage::Row(int32_t y) const noexcept {
    assert(y >= 0 && y < height_ && pixels_ != nullptr);
    return pixels_ + std::size_t(y) * std::size_t(stride_) * SampleBytes(format_);
}

uint8_t* CRasterImage::DetachPixels() noexcept {
    byteSize_ = 0;
    return std::exchange(pixels_, nullptr);
}

}  // namespace vyrd
