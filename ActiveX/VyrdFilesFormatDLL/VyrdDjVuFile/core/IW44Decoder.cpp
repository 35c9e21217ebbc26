#include "IW44Decoder.h"

#include <vector>

namespace vyrd {

namespace {

// The chunk header; fields past the end of the chunk read as 0.
struct ChunkHeader {
    int serial = 0;
    int slices = 0;
    bool gray = false;
    int32_t width = 0;
    int32_t height = 0;
    int chromaDelay = 0;
    bool chromaHalf = false;
    uint32_t dataOffset = 0;
};

ChunkHeader ReadHeader(CByteRange chunk) noexcept {
    const auto byteAt = [&](uint32_t i) -> int { return i < chunk.Length() ? chunk[i] : 0; };
    ChunkHeader header;
    header.serial = byteAt(0);
    header.slices = byteAt(1);
    if (header.serial == 0) {
        // Bit 15 of the version word marks a gray image; the version itself
        // is not checked.
        header.gray = (byteAt(2) & 0x80) != 0;
        header.width = (byteAt(4) << 8) | byteAt(5);
        header.height = (byteAt(6) << 8) | byteAt(7);
        // Bits 0-6: the delay. Bit 7 clear: the chroma is shown at half
        // resolution (encoders set it for full-resolution chroma).
        header.chromaDelay = byteAt(8) & 0x7F;
        header.chromaHalf = (byteAt(8) & 0x80) == 0;
        header.dataOffset = 9;
    } else {
        header.dataOffset = 2;
    }
    return header;
}

}  // namespace

bool CIW44Decoder::DecodeChunk(CByteRange chunk) {
    const ChunkHeader header = ReadHeader(chunk);
    if (header.serial != chunksDecoded_) {
        return false;
    }
    if (header.serial == 0) {
        if (int64_t{header.width} * header.height > maxPixels_) {
            return false;
        }
        width_ = header.width;
        height_ = header.height;
        y_ = std::make_unique<CIW44Component>(width_, height_);
        if (!header.gray) {
            cb_ = std::make_unique<CIW44Component>(width_, height_, header.chromaHalf);
            cr_ = std::make_unique<CIW44Component>(width_, height_, header.chromaHalf);
        }
        chromaDelay_ = header.chromaDelay;
    }
    CByteRange data = chunk.From(header.dataOffset);
    if (!data.IsValid()) {
        // A chunk shorter than its header: the coder reads filler only.
        data = chunk.From(chunk.Length());
    }
    CZPDecoder zp(data);
    const int32_t end = slicesDecoded_ + header.slices;
    while (slicesDecoded_ < end) {
        int decoded = y_->DecodeSlice(zp);
        if (cb_ && slicesDecoded_ >= chromaDelay_) {
            decoded |= cb_->DecodeSlice(zp);
            decoded |= cr_->DecodeSlice(zp);
        }
        ++slicesDecoded_;
        if (decoded == 0) {
            break;
        }
    }
    ++chunksDecoded_;
    return true;
}

RefPtr<CRasterImage> CIW44Decoder::MakeRaster() {
    if (!y_) {
        return nullptr;
    }
    const RasterFormat format = cb_ ? RasterFormat::YCC_PLANES : RasterFormat::GRAY_PLANE;
    RefPtr<CRasterImage> raster = CRasterImage::Create(format, width_, height_, width_, false);
    if (!raster) {
        return nullptr;
    }
    if (raster->Pixels() == nullptr) {
        return raster;  // an image without pixels
    }
    const std::size_t plane = std::size_t(width_) * std::size_t(height_);
    int8_t* out = reinterpret_cast<int8_t*>(raster->Pixels());
    CIW44Samples work(plane);
    CIW44Component* components[] = {y_.get(), cb_.get(), cr_.get()};
    for (CIW44Component* component : components) {
        if (component == nullptr) {
            break;
        }
        component->Reconstruct(out, work);
        component->ReleaseCoefficients();
        out += plane;
    }
    return raster;
}

}  // namespace vyrd
