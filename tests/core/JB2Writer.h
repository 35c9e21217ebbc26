#pragma once
// Test-only JB2 writing: bitmaps in the decoder's orientation, the pixel
// contexts computed straight from their definitions (no incremental update),
// and a record writer over the test ZP encoder. Streams written here say
// exactly which records, numbers and pixels they hold, so tests can reach
// record sequences that no encoder produces.

#include "JB2NumberCoder.h"
#include "JB2Records.h"
#include "Raster.h"
#include "ZPEncoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <initializer_list>
#include <memory>
#include <ostream>
#include <random>
#include <string_view>
#include <vector>

namespace testjb2 {

using Bytes = std::vector<uint8_t>;

// A bilevel picture: 1 = ink. Row 0 is the bottom row, as in the decoder's
// rasters; pixels outside read as paper.
struct Bitmap {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;  // bottom row first

    Bitmap() = default;
    Bitmap(int w, int h) : width(w), height(h), pixels(std::size_t(w) * std::size_t(h), 0) {}

    // From text rows, top row first: '#' is ink, anything else paper.
    static Bitmap FromRows(std::initializer_list<std::string_view> rowsTopDown) {
        const int h = int(rowsTopDown.size());
        const int w = h == 0 ? 0 : int(rowsTopDown.begin()->size());
        Bitmap b(w, h);
        int y = h - 1;
        for (std::string_view row : rowsTopDown) {
            for (int x = 0; x < w && x < int(row.size()); ++x) {
                b.Set(x, y, row[std::size_t(x)] == '#');
            }
            --y;
        }
        return b;
    }

    static Bitmap FromRaster(const vyrd::CRasterImage& r) {
        Bitmap b(r.Width(), r.Height());
        for (int y = 0; y < r.Height(); ++y) {
            for (int x = 0; x < r.Width(); ++x) {
                b.Set(x, y, r.Row(y)[x]);
            }
        }
        return b;
    }

    vyrd::RefPtr<vyrd::CRasterImage> ToRaster() const {
        vyrd::RefPtr<vyrd::CRasterImage> r =
            vyrd::CRasterImage::Create(vyrd::RasterFormat::BILEVEL, width, height, width, false);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                r->Row(y)[x] = At(x, y);
            }
        }
        return r;
    }

    static Bitmap Random(std::mt19937& rng, int w, int h, int inkPercent) {
        Bitmap b(w, h);
        std::uniform_int_distribution<int> percent(0, 99);
        for (uint8_t& p : b.pixels) {
            p = percent(rng) < inkPercent ? 1 : 0;
        }
        return b;
    }

    uint8_t At(int x, int y) const {
        if (x < 0 || y < 0 || x >= width || y >= height) {
            return 0;
        }
        return pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)];
    }
    void Set(int x, int y, bool ink) {
        pixels[std::size_t(y) * std::size_t(width) + std::size_t(x)] = ink ? 1 : 0;
    }

    // The smallest rectangle holding every ink pixel; 0 x 0 without ink.
    Bitmap Cropped() const {
        int left = width, right = -1, bottom = height, top = -1;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                if (At(x, y)) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                    bottom = std::min(bottom, y);
                    top = std::max(top, y);
                }
            }
        }
        if (right < 0) {
            return Bitmap();
        }
        Bitmap c(right - left + 1, top - bottom + 1);
        for (int y = 0; y < c.height; ++y) {
            for (int x = 0; x < c.width; ++x) {
                c.Set(x, y, At(left + x, bottom + y));
            }
        }
        return c;
    }

    bool operator==(const Bitmap&) const = default;
};

inline void PrintTo(const Bitmap& b, std::ostream* os) {
    *os << b.width << "x" << b.height;
    if (b.width * b.height <= 400) {
        for (int y = b.height - 1; y >= 0; --y) {
            *os << "\n  ";
            for (int x = 0; x < b.width; ++x) {
                *os << (b.At(x, y) ? '#' : '.');
            }
        }
    }
}

