#pragma once
// The hyperlink areas of one page, in page pixels with the origin at the
// top-left corner, as the reader answers hit tests with them.

#include "MapArea.h"

#include <cstdint>
#include <vector>

namespace vyrd {

class CDjVuContainer;

// One rectangular link. The rectangle is inclusive on all four sides. The
// destination page is 0-based, -1 when the URL leaves the document; the
// destination point is always (0, 0): a link leads to the top of its page.
struct LinkRecord {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;
    int32_t page = -1;
    int32_t x = 0;
    int32_t y = 0;

    bool Contains(int32_t px, int32_t py) const noexcept {
        return left <= px && px <= right && top <= py && py <= bottom;
    }
    bool operator==(const LinkRecord&) const = default;
};

// The link records of one page in annotation order, with the INFO values they
// were placed with (all 0 when the page has no INFO).
struct CPageLinks {
    std::vector<LinkRecord> records;
    uint8_t orientation = 0;
    int32_t width = 0;
    int32_t height = 0;

    // The last record that contains the point (later areas lie on top of
    // earlier ones), or null.
    const LinkRecord* LinkAt(int32_t px, int32_t py) const noexcept;
};

// The rectangle of `area` in page pixels. Annotations count y from the bottom
// of the stored page picture; the reader hands out that picture unrotated with
// y counted from the top, so the rectangle is turned over the page height
// whatever the page's orientation. Without a height (no INFO) it is kept as
// written. Sums saturate at the limits of 32 bits.
LinkRecord PlaceMapArea(const CMapAreaRect& area, int32_t pageHeight, int32_t destinationPage);

// Reads the page's annotation text (AnnotationText.h) and turns each
// rectangular map area into a record; URLs resolve against the document's
// directory (PageUrl.h). An unavailable page or malformed annotations give
// fewer records, never an error. Throws std::bad_alloc only.
CPageLinks BuildPageLinks(CDjVuContainer& document, int pageIndex);

}  // namespace vyrd
