#pragma once
// Decoding of one wavelet-coded image (the BG44 or FG44 chunks of a page).

#include "ByteRange.h"
#include "IW44Component.h"
#include "Raster.h"
#include "RefCounted.h"

#include <cstdint>
#include <memory>

namespace vyrd {

// Fed the chunks of one image in file order; each chunk continues the slices
// of the one before. Lives for one layer decode. Used by one thread at a time.
class CIW44Decoder {
public:
    // The largest image accepted: 64 megapixels. Its coefficients alone take
    // 2 bytes per pixel and component; a corrupt header must not claim more.
    static constexpr int64_t kDefaultMaxPixels = int64_t{1} << 26;

    // `maxPixels` lowers the limit on the image size (width x height); a first
    // chunk declaring more is rejected.
    explicit CIW44Decoder(int64_t maxPixels = kDefaultMaxPixels) noexcept : maxPixels_(maxPixels) {}

    // Decodes one chunk body. Returns false, changing nothing, when the chunk's
    // serial number is not the number of chunks accepted so far, or when a
    // first chunk declares an image over the size limit. A chunk whose coded
    // data ends early still counts: the missing bits decode as filler. Throws
    // std::bad_alloc (the first chunk allocates the coefficients).
    bool DecodeChunk(CByteRange chunk);

    // The image decoded so far: YCC_PLANES for a colour image, GRAY_PLANE for a
    // gray one, at the image's own width and height; null before a first chunk
    // was accepted or when the raster cannot be allocated. Asked once: the
    // decoder's coefficients are released as the planes are made. Throws
    // std::bad_alloc.
    RefPtr<CRasterImage> MakeRaster();

    int32_t Width() const noexcept { return width_; }
    int32_t Height() const noexcept { return height_; }
    bool IsColour() const noexcept { return cb_ != nullptr; }
    int32_t ChunksDecoded() const noexcept { return chunksDecoded_; }
    int32_t SlicesDecoded() const noexcept { return slicesDecoded_; }

private:
    int64_t maxPixels_;
    std::unique_ptr<CIW44Component> y_;
    std::unique_ptr<CIW44Component> cb_;
    std::unique_ptr<CIW44Component> cr_;
    int32_t width_ = 0;
    int32_t height_ = 0;
    int32_t chromaDelay_ = 0;
    int32_t chunksDecoded_ = 0;
    int32_t slicesDecoded_ = 0;
};

}  // namespace vyrd
