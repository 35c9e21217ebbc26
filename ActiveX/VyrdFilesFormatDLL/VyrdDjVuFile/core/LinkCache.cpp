#include "LinkCache.h"

#include "HResultError.h"

#include <algorithm>
#include <utility>

namespace vyrd {

namespace {

const CPageLinks kNoLinks;

}  // namespace

void CLinkCache::Attach(RefPtr<CDjVuContainer> document) noexcept {
    usage_.clear();
    slots_.clear();
    document_ = std::move(document);
}

const CPageLinks& CLinkCache::GetPageLinks(int pageIndex) {
    if (pageIndex < 0) {
        throw HResultError(kE_INVALIDARG);
    }
    // No page there, so no links: the slot array only ever covers real pages,
    // however large the index a caller sends.
    if (!document_ || pageIndex >= document_->CountPages()) {
        return kNoLinks;
    }
    // Room in the usage list first: once a slot is filled, marking it can no
    // longer fail, so every filled slot is on the list and can be evicted.
    usage_.reserve(kKeptPages + 1);
    const auto slot = static_cast<std::size_t>(pageIndex);
    if (slots_.size() <= slot) {
        slots_.resize(slot + 1);
    }
    if (!slots_[slot]) {
        slots_[slot] = std::make_unique<CPageLinks>(BuildPageLinks(*document_, pageIndex));
    }
    // Held before MarkUsed, which never evicts the page it marks.
    const CPageLinks& links = *slots_[slot];
    MarkUsed(pageIndex);
    return links;
}

void CLinkCache::MarkUsed(int pageIndex) {
    const auto found = std::find(usage_.begin(), usage_.end(), pageIndex);
    if (found != usage_.end()) {
        usage_.erase(found);
    }
    usage_.push_back(pageIndex);
    if (usage_.size() > kKeptPages) {
        slots_[static_cast<std::size_t>(usage_.front())].reset();
        usage_.erase(usage_.begin());
    }
}

bool CLinkCache::IsKept(int pageIndex) const noexcept {
    return pageIndex >= 0 && static_cast<std::size_t>(pageIndex) < slots_.size() &&
           slots_[static_cast<std::size_t>(pageIndex)] != nullptr;
}

}  // namespace vyrd
