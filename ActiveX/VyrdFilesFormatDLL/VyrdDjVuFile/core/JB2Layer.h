#pragma once
// The decoded bilevel layer of a page: shapes placed on the page.

#include "Raster.h"
#include "RefCounted.h"

#include <cstdint>
#include <vector>

namespace vyrd {

// One shape placed on the page: the column of its left edge and the row of its
// bottom edge, both counted from the bottom-left corner of the page. Either
// may be negative (a shape reaching past the left or bottom edge).
struct JB2Blit {
    RefPtr<CRasterImage> shape;
    int32_t x = 0;
    int32_t y = 0;
};

// The result of decoding a page's mask stream: its size and its blits in
// decoding order. Used by one thread at a time.
class CJB2Layer final : public CRefCounted {
public:
    CJB2Layer(int32_t width, int32_t height) noexcept : width_(width), height_(height) {}

    int32_t Width() const noexcept { return width_; }
    int32_t Height() const noexcept { return height_; }

    // Records a blit unless the shape would stick out past the right or top
    // edge (x + width > layer width or y + height > layer height); returns
    // whether it was recorded. Throws std::bad_alloc.
    bool AddBlit(const RefPtr<CRasterImage>& shape, int32_t x, int32_t y);

    int32_t BlitCount() const noexcept { return static_cast<int32_t>(blits_.size()); }
    // Blit k (0-based, below BlitCount()).
    const JB2Blit& GetBlit(int32_t k) const noexcept { return blits_[static_cast<std::size_t>(k)]; }
    const std::vector<JB2Blit>& Blits() const noexcept { return blits_; }

private:
    int32_t width_;
    int32_t height_;
    std::vector<JB2Blit> blits_;
};

}  // namespace vyrd
