#pragma once
// The JB2 bilevel decoder: page masks (Sjbz) and shape dictionaries (Djbz).

#include "ByteRange.h"
#include "JB2BitmapDecoder.h"
#include "JB2Dictionary.h"
#include "JB2Layer.h"
#include "JB2Records.h"
#include "JB2NumberCoder.h"
#include "RefCounted.h"
#include "ZPDecoder.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>

namespace vyrd {

// What a stream holds: a page's mask (Sjbz) or a shape dictionary (Djbz).
enum class JB2StreamKind { kPage, kDictionary };

// Decodes one JB2 stream at a time: a sequence of records that define shapes
// (kept in the stream's library), place them on the page image, or both.
//
// Failures of the stream (a reference to a shape that does not exist, a
// placement before the image exists, a shape too large to be real, a stream
// that runs dry or holds more than kMaxRecords records) end decoding; what was built before stays
// available. Only std::bad_alloc escapes. Used by one thread at a time.
class CJB2Decoder final : public CRefCounted {
public:
    // Largest shape a dictionary may hold: nothing larger fits on a page.
    static constexpr int32_t kMaxShapeSide = 65535;
    static constexpr int64_t kMaxShapePixels = int64_t{64} << 20;
    // Most records one stream may hold. Dense pages of real documents hold
    // tens of thousands (a page of dots a few pixels apart, some 100 records
    // per byte of stream); a stream that goes on past this is damage.
    static constexpr int32_t kMaxRecords = int32_t{1} << 22;

    CJB2Decoder();
    ~CJB2Decoder() override;

    // Forgets the stream: library, image, coder and every adaptive context.
    // The inherited dictionary stays.
    void Reset();

    // The dictionary a page stream may ask for before its image starts; its
    // shapes then take the first numbers. May be null.
    void SetInheritedDictionary(RefPtr<CJB2Dictionary> dictionary) noexcept;

    // Resets the decoder and decodes `stream` from its first record. True when
    // an end-of-data record was reached, false when decoding stopped on a
    // failure. The caller keeps `stream`'s bytes alive for the call. Throws
    // std::bad_alloc.
    bool DecodeStream(CByteRange stream, JB2StreamKind kind);

    // The shapes the stream defined (a new reference; never null after a
    // DecodeStream).
    RefPtr<CJB2Dictionary> GetLibrary() const { return library_; }
    // The page image, or null when the stream had no start-of-image record.
    RefPtr<CJB2Layer> GetImage() const { return image_; }

private:
    // What a record does with the shape it decodes.
    enum ShapeUse : unsigned { kToLibrary = 1, kToImage = 2 };

    int32_t Num(JB2NumberContext context, int32_t low, int32_t high);
    void NewNumberRoots();
    // One record; false ends the stream (`ended` tells whether normally).
    bool DecodeRecord(bool& ended);
    bool NewSymbol(unsigned use);
    bool RefinedSymbol(unsigned use);
    bool MatchedCopy();
    bool NonSymbolData();
    void RequiredDictionaryOrReset();
    void Comment();
    // A raster for a decoded shape of the given size, or null when the size is
    // refused (see kMaxShapeSide) or the allocation fails.
    RefPtr<CRasterImage> NewShapeRaster(int32_t width, int32_t height) const;
    // Reads a shape's size and decodes its bitmap directly; null when the size
    // is refused or the stream runs dry.
    RefPtr<CRasterImage> DecodeDirectShape();
    // Decodes the placement of a w x h shape and records the blit.
    void Place(const RefPtr<CRasterImage>& shape);
    // Hands a decoded shape to the library and/or the image, as `use` says.
    bool Deliver(const RefPtr<CRasterImage>& shape, unsigned use);

    JB2StreamKind kind_ = JB2StreamKind::kDictionary;
    std::optional<CZPDecoder> zp_;
    std::unique_ptr<CJB2NumberCoder> numbers_;
    std::array<CJB2NumberCoder::Cell*, kNumberContextCount> roots_{};
    uint8_t startFlagContext_ = 0;
    uint8_t offsetTypeContext_ = 0;
    uint8_t directContexts_[kJB2DirectContexts] = {};
    uint8_t refinementContexts_[kJB2RefinementContexts] = {};
    CJB2BitmapDecoder bitmaps_;

    RefPtr<CJB2Dictionary> library_;
    RefPtr<CJB2Dictionary> inherited_;
    bool inheritedAttached_ = false;
    RefPtr<CJB2Layer> image_;

    int32_t lineLeft_ = 0;
    int32_t lineBottom_ = 0;
    int32_t prevRight_ = 0;
    int32_t prevBottom_ = 0;
    std::array<int32_t, 3> recentBottoms_{};
    int recentIndex_ = 0;
};

}  // namespace vyrd
