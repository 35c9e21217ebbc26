#pragma once
// CRasterImage: the pixel buffer record shared by the decoders and the page
// composition.

#include "RefCounted.h"

#include <cstdint>

namespace vyrd {

enum class RasterFormat : int32_t {
    BGR24 = 0,       // 3 bytes per pixel: blue, green, red
    YCC_PLANES = 1,  // three planes Y, Cb, Cr of stride x height signed bytes each
    GRAY_PLANE = 2,  // one plane of stride x height bytes
    BILEVEL = 3,     // 1 byte per pixel: 1 = ink, 0 = paper
};

// A raster of width x height pixels stored bottom-up: stored row 0 is the bottom
// line of the picture. The buffer comes from AllocPixelBuffer, so it can be
// handed to another module (DetachPixels) and freed there with the process heap.
class CRasterImage final : public CRefCounted {
public:
    // Largest buffer a raster may have. Larger requests are refused before any
    // allocation: a corrupt size field must not exhaust the process.
    static constexpr uint32_t kMaxByteSize = 1u << 30;

    // Creates a raster; when `clear` is set the buffer is zero-filled, otherwise
    // its content is undefined until written. Returns null (never throws for
    // these) when a dimension is negative, stride < width, the buffer would
    // exceed kMaxByteSize, or the allocation fails. A raster of 0 bytes has no
    // buffer (Pixels() is null).
    static RefPtr<CRasterImage> Create(RasterFormat format, int32_t width, int32_t height,
                                       int32_t stride, bool clear);

    // Bytes per pixel in a row (BGR24: 3) or per plane sample (others: 1).
    static constexpr uint32_t SampleBytes(RasterFormat format) noexcept {
        return format == RasterFormat::BGR24 ? 3u : 1u;
    }
    // Bytes of the whole buffer for the given shape; 0 when a value is negative.
    static uint64_t BufferBytes(RasterFormat format, int32_t height, int32_t stride) noexcept;

    ~CRasterImage() override;

    uint8_t* Pixels() noexcept { return pixels_; }
    const uint8_t* Pixels() const noexcept { return pixels_; }
    uint32_t ByteSize() const noexcept { return byteSize_; }
    RasterFormat Format() const noexcept { return format_; }
    int32_t Width() const noexcept { return width_; }
    int32_t Height() const noexcept { return height_; }
    int32_t Stride() const noexcept { return stride_; }

    // Start of stored row y (0 = bottom) of an interleaved raster (BGR24,
    // BILEVEL) or of the first plane. The caller keeps y inside 0 .. height-1.
    uint8_t* Row(int32_t y) noexcept;
    const uint8_t* Row(int32_t y) const noexcept;

    // Hands the buffer to a new owner, who frees it with FreePixelBuffer (on
    // Windows HeapFree on the process heap). The raster keeps its shape but no
    // longer has pixels: Pixels() is null and ByteSize() is 0.
    [[nodiscard]] uint8_t* DetachPixels() noexcept;

private:
    CRasterImage() = default;

    uint8_t* pixels_ = nullptr;
    uint32_t byteSize_ = 0;
    RasterFormat format_ = RasterFormat::BILEVEL;
    int32_t width_ = 0;
    int32_t height_ = 0;
    int32_t stride_ = 0;
};

}  // namespace vyrd
