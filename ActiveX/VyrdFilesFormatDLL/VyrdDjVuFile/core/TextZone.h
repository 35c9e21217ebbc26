#pragma once
// The zone tree of a page's hidden text layer, and the two questions the
// reader asks of it: which text lies under a rectangle, and which rectangles
// hold a range of the text.

#include "RefCounted.h"

#include <compare>
#include <cstdint>
#include <optional>
#include <vector>

namespace vyrd {

// Zone types as stored in the text layer. A zone's type is kept as read and
// never checked against this list.
enum TextZoneType : int32_t {
    kZonePage = 1,
    kZoneColumn = 2,
    kZoneRegion = 3,
    kZoneParagraph = 4,
    kZoneLine = 5,
    kZoneWord = 6,
    kZoneCharacter = 7,
};

// A rectangle in page pixels, inclusive on all four sides. Ordered by left,
// top, right, bottom, each as a signed value.
struct TextRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    friend auto operator<=>(const TextRect&, const TextRect&) = default;
};

// Swaps left/right and top/bottom where they are the wrong way round.
TextRect NormalizeRect(TextRect rc) noexcept;

// A run of UTF-16 code units of the page text, [first, last]. last is
// first - 1 for an empty run.
struct TextRange {
    int32_t first = 0;
    int32_t last = -1;

    int32_t Length() const noexcept { return last - first + 1; }
    friend bool operator==(const TextRange&, const TextRange&) = default;
};

// One zone: a rectangle of the page and the run of the page text it holds.
// Built by the text layer decoder and immutable afterwards; shared between
// threads only for reading.
class CTextZone final : public CRefCounted {
public:
    int32_t type = 0;
    // Left edge and lower edge; the lower edge is measured from the top of the
    // page once the layer is converted to top-down, from its bottom otherwise.
    int32_t x = 0;
    int32_t y = 0;
    int32_t w = 0;
    int32_t h = 0;
    // The zone's text in UTF-16 code units of the page text...
    int32_t wstart = 0;
    int32_t wlen = 0;
    // ...and in bytes of the UTF-8 text, clipped to the text.
    int32_t bstart = 0;
    int32_t blen = 0;
    // In stream order.
    std::vector<RefPtr<CTextZone>> children;

    // {x, y, x + w - 1, y + h - 1}.
    TextRect Rect() const noexcept;
    // [wstart, wstart + wlen - 1].
    TextRange Range() const noexcept { return {wstart, wstart + wlen - 1}; }
};

// The text under `rc` (inclusive, normalised): the whole range of a zone that
// lies inside rc or of a childless zone that overlaps it by more than a
// single row and column; otherwise the span from the smallest to the largest
// range its children give. Nothing when no zone qualifies.
std::optional<TextRange> Covered(const CTextZone& zone, const TextRect& rc);

// The distinct rectangles of the zones that hold [first, last], sorted by
// left, top, right, bottom. Zones of type Character (or above) give their own
// rectangle; a zone of a lower type partly inside the run is searched through
// its children, and one wholly inside (or without children) gives those of all
// its leaves. An empty run (last = first - 1) finds the zones holding both
// first - 1 and first.
std::vector<TextRect> CollectTextRects(const CTextZone& root, int64_t first, int64_t last);

}  // namespace vyrd