// The context of pixel (x, y) of a directly coded bitmap: bits 9-7 two rows
// above (x-1, x, x+1), bits 6-2 the row above (x-2 .. x+2), bits 1-0 this row
// (x-2, x-1). Rows are decoded from the top, so "above" is y + 1.
inline int DirectContext(const Bitmap& b, int x, int y) {
    return (b.At(x - 1, y + 2) << 9) | (b.At(x, y + 2) << 8) | (b.At(x + 1, y + 2) << 7) |
           (b.At(x - 2, y + 1) << 6) | (b.At(x - 1, y + 1) << 5) | (b.At(x, y + 1) << 4) |
           (b.At(x + 1, y + 1) << 3) | (b.At(x + 2, y + 1) << 2) | (b.At(x - 2, y) << 1) |
           b.At(x - 1, y);
}

// The context of pixel (x, y) of a bitmap coded as a refinement of `ref`, the
// two centred on each other (half sizes rounded up): bits 10-8 the row above
// (x-1, x, x+1), bit 7 this row (x-1), bit 6 the reference above (x), bits 5-3
// the reference here (x-1 .. x+1), bits 2-0 the reference below (x-1 .. x+1).
inline int RefinementContext(const Bitmap& b, const Bitmap& ref, int x, int y) {
    const int ox = (b.width + 1) / 2 - (ref.width + 1) / 2;
    const int oy = (b.height + 1) / 2 - (ref.height + 1) / 2;
    auto r = [&](int i, int j) { return ref.At(i - ox, j - oy); };
    return (b.At(x - 1, y + 1) << 10) | (b.At(x, y + 1) << 9) | (b.At(x + 1, y + 1) << 8) |
           (b.At(x - 1, y) << 7) | (r(x, y + 1) << 6) | (r(x - 1, y) << 5) | (r(x, y) << 4) |
           (r(x + 1, y) << 3) | (r(x - 1, y - 1) << 2) | (r(x, y - 1) << 1) | r(x + 1, y - 1);
}

// Codes the pixels of `shape` top row first, each row from left to right,
// with the direct contexts.
inline void EncodeDirectPixels(testzp::ZPEncoder& zp, uint8_t (&contexts)[1024],
                               const Bitmap& shape) {
    for (int y = shape.height - 1; y >= 0; --y) {
        for (int x = 0; x < shape.width; ++x) {
            zp.encode(shape.At(x, y), contexts[DirectContext(shape, x, y)]);
        }
    }
}

// The same with the refinement contexts against `ref`.
inline void EncodeRefinementPixels(testzp::ZPEncoder& zp, uint8_t (&contexts)[2048],
                                   const Bitmap& shape, const Bitmap& ref) {
    for (int y = shape.height - 1; y >= 0; --y) {
        for (int x = 0; x < shape.width; ++x) {
            zp.encode(shape.At(x, y), contexts[RefinementContext(shape, ref, x, y)]);
        }
    }
}

using namespace vyrd;  // record types and number contexts (JB2Records.h)

// Where a blit goes, as the stream says it.
struct Place {
    enum Kind { kNewLine, kSameLine, kAt } kind = kAt;
    int a = 0;  // dx, or left for kAt
    int b = 0;  // dy, or bottom for kAt

    static Place NewLine(int dx, int dy) { return {kNewLine, dx, dy}; }
    static Place SameLine(int dx, int dy) { return {kSameLine, dx, dy}; }
    // Starts a new line whose first shape has its bottom-left corner at
    // (left, bottom) in placement coordinates (the blit lands one column to
    // the left).
    static Place At(int left, int bottom) { return {kAt, left, bottom}; }
};

class Writer {
public:
    Writer() { NewRoots(); }

    // Switches for proving that tests notice a decoder that resets the wrong
    // contexts on a reset record inside the image.
    bool resetNumbersInImage = true;
    bool resetBitContextsInImage = false;

