#pragma once
// The reader's cache of decoded page text layers.

#include "Container.h"
#include "PageTextLayer.h"
#include "RefCounted.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace vyrd {

// Up to kCapacity decoded layers by page index. Selection and search ask the
// same few pages again and again; each of them is decoded once while it stays
// in the cache. A hit is swapped with the first entry; a new layer goes to the
// front and pushes the last entry out when the cache is full. Pages without a
// text layer are not remembered. Not thread-safe: the reader object
// serialises its calls.
class CTextCache {
public:
    static constexpr std::size_t kCapacity = 10;

    // The text layer of page `index` of `document`: from the cache, or decoded
    // and cached. Null when the page cannot be had or has no text layer. May
    // throw std::bad_alloc (the cache is then unchanged).
    RefPtr<CPageTextLayer> Get(CDjVuContainer& document, int index);

    // The cached layer of page `index` (swapping its entry to the front), or null.
    RefPtr<CPageTextLayer> Find(int index);
    // Puts a newly decoded layer at the front, dropping the last entry when
    // the cache already holds kCapacity.
    void Insert(int index, RefPtr<CPageTextLayer> layer);
    // Releases every entry.
    void Clear() noexcept;

    std::size_t Size() const noexcept { return entries_.size(); }
    // The page index of entry `position`, front first.
    int PageAt(std::size_t position) const { return entries_.at(position).page; }
    // How many layers Get has decoded since the cache was made.
    uint64_t Decodes() const noexcept { return decodes_; }

private:
    struct Entry {
        int page = 0;
        RefPtr<CPageTextLayer> layer;
    };
    std::vector<Entry> entries_;
    uint64_t decodes_ = 0;
};

}  // namespace vyrd
