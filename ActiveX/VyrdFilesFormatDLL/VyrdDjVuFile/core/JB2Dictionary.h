#pragma once
// Shape dictionaries of the JB2 bilevel coding: the shapes a mask stream
// refers to by number.

#include "Raster.h"
#include "RefCounted.h"

#include <cstdint>
#include <vector>

namespace vyrd {

// An ordered collection of BILEVEL shape rasters. Shape numbers run over the
// children first (each child covering its total count, in order), then over
// the dictionary's own shapes. Used by one thread at a time; a dictionary
// that has been handed to another as a child is not changed any more.
class CJB2Dictionary final : public CRefCounted {
public:
    CJB2Dictionary() = default;

    // Own shapes plus the totals of the children.
    int32_t TotalCount() const noexcept;

    // Shape number `n`, or null when n is negative or not below TotalCount().
    RefPtr<CRasterImage> GetShape(int32_t n) const;

    // Appends a dictionary whose shapes take the numbers after those of the
    // children already present. Throws std::bad_alloc.
    void AddChild(RefPtr<CJB2Dictionary> child);

    // Appends `raster` cropped to the smallest rectangle holding all its ink (a
    // raster without ink becomes 0 x 0). The raster itself is kept when it has
    // no blank margin. Returns false, adding nothing, when the cropped copy
    // cannot be allocated; std::bad_alloc may escape from the list growth.
    bool AddShape(const RefPtr<CRasterImage>& raster);

    // Makes the numbering flat: the own shape list becomes every shape in
    // number order and the child list is emptied. Numbers do not change.
    // Throws std::bad_alloc.
    void Flatten();

    int32_t ChildCount() const noexcept { return static_cast<int32_t>(children_.size()); }
    int32_t OwnShapeCount() const noexcept { return static_cast<int32_t>(shapes_.size()); }

private:
    // Shape number `n` without taking a reference.
    const CRasterImage* PeekShape(int32_t n) const noexcept;
    void AppendAllShapes(std::vector<RefPtr<CRasterImage>>& out) const;

    std::vector<RefPtr<CJB2Dictionary>> children_;
    std::vector<RefPtr<CRasterImage>> shapes_;
    // Sum of the children's totals; children never change once added.
    int32_t childShapes_ = 0;
};

// The cropped copy of a BILEVEL raster: the smallest rectangle holding all its
// ink, or a 0 x 0 raster when there is none; `raster` itself when nothing is
// cut. Null when the copy cannot be allocated.
RefPtr<CRasterImage> CropToInk(const RefPtr<CRasterImage>& raster);

}  // namespace vyrd
