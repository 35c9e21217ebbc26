#include "Outline.h"

#include "ByteReader.h"
#include "BzzDecoder.h"
#include "Container.h"
#include "PageUrl.h"
#include "Unicode.h"

#include <algorithm>
#include <new>
#include <utility>

namespace vyrd {

namespace {

// The decompressed stream read straight from memory, with the reads of the
// BZZ decoder.
class PlainSource {
public:
    explicit PlainSource(CByteRange bytes) : reader_(bytes) {}

    uint32_t read(void* buffer, uint32_t n) {
        if (buffer == nullptr) {
            const uint32_t skipped = std::min(n, reader_.Remaining());
            reader_.Skip(n);
            return skipped;
        }
        return reader_.ReadBytes(buffer, n);
    }
    uint8_t ReadByte() { return reader_.ReadByte(); }
    uint32_t ReadU16() { return reader_.ReadU16(); }
    uint32_t ReadU24() { return reader_.ReadU24(); }
    bool Eof() const { return reader_.EndOfData(); }

private:
    CByteReader reader_;
};

// A length-prefixed UTF-8 string. The length is only a claim: bytes are taken
// in pieces as the stream delivers them, so a damaged length costs no more
// memory than the data holds. A string that cannot be held becomes empty.
template <class Source>
std::u16string ReadText(Source& source) {
    uint32_t left = source.ReadU24();
    std::string bytes;
    char piece[4096];
    try {
        while (left > 0) {
            const uint32_t want = std::min<uint32_t>(left, sizeof(piece));
            const uint32_t got = source.read(piece, want);
            bytes.append(piece, got);
            left -= got;
            if (got < want) {
                break;
            }
        }
        return Utf8ToUtf16(bytes);
    } catch (const std::bad_alloc&) {
        source.read(nullptr, left);
        return std::u16string();
    }
}

}  // namespace

template <class Source>
void CDjVuOutline::ReadRecords(Source& source) {
    declaredCount_ = source.ReadU16();
    // Records still owed to open parents, innermost last: how many, and at
    // which depth. An explicit stack, so nesting depth costs no call stack.
    struct Pending {
        uint32_t remaining;
        int depth;
    };
    std::vector<Pending> pending;
    uint32_t read = 0;
    for (;;) {
        // The declared count is checked between top-level records only: a
        // record always brings its whole subtree.
        if (pending.empty() && read >= declaredCount_) {
            break;
        }
        if (bookmarks_.size() >= kMaxBookmarks) {
            break;
        }
        int depth = 0;
        if (!pending.empty()) {
            depth = pending.back().depth;
            if (--pending.back().remaining == 0) {
                pending.pop_back();
            }
        }
        // Data that ends before a record starts ends the outline: no empty
        // bookmarks are made up for the records the count still promises.
        if (source.Eof()) {
            break;
        }
        const uint8_t children = source.ReadByte();
        if (source.Eof()) {
            break;
        }
        CBookmark bookmark;
        bookmark.depth = depth;
        bookmark.title = ReadText(source);
        bookmark.url = ReadText(source);
        bookmarks_.push_back(std::move(bookmark));
        ++read;
        if (children > 0) {
            pending.push_back({children, depth + 1});
        }
    }
}

RefPtr<CDjVuOutline> CDjVuOutline::Parse(CByteRange navm) {
    RefPtr<CDjVuOutline> outline = RefPtr<CDjVuOutline>::Adopt(new CDjVuOutline());
    CBzzDecoder bzz(navm);
    outline->ReadRecords(bzz);
    return outline;
}

RefPtr<CDjVuOutline> CDjVuOutline::ParseDecompressed(CByteRange bytes) {
    RefPtr<CDjVuOutline> outline = RefPtr<CDjVuOutline>::Adopt(new CDjVuOutline());
    PlainSource source(bytes);
    outline->ReadRecords(source);
    return outline;
}

RefPtr<CDjVuOutline> CDjVuOutline::Read(const CDjVuContainer& document) {
    const CIffChunk& navm = document.OutlineChunk();
    if (!navm.IsValid()) {
        return nullptr;
    }
    RefPtr<CDjVuOutline> outline = Parse(navm.Data());
    outline->ResolvePages(document.Directory(), document.CountPages());
    return outline;
}

void CDjVuOutline::ResolvePages(const CDjVuDirectory* directory, int pageCount) {
    for (CBookmark& bookmark : bookmarks_) {
        bookmark.page = ResolvePageUrl(bookmark.url, directory, pageCount);
    }
}

}  // namespace vyrd
