#include "TextZone.h"

#include <algorithm>
#include <utility>

namespace vyrd {

namespace {

// Zone edges as 64-bit values: the decoder keeps x and y within ±2^30 and w,
// h within 16 bits, but a query rectangle may hold any 32-bit values, and
// none of the comparisons below may overflow.
struct Box {
    int64_t left, top, right, bottom;
};

Box BoxOf(const CTextZone& zone) noexcept {
    return {zone.x, zone.y, int64_t{zone.x} + zone.w - 1, int64_t{zone.y} + zone.h - 1};
}

bool Inside(const Box& z, const TextRect& rc) noexcept {
    return z.left >= rc.left && z.right <= rc.right && z.top >= rc.top && z.bottom <= rc.bottom;
}

// Strictly more than a shared edge: a zone that only touches the rectangle
// along one row or one column is not under it.
bool Overlaps(const Box& z, const TextRect& rc) noexcept {
    return std::max<int64_t>(z.left, rc.left) < std::min<int64_t>(rc.right, z.right) &&
           std::max<int64_t>(z.top, rc.top) < std::min<int64_t>(rc.bottom, z.bottom);
}

// [first, last] and [a, b] have a position in common. Written as two
// comparisons so that an empty run [s, s - 1] behaves as the formula says:
// it meets [a, b] when a < s <= b.
bool Meets(const TextRange& r, int64_t a, int64_t b) noexcept {
    return r.first <= b && r.last >= a;
}

void AddLeaves(const CTextZone& zone, std::vector<TextRect>& out) {
    if (zone.children.empty()) {
        out.push_back(zone.Rect());
        return;
    }
    for (const RefPtr<CTextZone>& child : zone.children) {
        AddLeaves(*child, out);
    }
}

void Collect(const CTextZone& zone, int64_t a, int64_t b, std::vector<TextRect>& out) {
    const TextRange range = zone.Range();
    if (!Meets(range, a, b)) {
        return;
    }
    if (zone.type >= kZoneCharacter) {
        out.push_back(zone.Rect());
        return;
    }
    const bool whollyInside = range.first >= a && range.last <= b;
    if (!whollyInside && !zone.children.empty()) {
        for (const RefPtr<CTextZone>& child : zone.children) {
            Collect(*child, a, b, out);
        }
        return;
    }
    AddLeaves(zone, out);
}

}  // namespace

TextRect NormalizeRect(TextRect rc) noexcept {
    if (rc.right < rc.left) {
        std::swap(rc.left, rc.right);
    }
    if (rc.bottom < rc.top) {
        std::swap(rc.top, rc.bottom);
    }
    return rc;
}

TextRect CTextZone::Rect() const noexcept {
    // The decoder's bounds on x, y, w and h keep these sums inside 32 bits.
    return {x, y, x + w - 1, y + h - 1};
}

std::optional<TextRange> Covered(const CTextZone& zone, const TextRect& rc) {
    const Box box = BoxOf(zone);
    if (Inside(box, rc)) {
        return zone.Range();
    }
    if (!Overlaps(box, rc)) {
        return std::nullopt;
    }
    if (zone.children.empty()) {
        // A leaf counts whole, however little of it the rectangle clips.
        return zone.Range();
    }
    std::optional<TextRange> span;
    for (const RefPtr<CTextZone>& child : zone.children) {
        if (const std::optional<TextRange> part = Covered(*child, rc)) {
            if (!span) {
                span = part;
            } else {
                span->first = std::min(span->first, part->first);
                span->last = std::max(span->last, part->last);
            }
        }
    }
    return span;
}

std::vector<TextRect> CollectTextRects(const CTextZone& root, int64_t first, int64_t last) {
    std::vector<TextRect> rects;
    Collect(root, first, last, rects);
    // Sorting once and dropping neighbours that are equal gives the same list
    // as inserting each rectangle in order and removing duplicates afterwards,
    // without the quadratic cost of inserting into the middle.
    std::sort(rects.begin(), rects.end());
    rects.erase(std::unique(rects.begin(), rects.end()), rects.end());
    return rects;
}

}  // namespace vyrd
