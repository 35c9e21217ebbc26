#pragma once
// The hidden text layer of a page: the text of a TXTz chunk and its zone tree.

#include "ByteRange.h"
#include "BzzDecoder.h"
#include "IffChunk.h"
#include "RefCounted.h"
#include "TextZone.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vyrd {

inline constexpr uint32_t kIdTXTz = ChunkId("TXTz");

// Where the decoder puts the zones of a layer.
struct TextLayerPlacement {
    // The page height from INFO.
    int32_t pageHeight = 0;
    // Turn the zones from the layer's bottom-up system (y from the bottom of
    // the page) to top-down (y from the top). The page object asks for it when
    // bit 0 of the page's orientation code is set.
    bool topDown = true;
};

// A decoded text layer. Immutable once decoded: safe to share and to read
// from several threads.
class CPageTextLayer final : public CRefCounted {
public:
    // Limits on what one layer may hold. Real pages nest seven levels deep
    // (page, column, region, paragraph, line, word, character) and hold some
    // thousands of zones; the limits keep a hostile stream from exhausting the
    // stack or memory. A stream that passes one is treated as ending there.
    static constexpr int kMaxZoneDepth = 64;
    static constexpr uint32_t kMaxZones = 1u << 20;

    // Decodes the data of a TXTz chunk (one BZZ stream). Null when the stream
    // yields no root zone. A truncated or corrupt stream never fails: the
    // zones after the damage are dropped and the text is what was delivered.
    // May throw std::bad_alloc.
    static RefPtr<CPageTextLayer> Decode(CByteRange txtz, const TextLayerPlacement& placement,
                                         uint32_t maxBlockSize = CBzzDecoder::kMaxBlockSize);

    // The same over the stream already decompressed (tests and fuzzing).
    static RefPtr<CPageTextLayer> DecodeUncompressed(CByteRange stream,
                                                     const TextLayerPlacement& placement);

    const CTextZone& Root() const noexcept { return *root_; }
    // The UTF-8 text as stored, and its UTF-16 conversion, which zone ranges index.
    const std::string& Utf8Text() const noexcept { return utf8_; }
    const std::u16string& Text() const noexcept { return text_; }

    // The queries of the reader, on the root zone. `rc` is normalised first.
    std::optional<TextRange> CoveredBy(const TextRect& rc) const;
    std::vector<TextRect> RectsOf(int64_t first, int64_t last) const;
    // The code units [first, last] of the text; a start below 0 counts as 0
    // and a run past the end is cut at the end.
    std::u16string Substring(const TextRange& range) const;

    // Depth-first walk over every zone, parents before children.
    template <class Visit>
    void ForEachZone(Visit visit) const {
        Walk(*root_, 0, visit);
    }

private:
    friend class TextLayerBuilder;
    CPageTextLayer() = default;

    template <class Visit>
    static void Walk(const CTextZone& zone, int depth, Visit& visit) {
        visit(zone, depth);
        for (const RefPtr<CTextZone>& child : zone.children) {
            Walk(*child, depth + 1, visit);
        }
    }

    RefPtr<CTextZone> root_;
    std::string utf8_;
    std::u16string text_;
};

}  // namespace vyrd