    // The mirror of number decoding: the same walk down the context tree,
    // each bit saying whether the value lies at or above the split.
    void Num(JB2NumberContext context, int32_t low, int32_t high, int32_t value) {
        ASSERT_TRUE(low > high || (value >= low && value <= high))
            << value << " outside " << low << ".." << high;
        int32_t split = 0;
        int stage = 1;
        int32_t step = 0;
        bool negative = false;
        int32_t x = value;
        Node* cell = roots_[std::size_t(context)].get();
        while (step != 1) {
            const bool bit = x >= split;
            if (low >= split) {
                ASSERT_TRUE(bit);
            } else if (high >= split) {
                zp_.encode(bit ? 1 : 0, cell->context);
            } else {
                ASSERT_FALSE(bit);
            }
            std::unique_ptr<Node>& next = cell->child[bit ? 1 : 0];
            if (!next) {
                next = std::make_unique<Node>();
            }
            cell = next.get();
            switch (stage) {
                case 1:
                    negative = !bit;
                    if (negative) {
                        const int32_t oldLow = low;
                        low = -high - 1;
                        high = -oldLow - 1;
                        x = -x - 1;
                    }
                    stage = 2;
                    split = 1;
                    break;
                case 2:
                    if (bit) {
                        split = 2 * split + 1;
                    } else {
                        stage = 3;
                        step = (split + 1) / 2;
                        split = step == 1 ? 0 : split - step / 2;
                    }
                    break;
                default:
                    step /= 2;
                    if (step != 1) {
                        split += bit ? step / 2 : -(step / 2);
                    } else if (!bit) {
                        split -= 1;
                    }
                    break;
            }
        }
        ASSERT_EQ(negative ? -split - 1 : split, value) << "number walk";
    }

    void Record(JB2RecordType type) { Num(kRecordType, 0, 11, type); }

    void StartOfImage(int32_t width, int32_t height, int startFlag = 0) {
        Record(kStartOfImage);
        Num(kImageSize, 0, vyrd::JB2_NUM_MAX, width);
        Num(kImageSize, 0, vyrd::JB2_NUM_MAX, height);
        zp_.encode(startFlag, startFlagContext_);
        image_ = true;
        lineLeft_ = 0;
        lineBottom_ = height - 1;
    }

    // Record 9 before the image: asks for the inherited dictionary, whose
    // shapes (as the decoder holds them, in number order) come first.
    void RequireDictionary(const std::vector<Bitmap>& inherited, int32_t countCoded = -1) {
        Record(kRequiredDictionaryOrReset);
        Num(kInheritedCount, 0, vyrd::JB2_NUM_MAX,
            countCoded >= 0 ? countCoded : int32_t(inherited.size()));
        library_.insert(library_.begin(), inherited.begin(), inherited.end());
    }

    // Record 9 inside the image: the number contexts start afresh.
    void ResetRecord() {
        Record(kRequiredDictionaryOrReset);
        if (resetNumbersInImage) {
            NewRoots();
        }
        if (resetBitContextsInImage) {
            std::fill(std::begin(direct_), std::end(direct_), 0);
            std::fill(std::begin(refinement_), std::end(refinement_), 0);
            startFlagContext_ = 0;
            offsetTypeContext_ = 0;
        }
    }

    void Comment(std::string_view text) {
        Record(kComment);
        Num(kCommentLength, 0, vyrd::JB2_NUM_MAX, int32_t(text.size()));
        for (char c : text) {
            Num(kCommentByte, 0, 255, uint8_t(c));
        }
    }

    void End() { Record(kEndOfData); }

    // Records 1, 2, 3. `place` is used when the record blits (1 and 3 once
    // the image has started).
    void NewSymbol(JB2RecordType type, const Bitmap& shape, Place place = {}) {
        Record(type);
        DirectBitmap(shape);
        Deliver(type != kNewSymbolLibraryOnly, type != kNewSymbolImageOnly, shape, place);
    }

    // Records 4, 5, 6: `shape` coded against library shape `index`.
    void RefinedSymbol(JB2RecordType type, int32_t index, const Bitmap& shape, Place place = {}) {
        Record(type);
        Num(kMatchIndex, 0, int32_t(library_.size()) - 1, index);
        const Bitmap& ref = library_[std::size_t(index)];
        Num(kWidthDifference, vyrd::JB2_NUM_MIN, vyrd::JB2_NUM_MAX, shape.width - ref.width);
        Num(kHeightDifference, vyrd::JB2_NUM_MIN, vyrd::JB2_NUM_MAX, shape.height - ref.height);
        const Bitmap reference = ref;  // the library may grow below
        EncodeRefinementPixels(zp_, refinement_, shape, reference);
        Deliver(type != kRefinedSymbolLibraryOnly, type != kRefinedSymbolImageOnly, shape, place);
    }

