#include "JB2Decoder.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace vyrd {

namespace {

// Positions are sums of offsets read from the stream; a hostile stream could
// push them past the 32-bit range, where they wrap instead of overflowing.
int32_t WrapAdd(int32_t a, int64_t b) noexcept {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

int32_t MedianOfThree(int32_t a, int32_t b, int32_t c) noexcept {
    return std::max(std::min(a, b), std::min(std::max(a, b), c));
}

}  // namespace

CJB2Decoder::CJB2Decoder() {
    Reset();
}

CJB2Decoder::~CJB2Decoder() = default;

void CJB2Decoder::Reset() {
    library_.reset();
    image_.reset();
    zp_.reset();
    numbers_.reset();
    roots_.fill(nullptr);
    inheritedAttached_ = false;
    startFlagContext_ = 0;
    offsetTypeContext_ = 0;
    std::memset(directContexts_, 0, sizeof directContexts_);
    std::memset(refinementContexts_, 0, sizeof refinementContexts_);
    lineLeft_ = 0;
    lineBottom_ = 0;
    prevRight_ = 0;
    prevBottom_ = 0;
    recentBottoms_.fill(0);
    recentIndex_ = 0;
}

void CJB2Decoder::SetInheritedDictionary(RefPtr<CJB2Dictionary> dictionary) noexcept {
    inherited_ = std::move(dictionary);
}

void CJB2Decoder::NewNumberRoots() {
    for (CJB2NumberCoder::Cell*& root : roots_) {
        root = numbers_->NewCell();
    }
}

int32_t CJB2Decoder::Num(JB2NumberContext context, int32_t low, int32_t high) {
    return numbers_->Decode(*zp_, roots_[context], low, high);
}

bool CJB2Decoder::DecodeStream(CByteRange stream, JB2StreamKind kind) {
    Reset();
    kind_ = kind;
    library_ = MakeRef<CJB2Dictionary>();
    zp_.emplace(stream);
    numbers_ = std::make_unique<CJB2NumberCoder>();
    NewNumberRoots();
    bool ended = false;
    // A stream without its end record runs on the coder's filler; it stops at
    // the first record that starts after the filler is used up. Once its
    // contexts have adapted, a record can cost almost no bits (an empty
    // shape, a copy at a predictable place), so a few hundred crafted bytes
    // could otherwise define shapes and blits by the hundred million.
    for (int32_t records = 0; records < kMaxRecords && !zp_->PaddingExhausted(); ++records) {
        if (!DecodeRecord(ended)) {
            return ended;
        }
    }
    return false;
}

bool CJB2Decoder::DecodeRecord(bool& ended) {
    switch (Num(kRecordType, kStartOfImage, kEndOfData)) {
        case kStartOfImage: {
            // One image per stream: a second start would throw away every
            // blit placed so far, so it can only be damage.
            if (image_) {
                return false;
            }
            const int32_t width = Num(kImageSize, 0, JB2_NUM_MAX);
            const int32_t height = Num(kImageSize, 0, JB2_NUM_MAX);
            lineBottom_ = height - 1;
            image_ = MakeRef<CJB2Layer>(width, height);
            zp_->decode(startFlagContext_);  // carries nothing
            return true;
        }
        case kNewSymbolLibraryAndImage:
            return NewSymbol(kToLibrary | kToImage);
        case kNewSymbolLibraryOnly:
            return NewSymbol(kToLibrary);
        case kNewSymbolImageOnly:
            return NewSymbol(kToImage);
        case kRefinedSymbolLibraryAndImage:
            return RefinedSymbol(kToLibrary | kToImage);
        case kRefinedSymbolLibraryOnly:
            return RefinedSymbol(kToLibrary);
        case kRefinedSymbolImageOnly:
            return RefinedSymbol(kToImage);
        case kMatchedCopy:
            return MatchedCopy();
        case kNonSymbolData:
            return NonSymbolData();
        case kRequiredDictionaryOrReset:
            RequiredDictionaryOrReset();
            return true;
        case kComment:
            Comment();
            return true;
        default:
            ended = true;
            return false;
    }
}

RefPtr<CRasterImage> CJB2Decoder::NewShapeRaster(int32_t width, int32_t height) const {
    // A shape in a page stream cannot be larger than its page; a dictionary
    // shape cannot be larger than the largest page there is. Anything larger
    // is damage, and allocating for it could exhaust the process. (Dictionary
    // streams declare an image too, usually 0 x 0, which bounds nothing.)
    if (kind_ == JB2StreamKind::kPage && image_ &&
        (width > image_->Width() || height > image_->Height())) {
        return nullptr;
    }
    if (width > kMaxShapeSide || height > kMaxShapeSide ||
        int64_t{width} * height > kMaxShapePixels) {
        return nullptr;
    }
    return CRasterImage::Create(RasterFormat::BILEVEL, width, height, width, false);
}

RefPtr<CRasterImage> CJB2Decoder::DecodeDirectShape() {
    const int32_t width = Num(kSymbolWidth, 0, JB2_NUM_MAX);
    const int32_t height = Num(kSymbolHeight, 0, JB2_NUM_MAX);
    RefPtr<CRasterImage> shape = NewShapeRaster(width, height);
    if (!shape || !bitmaps_.DecodeDirect(*zp_, directContexts_, *shape)) {
        return nullptr;
    }
    return shape;
}

bool CJB2Decoder::NewSymbol(unsigned use) {
    const RefPtr<CRasterImage> shape = DecodeDirectShape();
    return shape && Deliver(shape, use);
}

bool CJB2Decoder::RefinedSymbol(unsigned use) {
    const int32_t count = library_->TotalCount();
    const RefPtr<CRasterImage> reference = library_->GetShape(Num(kMatchIndex, 0, count - 1));
    if (!reference) {
        return false;
    }
    const int32_t dw = Num(kWidthDifference, JB2_NUM_MIN, JB2_NUM_MAX);
    const int32_t dh = Num(kHeightDifference, JB2_NUM_MIN, JB2_NUM_MAX);
    const int32_t width = reference->Width() + dw;
    const int32_t height = reference->Height() + dh;
    if (width < 0 || height < 0) {
        return false;
    }
    const RefPtr<CRasterImage> shape = NewShapeRaster(width, height);
    if (!shape || !bitmaps_.DecodeRefinement(*zp_, refinementContexts_, *shape, *reference)) {
        return false;
    }
    return Deliver(shape, use);
}

bool CJB2Decoder::Deliver(const RefPtr<CRasterImage>& shape, unsigned use) {
    // The blit shows the shape as decoded; the library keeps it cropped to
    // its ink, which is what later copies and refinements start from.
    if ((use & kToImage) != 0 && image_) {
        Place(shape);
    }
    if ((use & kToLibrary) != 0) {
        return library_->AddShape(shape);
    }
    return true;
}

bool CJB2Decoder::MatchedCopy() {
    const int32_t count = library_->TotalCount();
    const RefPtr<CRasterImage> shape = library_->GetShape(Num(kMatchIndex, 0, count - 1));
    if (!shape) {
        return false;
    }
    if (image_) {
        Place(shape);
    }
    return true;
}

bool CJB2Decoder::NonSymbolData() {
    const RefPtr<CRasterImage> shape = DecodeDirectShape();
    if (!shape || !image_) {
        return false;
    }
    const int32_t x = Num(kAbsoluteX, 0, JB2_NUM_MAX);
    const int32_t y = Num(kAbsoluteY, 0, JB2_NUM_MAX);
    image_->AddBlit(shape, x - 1, y);
    return true;
}

void CJB2Decoder::RequiredDictionaryOrReset() {
    if (image_) {
        // Inside the image the record resets the number coding only; the bit
        // contexts of the bitmaps and placements keep what they learnt.
        numbers_->ResetPool();
        NewNumberRoots();
        return;
    }
    Num(kInheritedCount, 0, JB2_NUM_MAX);  // the count itself is not needed
    // The dictionary is attached once: attaching it again would only repeat
    // its shapes under new numbers.
    if (inherited_ && !inheritedAttached_) {
        library_->AddChild(inherited_);
        inheritedAttached_ = true;
    }
}

void CJB2Decoder::Comment() {
    const int32_t length = Num(kCommentLength, 0, JB2_NUM_MAX);
    for (int32_t i = 0; i < length; ++i) {
        Num(kCommentByte, 0, 255);
    }
}

void CJB2Decoder::Place(const RefPtr<CRasterImage>& shape) {
    const int32_t width = shape->Width();
    const int32_t height = shape->Height();
    int32_t left;
    int32_t bottom;
    if (zp_->decode(offsetTypeContext_)) {
        // The shape starts a new line: offsets from the start of the last line.
        const int32_t dx = Num(kNewRowX, JB2_NUM_MIN, JB2_NUM_MAX);
        const int32_t dy = Num(kNewRowY, JB2_NUM_MIN, JB2_NUM_MAX);
        left = WrapAdd(lineLeft_, dx);
        bottom = WrapAdd(lineBottom_, int64_t{dy} - height + 1);
        lineLeft_ = left;
        lineBottom_ = bottom;
        prevBottom_ = bottom;
        recentBottoms_.fill(bottom);
        recentIndex_ = 0;
    } else {
        // Same line: offsets from the previous shape, whose bottom is smoothed
        // over the last three shapes.
        const int32_t dx = Num(kSameRowX, JB2_NUM_MIN, JB2_NUM_MAX);
        const int32_t dy = Num(kSameRowY, JB2_NUM_MIN, JB2_NUM_MAX);
        left = WrapAdd(prevRight_, dx);
        bottom = WrapAdd(prevBottom_, dy);
        recentIndex_ = (recentIndex_ + 1) % 3;
        recentBottoms_[static_cast<std::size_t>(recentIndex_)] = bottom;
        prevBottom_ = MedianOfThree(recentBottoms_[0], recentBottoms_[1], recentBottoms_[2]);
    }
    prevRight_ = WrapAdd(left, int64_t{width} - 1);
    image_->AddBlit(shape, WrapAdd(left, -1), bottom);
}

}  // namespace vyrd
