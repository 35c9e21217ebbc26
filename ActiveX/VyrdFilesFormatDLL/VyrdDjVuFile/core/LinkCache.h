#pragma once
// The link cache of a reader object: the link records of recently queried
// pages of the open document.

#include "Container.h"
#include "PageLinks.h"
#include "RefCounted.h"

#include <cstddef>
#include <memory>
#include <vector>

namespace vyrd {

// Holds a reference to the open document and the records of at most
// kKeptPages pages, the most recently queried ones. Attaching another document
// or detaching empties it. Used by one thread at a time (the reader object
// serialises its calls).
class CLinkCache {
public:
    static constexpr std::size_t kKeptPages = 49;

    CLinkCache() = default;
    CLinkCache(const CLinkCache&) = delete;
    CLinkCache& operator=(const CLinkCache&) = delete;

    // Takes a reference to `document` (null: none) and empties the cache.
    void Attach(RefPtr<CDjVuContainer> document) noexcept;
    void Detach() noexcept { Attach(nullptr); }

    // The links of the page at `pageIndex`, built on first use. The reference
    // stays valid until the next call. A negative index throws
    // HResultError(E_INVALIDARG); without a document, or for an index at or
    // past the page count, the answer is an empty page that takes no room in
    // the cache. May throw std::bad_alloc.
    const CPageLinks& GetPageLinks(int pageIndex);

    // For tests: whether the records of a page are being kept, and how many
    // pages are.
    bool IsKept(int pageIndex) const noexcept;
    std::size_t KeptCount() const noexcept { return usage_.size(); }
    std::size_t SlotCount() const noexcept { return slots_.size(); }

private:
    void MarkUsed(int pageIndex);

    RefPtr<CDjVuContainer> document_;
    // By page index; an empty slot is a page not built or evicted.
    std::vector<std::unique_ptr<CPageLinks>> slots_;
    // Page indices with a filled slot, least recently queried first.
    std::vector<int> usage_;
};

}  // namespace vyrd
