#include "JB2Dictionary.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace vyrd {

int32_t CJB2Dictionary::TotalCount() const noexcept {
    return childShapes_ + static_cast<int32_t>(shapes_.size());
}

const CRasterImage* CJB2Dictionary::PeekShape(int32_t n) const noexcept {
    if (n < 0) {
        return nullptr;
    }
    // Children are few (a page's dictionary is flat; a stream's library has at
    // most its inherited dictionary as a child), so a walk is cheap.
    for (const RefPtr<CJB2Dictionary>& child : children_) {
        const int32_t total = child->TotalCount();
        if (n < total) {
            return child->PeekShape(n);
        }
        n -= total;
    }
    if (static_cast<std::size_t>(n) < shapes_.size()) {
        return shapes_[static_cast<std::size_t>(n)].get();
    }
    return nullptr;
}

RefPtr<CRasterImage> CJB2Dictionary::GetShape(int32_t n) const {
    return RefPtr<CRasterImage>::Share(const_cast<CRasterImage*>(PeekShape(n)));
}

void CJB2Dictionary::AddChild(RefPtr<CJB2Dictionary> child) {
    const int32_t total = child->TotalCount();
    children_.push_back(std::move(child));
    childShapes_ += total;
}

bool CJB2Dictionary::AddShape(const RefPtr<CRasterImage>& raster) {
    RefPtr<CRasterImage> cropped = CropToInk(raster);
    if (!cropped) {
        return false;
    }
    shapes_.push_back(std::move(cropped));
    return true;
}

void CJB2Dictionary::AppendAllShapes(std::vector<RefPtr<CRasterImage>>& out) const {
    for (const RefPtr<CJB2Dictionary>& child : children_) {
        child->AppendAllShapes(out);
    }
    out.insert(out.end(), shapes_.begin(), shapes_.end());
}

void CJB2Dictionary::Flatten() {
    if (children_.empty()) {
        return;
    }
    std::vector<RefPtr<CRasterImage>> flat;
    flat.reserve(static_cast<std::size_t>(TotalCount()));
    AppendAllShapes(flat);
    shapes_ = std::move(flat);
    children_.clear();
    childShapes_ = 0;
}

RefPtr<CRasterImage> CropToInk(const RefPtr<CRasterImage>& raster) {
    const int32_t width = raster->Width();
    const int32_t height = raster->Height();
    if (width == 0 || height == 0) {
        // No pixel, so no ink: the empty shape.
        return width == 0 && height == 0
                   ? raster
                   : CRasterImage::Create(RasterFormat::BILEVEL, 0, 0, 0, false);
    }
    int32_t left = width;
    int32_t right = -1;
    int32_t bottom = -1;
    int32_t top = -1;
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* row = raster->Row(y);
        const uint8_t* first = std::find(row, row + width, uint8_t{1});
        if (first == row + width) {
            continue;
        }
        // Rows are scanned bottom-up: the first row with ink is the bottom.
        if (bottom < 0) {
            bottom = y;
        }
        top = y;
        left = std::min(left, static_cast<int32_t>(first - row));
        const int32_t last =
            static_cast<int32_t>(std::find(std::make_reverse_iterator(row + width),
                                           std::make_reverse_iterator(row), uint8_t{1})
                                     .base() -
                                 row) -
            1;
        right = std::max(right, last);
    }
    if (top < 0) {
        return CRasterImage::Create(RasterFormat::BILEVEL, 0, 0, 0, false);
    }
    const int32_t croppedWidth = right - left + 1;
    const int32_t croppedHeight = top - bottom + 1;
    if (croppedWidth == width && croppedHeight == height) {
        return raster;
    }
    RefPtr<CRasterImage> cropped = CRasterImage::Create(RasterFormat::BILEVEL, croppedWidth,
                                                        croppedHeight, croppedWidth, false);
    if (!cropped) {
        return nullptr;
    }
    for (int32_t y = 0; y < croppedHeight; ++y) {
        std::memcpy(cropped->Row(y), raster->Row(bottom + y) + left,
                    static_cast<std::size_t>(croppedWidth));
    }
    return cropped;
}

}  // namespace vyrd
