#include "TextCache.h"

#include <utility>

namespace vyrd {

RefPtr<CPageTextLayer> CTextCache::Get(CDjVuContainer& document, int index) {
    if (RefPtr<CPageTextLayer> hit = Find(index)) {
        return hit;
    }
    const RefPtr<CDjVuPage> page = document.GetPageObject(index);
    if (!page) {
        return nullptr;
    }
    ++decodes_;
    RefPtr<CPageTextLayer> layer = page->GetText();
    if (layer) {
        Insert(index, layer);
    }
    return layer;
}

RefPtr<CPageTextLayer> CTextCache::Find(int index) {
    for (std::size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].page == index) {
            // A swap rather than a move to the front: one exchange per hit, and
            // a page asked for twice in a row stays first.
            std::swap(entries_[i], entries_[0]);
            return entries_[0].layer;
        }
    }
    return nullptr;
}

void CTextCache::Insert(int index, RefPtr<CPageTextLayer> layer) {
    if (entries_.capacity() < kCapacity + 1) {
        entries_.reserve(kCapacity + 1);
    }
    entries_.insert(entries_.begin(), Entry{index, std::move(layer)});
    if (entries_.size() > kCapacity) {
        entries_.pop_back();
    }
}

void CTextCache::Clear() noexcept {
    entries_.clear();
}

}  // namespace vyrd
