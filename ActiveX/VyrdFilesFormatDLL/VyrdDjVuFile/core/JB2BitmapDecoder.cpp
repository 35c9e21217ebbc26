#include "JB2BitmapDecoder.h"

#include <algorithm>
#include <cstring>

namespace vyrd {

std::size_t CJB2BitmapDecoder::PrepareBitmap(int32_t width, int32_t height) {
    const std::size_t stride = std::size_t(width) + kLeftColumns + kRightColumns;
    bitmap_.assign(stride * (std::size_t(height) + kTopRows), 0);
    return stride;
}

void CJB2BitmapDecoder::CopyOut(CRasterImage& bitmap, std::size_t stride) const {
    const int32_t height = bitmap.Height();
    const std::size_t width = std::size_t(bitmap.Width());
    const uint8_t* row = bitmap_.data() + stride * kTopRows + kLeftColumns;
    for (int32_t r = 0; r < height; ++r, row += stride) {
        std::memcpy(bitmap.Row(height - 1 - r), row, width);
    }
}

bool CJB2BitmapDecoder::DecodeDirect(CZPDecoder& zp, uint8_t (&contexts)[kJB2DirectContexts],
                                     CRasterImage& bitmap) {
    const int32_t width = bitmap.Width();
    const int32_t height = bitmap.Height();
    if (width == 0 || height == 0) {
        return true;
    }
    const std::size_t stride = PrepareBitmap(width, height);
    CZPDecoder z = zp;
    uint8_t* const first = bitmap_.data() + kLeftColumns;
    bool ranDry = false;
    for (int32_t r = 0; r < height; ++r) {
        // Once the coder feeds filler, every further pixel is noise: stop
        // here rather than decode the rest of a possibly huge bitmap.
        if (z.PaddingExhausted()) {
            ranDry = true;
            break;
        }
        const uint8_t* up2 = first + stride * std::size_t(r);
        const uint8_t* up1 = up2 + stride;
        uint8_t* cur = const_cast<uint8_t*>(up1) + stride;
        // Context bits: 9-7 two rows above (x-1 .. x+1), 6-2 the row above
        // (x-2 .. x+2), 1-0 this row (x-2, x-1).
        uint32_t c = (uint32_t(up2[-1]) << 9) | (uint32_t(up2[0]) << 8) | (uint32_t(up2[1]) << 7) |
                     (uint32_t(up1[-2]) << 6) | (uint32_t(up1[-1]) << 5) | (uint32_t(up1[0]) << 4) |
                     (uint32_t(up1[1]) << 3) | (uint32_t(up1[2]) << 2) | (uint32_t(cur[-2]) << 1) |
                     uint32_t(cur[-1]);
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t bit = uint32_t(z.decode(contexts[c]));
            cur[x] = uint8_t(bit);
            c = ((c << 1) & 0x37A) | (uint32_t(up2[x + 2]) << 7) | (uint32_t(up1[x + 3]) << 2) |
                bit;
        }
    }
    zp = z;
    if (ranDry) {
        return false;
    }
    CopyOut(bitmap, stride);
    return true;
}

void CJB2BitmapDecoder::AlignReference(const CRasterImage& reference, int32_t width, int32_t height,
                                       std::size_t stride) {
    aligned_.assign(stride * (std::size_t(height) + 2), 0);
    const int32_t refWidth = reference.Width();
    const int32_t refHeight = reference.Height();
    if (refWidth == 0 || refHeight == 0) {
        return;
    }
    // Centres meet: bitmap column x faces reference column x - dx, bitmap row
    // y (from the bottom) faces reference row y - dy.
    const int32_t dx = (width + 1) / 2 - (refWidth + 1) / 2;
    const int32_t dy = (height + 1) / 2 - (refHeight + 1) / 2;
    // The buffer holds bitmap columns -kLeftColumns .. width + kRightColumns - 1
    // and bitmap rows height .. -1 (top-down, one extra row each side).
    const int32_t firstColumn = std::max(-kLeftColumns, dx);
    const int32_t endColumn = std::min(width + kRightColumns, dx + refWidth);
    if (firstColumn >= endColumn) {
        return;
    }
    for (int32_t refRow = 0; refRow < refHeight; ++refRow) {
        const int32_t y = refRow + dy;
        if (y < -1 || y > height) {
            continue;
        }
        const std::size_t bufferRow = std::size_t(height - y);  // row `height` is index 0
        std::memcpy(aligned_.data() + bufferRow * stride + std::size_t(firstColumn + kLeftColumns),
                    reference.Row(refRow) + (firstColumn - dx),
                    std::size_t(endColumn - firstColumn));
    }
}

bool CJB2BitmapDecoder::DecodeRefinement(CZPDecoder& zp,
                                         uint8_t (&contexts)[kJB2RefinementContexts],
                                         CRasterImage& bitmap, const CRasterImage& reference) {
    const int32_t width = bitmap.Width();
    const int32_t height = bitmap.Height();
    if (width == 0 || height == 0) {
        return true;
    }
    const std::size_t stride = PrepareBitmap(width, height);
    AlignReference(reference, width, height, stride);
    CZPDecoder z = zp;
    uint8_t* const first = bitmap_.data() + stride * (kTopRows - 1) + kLeftColumns;
    const uint8_t* const firstAligned = aligned_.data() + kLeftColumns;
    bool ranDry = false;
    for (int32_t r = 0; r < height; ++r) {
        if (z.PaddingExhausted()) {
            ranDry = true;
            break;
        }
        const uint8_t* up = first + stride * std::size_t(r);
        uint8_t* cur = const_cast<uint8_t*>(up) + stride;
        // The aligned reference rows facing the row above, this row and the
        // row below.
        const uint8_t* refUp = firstAligned + stride * std::size_t(r);
        const uint8_t* refCur = refUp + stride;
        const uint8_t* refDown = refCur + stride;
        // Context bits: 10-8 the row above (x-1 .. x+1), 7 this row (x-1),
        // 6 reference above (x), 5-3 reference here (x-1 .. x+1), 2-0
        // reference below (x-1 .. x+1).
        uint32_t c = (uint32_t(up[-1]) << 10) | (uint32_t(up[0]) << 9) | (uint32_t(up[1]) << 8) |
                     (uint32_t(cur[-1]) << 7) | (uint32_t(refUp[0]) << 6) |
                     (uint32_t(refCur[-1]) << 5) | (uint32_t(refCur[0]) << 4) |
                     (uint32_t(refCur[1]) << 3) | (uint32_t(refDown[-1]) << 2) |
                     (uint32_t(refDown[0]) << 1) | uint32_t(refDown[1]);
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t bit = uint32_t(z.decode(contexts[c]));
            cur[x] = uint8_t(bit);
            c = ((c << 1) & 0x636) | (uint32_t(up[x + 2]) << 8) | (bit << 7) |
                (uint32_t(refUp[x + 1]) << 6) | (uint32_t(refCur[x + 2]) << 3) |
                uint32_t(refDown[x + 2]);
        }
    }
    zp = z;
    if (ranDry) {
        return false;
    }
    CopyOut(bitmap, stride);
    return true;
}

}  // namespace vyrd
