#include "PageLinks.h"

#include "AnnotationText.h"
#include "Container.h"
#include "PageUrl.h"

#include <algorithm>
#include <limits>

namespace vyrd {

namespace {

int32_t Saturate(int64_t value) {
    constexpr int64_t kLow = std::numeric_limits<int32_t>::min();
    constexpr int64_t kHigh = std::numeric_limits<int32_t>::max();
    return static_cast<int32_t>(std::clamp(value, kLow, kHigh));
}

}  // namespace

const LinkRecord* CPageLinks::LinkAt(int32_t px, int32_t py) const noexcept {
    for (auto it = records.rbegin(); it != records.rend(); ++it) {
        if (it->Contains(px, py)) {
            return &*it;
        }
    }
    return nullptr;
}

LinkRecord PlaceMapArea(const CMapAreaRect& area, int32_t pageHeight, int32_t destinationPage) {
    // The far edges are x + w and y + h themselves: the stored width and height
    // reach one pixel beyond an inclusive rectangle, and links keep that pixel.
    LinkRecord record;
    record.left = area.x;
    record.right = Saturate(int64_t{area.x} + area.w);
    record.top = area.y;
    record.bottom = Saturate(int64_t{area.y} + area.h);
    if (pageHeight > 0) {
        const int32_t top = Saturate(int64_t{pageHeight} - record.bottom);
        const int32_t bottom = Saturate(int64_t{pageHeight} - record.top);
        record.top = top;
        record.bottom = bottom;
    }
    record.page = destinationPage;
    return record;
}

CPageLinks BuildPageLinks(CDjVuContainer& document, int pageIndex) {
    CPageLinks links;
    const RefPtr<CDjVuPage> page = document.GetPageObject(pageIndex);
    if (!page) {
        return links;
    }
    if (const RefPtr<CPageInfo> info = page->GetInfo()) {
        links.orientation = info->orientation;
        links.width = info->width;
        links.height = info->height;
    }
    const std::u16string& text = page->GetAnnotationText(document);
    if (text.empty()) {
        return links;
    }
    const int pageCount = document.CountPages();
    for (const std::u16string_view expression : SplitTopLevelExpressions(text)) {
        const std::optional<CMapAreaRect> area = ParseMapAreaRect(expression);
        if (!area) {
            continue;
        }
        const int destination = ResolvePageUrl(area->url, document.Directory(), pageCount);
        links.records.push_back(PlaceMapArea(*area, links.height, destination));
    }
    return links;
}

}  // namespace vyrd