    // Record 7: library shape `index` placed again. With an empty library
    // the index takes no bits (any value refers to a missing shape).
    void MatchedCopy(int32_t index, Place place) {
        Record(kMatchedCopy);
        Num(kMatchIndex, 0, int32_t(library_.size()) - 1, index);
        if (image_ && index < int32_t(library_.size())) {
            Placement(library_[std::size_t(index)].height, place);
        }
    }

    // Record 8: the shape is blitted at (x - 1, y), outside the line logic.
    void NonSymbolData(const Bitmap& shape, int32_t x, int32_t y) {
        Record(kNonSymbolData);
        DirectBitmap(shape);
        Num(kAbsoluteX, 0, vyrd::JB2_NUM_MAX, x);
        Num(kAbsoluteY, 0, vyrd::JB2_NUM_MAX, y);
    }

    // A size-only symbol record (1, 2, 3 or 8): for sizes a decoder refuses
    // before reading any pixel.
    void SymbolSizeOnly(JB2RecordType type, int32_t width, int32_t height) {
        Record(type);
        Num(kSymbolWidth, 0, vyrd::JB2_NUM_MAX, width);
        Num(kSymbolHeight, 0, vyrd::JB2_NUM_MAX, height);
    }

    // The shapes the decoder's library holds (inherited first), cropped.
    const std::vector<Bitmap>& Library() const { return library_; }

    Bytes Finish() const { return zp_.Finish(); }

private:
    struct Node {
        uint8_t context = 0;
        std::unique_ptr<Node> child[2];
    };

    void NewRoots() {
        for (auto& root : roots_) {
            root = std::make_unique<Node>();
        }
    }

    void DirectBitmap(const Bitmap& shape) {
        Num(kSymbolWidth, 0, vyrd::JB2_NUM_MAX, shape.width);
        Num(kSymbolHeight, 0, vyrd::JB2_NUM_MAX, shape.height);
        EncodeDirectPixels(zp_, direct_, shape);
    }

    void Deliver(bool toImage, bool toLibrary, const Bitmap& shape, Place place) {
        if (toImage && image_) {
            Placement(shape.height, place);
        }
        if (toLibrary) {
            library_.push_back(shape.Cropped());
        }
    }

    void Placement(int height, Place place) {
        if (place.kind == Place::kSameLine) {
            zp_.encode(0, offsetTypeContext_);
            Num(kSameRowX, vyrd::JB2_NUM_MIN, vyrd::JB2_NUM_MAX, place.a);
            Num(kSameRowY, vyrd::JB2_NUM_MIN, vyrd::JB2_NUM_MAX, place.b);
            return;
        }
        int dx = place.a;
        int dy = place.b;
        if (place.kind == Place::kAt) {
            dx = place.a - lineLeft_;
            dy = place.b - lineBottom_ + height - 1;
        }
        zp_.encode(1, offsetTypeContext_);
        Num(kNewRowX, vyrd::JB2_NUM_MIN, vyrd::JB2_NUM_MAX, dx);
        Num(kNewRowY, vyrd::JB2_NUM_MIN, vyrd::JB2_NUM_MAX, dy);
        lineLeft_ += dx;
        lineBottom_ += dy - height + 1;
    }

    testzp::ZPEncoder zp_;
    std::array<std::unique_ptr<Node>, kNumberContextCount> roots_;
    uint8_t startFlagContext_ = 0;
    uint8_t offsetTypeContext_ = 0;
    uint8_t direct_[1024] = {};
    uint8_t refinement_[2048] = {};
    std::vector<Bitmap> library_;
    bool image_ = false;
    int32_t lineLeft_ = 0;
    int32_t lineBottom_ = 0;
};

// Small shapes with ink on every border, so that a dictionary stores them as
// they are.
namespace shapes {
inline const Bitmap kA = Bitmap::FromRows({"###", "#.#"});
inline const Bitmap kB = Bitmap::FromRows({"##", ".#", ".#", "##"});
inline const Bitmap kC = Bitmap::FromRows({"#..", ".#.", "..#"});
inline const Bitmap kD = Bitmap::FromRows({"####"});
}  // namespace shapes

// A dictionary stream: every shape as a library-only symbol, then the end.
inline Bytes DictionaryStream(const std::vector<Bitmap>& shapes) {
    Writer w;
    for (const Bitmap& s : shapes) {
        w.NewSymbol(kNewSymbolLibraryOnly, s);
    }
    w.End();
    return w.Finish();
}

}  // namespace testjb2
