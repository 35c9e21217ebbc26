// The TXTz decoder. The decompressed stream holds the text length (3 bytes),
// the UTF-8 text, a version byte and then the zone tree as nested records:
// type (1 byte); x, y, w, h (2 bytes each, stored as value + 0x8000); a text
// offset (2 bytes, not used: each zone's text starts where its previous
// sibling's ended, or where its parent's starts); the zone's text length in
// bytes (3); the number of child records that follow (3).

#include "PageTextLayer.h"

#include "ByteReader.h"
#include "Unicode.h"

#include <algorithm>
#include <string_view>

namespace vyrd {

namespace {

// Placement sums are kept inside ±2^30: with w and h below 2^16 every edge
// computed from them (x + w - 1, H - h - y) stays a valid 32-bit value,
// however many siblings a hostile stream chains together.
constexpr int64_t kCoordinateLimit = int64_t{1} << 30;

int32_t ClampCoordinate(int64_t v) noexcept {
    return static_cast<int32_t>(std::clamp(v, -kCoordinateLimit, kCoordinateLimit));
}

// An uncompressed stream read through the same calls as CBzzDecoder.
class PlainSource {
public:
    explicit PlainSource(CByteRange range) noexcept : reader_(range) {}
    uint8_t ReadByte() noexcept { return reader_.ReadByte(); }
    uint32_t ReadU16() noexcept { return reader_.ReadU16(); }
    uint32_t ReadU24() noexcept { return reader_.ReadU24(); }
    uint32_t read(void* buffer, uint32_t n) noexcept { return reader_.ReadBytes(buffer, n); }
    bool Eof() const noexcept { return reader_.EndOfData(); }

private:
    CByteReader reader_;
};

// Siblings of these types follow each other downward (lines of a paragraph,
// paragraphs of a region); the others run left to right (words of a line).
bool StacksVertically(int32_t type) noexcept {
    return type == kZonePage || type == kZoneParagraph || type == kZoneLine;
}

// The duplicate rule: a child equal in all of these to the child accepted
// just before it adds nothing and is dropped.
bool SameZone(const CTextZone& a, const CTextZone& b) noexcept {
    return a.type == b.type && a.x == b.x && a.y == b.y && a.w == b.w && a.h == b.h &&
           a.wstart == b.wstart && a.wlen == b.wlen && a.children.size() == b.children.size();
}

}  // namespace

// Builds one layer from one stream. Zones are placed bottom-up, each relative
// to its previous accepted sibling or else its parent, and every accepted
// child is turned top-down by its parent once all its siblings are placed (the
// root turns itself): a zone's placement always reads its neighbours in the
// system they were stored in.
class TextLayerBuilder {
public:
    template <class Source>
    static RefPtr<CPageTextLayer> Build(Source& source, const TextLayerPlacement& placement) {
        RefPtr<CPageTextLayer> layer = RefPtr<CPageTextLayer>::Adopt(new CPageTextLayer());
        ReadText(source, layer->utf8_);
        source.ReadByte();  // version
        TextLayerBuilder builder(layer->utf8_, placement);
        layer->root_ = builder.DecodeZone(source, nullptr, nullptr, 0);
        if (!layer->root_) {
            return nullptr;
        }
        if (placement.topDown) {
            builder.TurnTopDown(*layer->root_);
        }
        layer->text_ = Utf8ToUtf16(layer->utf8_);
        return layer;
    }

private:
    TextLayerBuilder(std::string_view text, const TextLayerPlacement& placement) noexcept
        : text_(text), placement_(placement) {}

    // The declared length is only a claim: the text grows as the stream
    // delivers it, so a short stream never costs the memory it claims.
    template <class Source>
    static void ReadText(Source& source, std::string& text) {
        uint32_t remaining = source.ReadU24();
        constexpr uint32_t kPiece = 1u << 16;
        while (remaining > 0 && !source.Eof()) {
            const uint32_t want = std::min(remaining, kPiece);
            const std::size_t at = text.size();
            text.resize(at + want);
            const uint32_t got = source.read(text.data() + at, want);
            text.resize(at + got);
            if (got < want) {
                break;
            }
            remaining -= got;
        }
    }

