#pragma once
// The document outline (table of contents) of a NAVM chunk: bookmarks with a
// title and a URL, nested.
//
// The chunk data is one BZZ stream: a 16-bit big-endian count of all
// bookmarks in the tree, then the top-level records. A record is a child-count
// byte, a title and a URL (each a 24-bit big-endian byte length and UTF-8
// bytes), then that many child records.

#include "ByteRange.h"
#include "RefCounted.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vyrd {

class CDjVuContainer;
class CDjVuDirectory;

// One bookmark. `depth` is 0 for top-level bookmarks and one more for each
// level below; `page` is the 0-based page the URL names, -1 for none.
struct CBookmark {
    std::u16string title;
    std::u16string url;
    int depth = 0;
    int page = -1;
};

// The bookmarks of one outline in depth-first order, each parent before its
// children: a bookmark's children are the bookmarks that follow it, up to the
// next one of its own depth or less. Flat, so that neither reading nor
// destroying a deeply nested outline recurses. Immutable once read.
class CDjVuOutline final : public CRefCounted {
public:
    // No more bookmarks than a count of 16 bits can declare are read.
    static constexpr std::size_t kMaxBookmarks = 0xFFFF;

    // Parses NAVM chunk data. A damaged or truncated stream gives the
    // bookmarks read before the damage: reading stops when the data ends
    // before a record starts, when the declared count is reached at the top
    // level, or at kMaxBookmarks. A title or URL cut short keeps what was read.
    // Pages are not resolved (-1). Throws std::bad_alloc only.
    static RefPtr<CDjVuOutline> Parse(CByteRange navm);
    // The same over the already decompressed stream.
    static RefPtr<CDjVuOutline> ParseDecompressed(CByteRange bytes);

    // The outline of an open document with every bookmark's page resolved
    // (PageUrl.h), or null when it has none: only a bundled document whose
    // second chunk is NAVM has one. Throws std::bad_alloc only.
    static RefPtr<CDjVuOutline> Read(const CDjVuContainer& document);

    uint32_t DeclaredCount() const noexcept { return declaredCount_; }
    const std::vector<CBookmark>& Bookmarks() const noexcept { return bookmarks_; }

    // Sets every bookmark's page from its URL.
    void ResolvePages(const CDjVuDirectory* directory, int pageCount);

private:
    CDjVuOutline() = default;
    template <class Source>
    void ReadRecords(Source& source);

    uint32_t declaredCount_ = 0;
    std::vector<CBookmark> bookmarks_;
};

}  // namespace vyrd