    template <class Source>
    RefPtr<CTextZone> DecodeZone(Source& source, const CTextZone* parent, const CTextZone* previous,
                                 int depth) {
        if (ended_ || source.Eof()) {
            return nullptr;
        }
        if (depth > CPageTextLayer::kMaxZoneDepth || zones_ >= CPageTextLayer::kMaxZones) {
            ended_ = true;
            return nullptr;
        }
        const int32_t type = source.ReadByte();
        int32_t x = static_cast<int32_t>(source.ReadU16()) - 0x8000;
        int32_t y = static_cast<int32_t>(source.ReadU16()) - 0x8000;
        const int32_t w = static_cast<int32_t>(source.ReadU16()) - 0x8000;
        const int32_t h = static_cast<int32_t>(source.ReadU16()) - 0x8000;
        source.ReadU16();  // text offset
        const uint32_t byteLength = source.ReadU24();
        const uint32_t childCount = source.ReadU24();
        if (source.Eof()) {
            // A record cut short holds zeros for what is missing: it is not
            // a zone, and nothing after it is either.
            ended_ = true;
            return nullptr;
        }
        ++zones_;

        RefPtr<CTextZone> zone = MakeRef<CTextZone>();
        zone->type = type;
        zone->w = w;
        zone->h = h;
        int64_t bstart = 0;
        if (previous) {
            if (StacksVertically(type)) {
                zone->x = ClampCoordinate(int64_t{previous->x} + x);
                zone->y = ClampCoordinate(int64_t{previous->y} - h - y);
            } else {
                zone->x = ClampCoordinate(int64_t{previous->x} + previous->w + x);
                zone->y = ClampCoordinate(int64_t{previous->y} + y);
            }
            bstart = int64_t{previous->bstart} + previous->blen;
            zone->wstart = previous->wstart + previous->wlen;
        } else if (parent) {
            zone->x = ClampCoordinate(int64_t{parent->x} + x);
            zone->y = ClampCoordinate(int64_t{parent->y} + parent->h - h - y);
            bstart = parent->bstart;
            zone->wstart = parent->wstart;
        } else {
            zone->x = x;
            zone->y = y;
        }
        // Byte ranges are clipped to the text: a length that runs past it
        // covers what is there. The clipped start of the next sibling is the
        // same as the unclipped one would be, since past the end nothing is left.
        const int64_t textSize = static_cast<int64_t>(text_.size());
        bstart = std::min(bstart, textSize);
        const int64_t blen = std::min<int64_t>(byteLength, textSize - bstart);
        zone->bstart = static_cast<int32_t>(bstart);
        zone->blen = static_cast<int32_t>(blen);
        // Never more code units than bytes, and the text is below 2^24 bytes.
        zone->wlen = static_cast<int32_t>(Utf16Length(
            text_.substr(static_cast<std::size_t>(bstart), static_cast<std::size_t>(blen))));

        const CTextZone* last = nullptr;
        for (uint32_t i = 0; i < childCount && !ended_ && !source.Eof(); ++i) {
            RefPtr<CTextZone> child = DecodeZone(source, zone.get(), last, depth + 1);
            if (!child || (last && SameZone(*child, *last))) {
                continue;
            }
            zone->children.push_back(std::move(child));
            last = zone->children.back().get();
        }
        if (placement_.topDown) {
            for (const RefPtr<CTextZone>& child : zone->children) {
                TurnTopDown(*child);
            }
        }
        return zone;
    }

    void TurnTopDown(CTextZone& zone) const noexcept {
        zone.y = ClampCoordinate(int64_t{placement_.pageHeight} - zone.h - zone.y);
    }

    std::string_view text_;
    TextLayerPlacement placement_;
    uint32_t zones_ = 0;
    // Set when the stream is found damaged or a limit is passed: every zone
    // from then on fails.
    bool ended_ = false;
};

RefPtr<CPageTextLayer> CPageTextLayer::Decode(CByteRange txtz, const TextLayerPlacement& placement,
                                              uint32_t maxBlockSize) {
    CBzzDecoder source(txtz, maxBlockSize);
    return TextLayerBuilder::Build(source, placement);
}

RefPtr<CPageTextLayer> CPageTextLayer::DecodeUncompressed(CByteRange stream,
                                                          const TextLayerPlacement& placement) {
    PlainSource source(stream);
    return TextLayerBuilder::Build(source, placement);
}

std::optional<TextRange> CPageTextLayer::CoveredBy(const TextRect& rc) const {
    return Covered(*root_, NormalizeRect(rc));
}

std::vector<TextRect> CPageTextLayer::RectsOf(int64_t first, int64_t last) const {
    return CollectTextRects(*root_, first, last);
}

std::u16string CPageTextLayer::Substring(const TextRange& range) const {
    const int64_t size = static_cast<int64_t>(text_.size());
    const int64_t first = std::clamp<int64_t>(range.first, 0, size);
    const int64_t end = std::clamp<int64_t>(int64_t{range.last} + 1, first, size);
    return text_.substr(static_cast<std::size_t>(first), static_cast<std::size_t>(end - first));
}

}  // namespace vyrd
