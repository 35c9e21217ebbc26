// JB2 streams record by record. Each stream is written by the test encoder,
// so every case says which records, numbers and pixels it holds, and the
// expected blits follow from the placement rules worked out by hand.

#include "JB2Decoder.h"

#include "JB2Writer.h"
#include "RangeOf.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

namespace {

using namespace testjb2;
using vyrd::CJB2Decoder;
using vyrd::CJB2Dictionary;
using vyrd::CJB2Layer;
using vyrd::JB2StreamKind;
using vyrd::MakeRef;
using vyrd::RefPtr;

struct Decoded {
    bool ended = false;
    RefPtr<CJB2Layer> image;
    RefPtr<CJB2Dictionary> library;
};

Decoded Decode(const Bytes& stream, JB2StreamKind kind = JB2StreamKind::kPage,
               RefPtr<CJB2Dictionary> inherited = nullptr) {
    RefPtr<CJB2Decoder> decoder = MakeRef<CJB2Decoder>();
    decoder->SetInheritedDictionary(std::move(inherited));
    Decoded d;
    d.ended = decoder->DecodeStream(RangeOf(stream), kind);
    d.image = decoder->GetImage();
    d.library = decoder->GetLibrary();
    return d;
}

struct Blit {
    Bitmap shape;
    int x;
    int y;
    bool operator==(const Blit&) const = default;
};

void PrintTo(const Blit& b, std::ostream* os) {
    *os << "at (" << b.x << ", " << b.y << ") ";
    testjb2::PrintTo(b.shape, os);
}

std::vector<Blit> BlitsOf(const RefPtr<CJB2Layer>& layer) {
    std::vector<Blit> blits;
    if (layer) {
        for (const vyrd::JB2Blit& b : layer->Blits()) {
            blits.push_back({Bitmap::FromRaster(*b.shape), b.x, b.y});
        }
    }
    return blits;
}

std::vector<Bitmap> ShapesOf(const RefPtr<CJB2Dictionary>& dictionary) {
    std::vector<Bitmap> shapes;
    for (int32_t n = 0; n < dictionary->TotalCount(); ++n) {
        shapes.push_back(Bitmap::FromRaster(*dictionary->GetShape(n)));
    }
    return shapes;
}

RefPtr<CJB2Dictionary> DictionaryOf(const std::vector<Bitmap>& shapes) {
    RefPtr<CJB2Dictionary> d = MakeRef<CJB2Dictionary>();
    for (const Bitmap& s : shapes) {
        EXPECT_TRUE(d->AddShape(s.ToRaster()));
    }
    return d;
}

// Shapes with blank margins, so that cropped and full forms differ.
const Bitmap kA = Bitmap::FromRows({"###", "#.#"});
const Bitmap kB = Bitmap::FromRows({"##", ".#", ".#", "##"});
const Bitmap kC = Bitmap::FromRows({"......", "..#...", "..##..", "......", "......"});
const Bitmap kCCropped = Bitmap::FromRows({"#.", "##"});

TEST(JB2Decoder, InheritedShapesTakeTheFirstNumbers) {
    struct Case {
        const char* name;
        bool setInherited;
        int requests;  // record 9 before the image, how many times
        std::vector<int> copies;
        std::vector<Bitmap> copied;
        int total;
    };
    const Case cases[] = {
        // Inherited A, B are 0 and 1; the new symbol C gets 2.
        {"asked once", true, 1, {2, 0, 1}, {kCCropped, kA, kB}, 3},
        // Asking again does not add the shapes a second time.
        {"asked twice", true, 2, {2, 1}, {kCCropped, kB}, 3},
        // Without the record the inherited shapes are not there.
        {"not asked", true, 0, {0}, {kCCropped}, 1},
        // Asked for with nothing to inherit: the count is read, nothing added.
        {"nothing set", false, 1, {0}, {kCCropped}, 1},
    };
    for (const Case& c : cases) {
        Writer w;
        const std::vector<Bitmap> inherited =
            c.setInherited ? std::vector<Bitmap>{kA, kB} : std::vector<Bitmap>{};
        for (int i = 0; i < c.requests; ++i) {
            w.RequireDictionary(i == 0 ? inherited : std::vector<Bitmap>{}, 2);
        }
        w.StartOfImage(40, 30);
        w.NewSymbol(kNewSymbolLibraryAndImage, kC, Place::At(1, 20));
        std::vector<Blit> expected = {{kC, 0, 20}};
        int left = 10;
        for (std::size_t i = 0; i < c.copies.size(); ++i, left += 8) {
            w.MatchedCopy(c.copies[i], Place::At(left, 5));
            expected.push_back({c.copied[i], left - 1, 5});
        }
        w.End();
        const Decoded d = Decode(w.Finish(), JB2StreamKind::kPage,
                                 c.setInherited ? DictionaryOf({kA, kB}) : nullptr);
        EXPECT_TRUE(d.ended) << c.name;
        EXPECT_EQ(BlitsOf(d.image), expected) << c.name;
        EXPECT_EQ(d.library->TotalCount(), c.total) << c.name;
    }
}

// A reset record inside the image starts every number context afresh but
// keeps what the bitmap, start and offset-type contexts learnt. The streams
// written with the other choices must not read the same, or the test could
// not tell.
TEST(JB2Decoder, ResetRecordInsideTheImageForgetsNumbersOnly) {
    std::mt19937 rng(5);
    std::vector<Bitmap> glyphs;
    for (int i = 0; i < 6; ++i) {
        glyphs.push_back(Bitmap::Random(rng, 5 + i, 7 - i % 3, 45));
    }
    struct Variant {
        const char* name;
        bool resetNumbers;
        bool resetBits;
        bool readsBack;
    };
    const Variant variants[] = {
        {"numbers reset, bits kept", true, false, true},
        {"nothing reset", false, false, false},
        {"everything reset", true, true, false},
    };
    for (const Variant& v : variants) {
        Writer w;
        w.resetNumbersInImage = v.resetNumbers;
        w.resetBitContextsInImage = v.resetBits;
        w.StartOfImage(300, 100);
        std::vector<Blit> expected;
        int left = 1;
        auto line = [&](int bottom) {
            // Every glyph once, then copies along the same line: the number
            // contexts see the same offsets over and over.
            for (std::size_t g = 0; g < glyphs.size(); ++g, left += 12) {
                w.NewSymbol(kNewSymbolLibraryAndImage, glyphs[g], Place::At(left, bottom));
                expected.push_back({glyphs[g], left - 1, bottom});
            }
        };
        line(80);
        w.ResetRecord();
        line(60);
        w.ResetRecord();
        line(40);
        w.End();
        const Decoded d = Decode(w.Finish());
        if (v.readsBack) {
            EXPECT_TRUE(d.ended) << v.name;
            EXPECT_EQ(BlitsOf(d.image), expected) << v.name;
            EXPECT_EQ(d.library->TotalCount(), 3 * int(glyphs.size())) << v.name;
        } else {
            EXPECT_NE(BlitsOf(d.image), expected) << v.name;
        }
    }
}

// Placement: the first blit of a line counts from the line before (at the
// start, the image's left edge and top row); the next ones from the shape
// before, with the bottom smoothed as the median of the last three.
TEST(JB2Decoder, LinePlacement) {
    const Bitmap s = Bitmap::FromRows({"####", "#..#", "#..#", "#..#", "####"});  // 4 x 5
    struct Step {
        Place place;
        int x, y;  // where the blit lands
    };
    // Image 100 x 50: the first line starts at left 0 and bottom 49 - h + 1.
    const Step steps[] = {
        {Place::NewLine(10, -3), 9, 42},   // left 10, bottom 49 - 3 - 5 + 1; prevRight 13
        {Place::SameLine(2, 1), 14, 43},   // left 15, bottom 42 + 1; median(42, 43, 42) = 42
        {Place::SameLine(1, -4), 18, 38},  // left 19, bottom 38; median(42, 43, 38) = 42
        {Place::SameLine(0, 3), 21, 45},   // left 22, bottom 45 (top row touches the edge)
        {Place::SameLine(3, 0), 27, 43},   // median(45, 43, 38) = 43
        {Place::NewLine(-5, -10), 4, 28},  // left 10 - 5, bottom 42 - 10 - 5 + 1
        {Place::SameLine(1, 0), 8, 28},    // prevRight 5 + 3
    };
    Writer w;
    w.StartOfImage(100, 50);
    w.NewSymbol(kNewSymbolLibraryOnly, s);
    std::vector<Blit> expected;
    for (const Step& step : steps) {
        w.MatchedCopy(0, step.place);
        expected.push_back({s, step.x, step.y});
    }
    w.End();
    const Decoded d = Decode(w.Finish());
    EXPECT_TRUE(d.ended);
    EXPECT_EQ(BlitsOf(d.image), expected);
}

TEST(JB2Decoder, FirstBlitOfTheImage) {
    struct Case {
        int dx, dy, h;
        int x, y;
    };
    // Image 20 x 10: left = dx, bottom = 9 + dy - h + 1, recorded at left - 1.
    const Case cases[] = {
        {0, 0, 1, -1, 9}, {1, 0, 3, 0, 7}, {5, -2, 3, 4, 5}, {7, -5, 1, 6, 4}, {2, -12, 2, 1, -4},
    };
    for (const Case& c : cases) {
        Bitmap shape(2, c.h);
        std::fill(shape.pixels.begin(), shape.pixels.end(), 1);
        Writer w;
        w.StartOfImage(20, 10);
        w.NewSymbol(kNewSymbolImageOnly, shape, Place::NewLine(c.dx, c.dy));
        w.End();
        const Decoded d = Decode(w.Finish());
        EXPECT_TRUE(d.ended);
        EXPECT_EQ(BlitsOf(d.image), (std::vector<Blit>{{shape, c.x, c.y}}))
            << c.dx << " " << c.dy << " " << c.h;
    }
}

// A shape reaching past the right or top edge is not recorded, yet the line
// state moves on as if it were; past the left or bottom edge it is kept.
TEST(JB2Decoder, ShapesStickingOutRightOrTopAreDropped) {
    const Bitmap s = Bitmap::FromRows({"###", "#.#"});  // 3 x 2 on a 10 x 8 image
    struct Step {
        Place place;
        bool kept;
        int x, y;
    };
    const Step steps[] = {
        {Place::At(8, 0), true, 7, 0},         // right edge exactly
        {Place::At(9, 0), false, 8, 0},        // one column past it
        {Place::SameLine(-9, 0), true, 1, 0},  // from the dropped shape's right (11)
        {Place::At(1, 6), true, 0, 6},         // top edge exactly
        {Place::At(1, 7), false, 0, 7},        // one row past it
        {Place::At(0, -1), true, -1, -1},      // past the left and bottom edges
        {Place::At(-50, -60), true, -51, -60}, {Place::At(200, 3), false, 199, 3},
    };
    Writer w;
    w.StartOfImage(10, 8);
    w.NewSymbol(kNewSymbolLibraryOnly, s);
    std::vector<Blit> expected;
    for (const Step& step : steps) {
        w.MatchedCopy(0, step.place);
        if (step.kept) {
            expected.push_back({s, step.x, step.y});
        }
    }
    w.End();
    const Decoded d = Decode(w.Finish());
    EXPECT_TRUE(d.ended);
    EXPECT_EQ(BlitsOf(d.image), expected);
}

// Refinement: the new bitmap is coded against a library shape, their centres
// aligned (half sizes rounded up). Records 4, 5 and 6 differ in where the
// result goes.
TEST(JB2Decoder, RefinedSymbols) {
    std::mt19937 rng(11);
    struct Case {
        int rw, rh, w, h;
    };
    const Case sizes[] = {{5, 3, 5, 3}, {3, 5, 3, 5}, {4, 4, 4, 4}, {5, 3, 6, 4}, {6, 4, 5, 3},
                          {1, 1, 3, 3}, {3, 3, 1, 1}, {7, 2, 4, 9}, {2, 9, 8, 1}};
    for (const Case& c : sizes) {
        // The reference as the library holds it: ink on every border.
        Bitmap ref = Bitmap::Random(rng, c.rw, c.rh, 50);
        for (int x = 0; x < c.rw; ++x) {
            ref.Set(x, 0, true);
            ref.Set(x, c.rh - 1, true);
        }
        for (int y = 0; y < c.rh; ++y) {
            ref.Set(0, y, true);
            ref.Set(c.rw - 1, y, true);
        }
        // The refined shape: the reference moved to the new size's centre,
        // with some pixels changed.
        Bitmap shape(c.w, c.h);
        const int ox = (c.w + 1) / 2 - (c.rw + 1) / 2;
        const int oy = (c.h + 1) / 2 - (c.rh + 1) / 2;
        for (int y = 0; y < c.h; ++y) {
            for (int x = 0; x < c.w; ++x) {
                shape.Set(x, y, ref.At(x - ox, y - oy) != ((x + 2 * y) % 5 == 0));
            }
        }
        const std::string what = std::to_string(c.rw) + "x" + std::to_string(c.rh) + " to " +
                                 std::to_string(c.w) + "x" + std::to_string(c.h);
        Writer w;
        w.StartOfImage(64, 64);
        w.NewSymbol(kNewSymbolLibraryOnly, ref);
        w.RefinedSymbol(kRefinedSymbolLibraryAndImage, 0, shape, Place::At(10, 10));  // library 1
        w.RefinedSymbol(kRefinedSymbolLibraryOnly, 1, ref);                           // library 2
        w.RefinedSymbol(kRefinedSymbolImageOnly, 2, shape, Place::At(30, 30));        // no library
        w.MatchedCopy(1, Place::At(50, 50));
        w.End();
        const Decoded d = Decode(w.Finish());
        EXPECT_TRUE(d.ended) << what;
        const Bitmap stored = shape.Cropped();
        EXPECT_EQ(BlitsOf(d.image),
                  (std::vector<Blit>{{shape, 9, 10}, {shape, 29, 30}, {stored, 49, 50}}))
            << what;
        EXPECT_EQ(ShapesOf(d.library), (std::vector<Bitmap>{ref, stored, ref.Cropped()})) << what;
    }
}

TEST(JB2Decoder, NewSymbolsBlitFullSizeAndStoreCropped) {
    const Bitmap blank(4, 3);
    Writer w;
    w.StartOfImage(50, 20);
    w.NewSymbol(kNewSymbolLibraryAndImage, kC, Place::At(1, 1));      // library 0
    w.NewSymbol(kNewSymbolLibraryAndImage, blank, Place::At(10, 1));  // library 1: 0 x 0
    w.NewSymbol(kNewSymbolImageOnly, kA, Place::At(20, 1));           // not in the library
    w.NewSymbol(kNewSymbolLibraryOnly, kB);                           // library 2, no blit
    w.MatchedCopy(0, Place::At(30, 1));
    w.MatchedCopy(1, Place::At(40, 1));
    w.MatchedCopy(2, Place::At(45, 1));
    w.End();
    const Decoded d = Decode(w.Finish());
    EXPECT_TRUE(d.ended);
    EXPECT_EQ(BlitsOf(d.image), (std::vector<Blit>{{kC, 0, 1},
                                                   {blank, 9, 1},
                                                   {kA, 19, 1},
                                                   {kCCropped, 29, 1},
                                                   {Bitmap(), 39, 1},
                                                   {kB, 44, 1}}));
    EXPECT_EQ(ShapesOf(d.library), (std::vector<Bitmap>{kCCropped, Bitmap(), kB}));
}

TEST(JB2Decoder, NonSymbolDataIsPlacedAbsolutely) {
    Writer w;
    w.StartOfImage(30, 30);
    w.NonSymbolData(kC, 5, 7);  // blitted at (4, 7), not kept
    w.NewSymbol(kNewSymbolLibraryAndImage, kA, Place::At(1, 25));
    w.NonSymbolData(kB, 1, 0);
    w.End();
    const Decoded d = Decode(w.Finish());
    EXPECT_TRUE(d.ended);
    EXPECT_EQ(BlitsOf(d.image), (std::vector<Blit>{{kC, 4, 7}, {kA, 0, 25}, {kB, 0, 0}}));
    EXPECT_EQ(d.library->TotalCount(), 1);
}

TEST(JB2Decoder, CommentsAreSkipped) {
    Writer w;
    w.Comment("before the image");
    w.StartOfImage(30, 30);
    w.NewSymbol(kNewSymbolLibraryAndImage, kA, Place::At(1, 1));
    w.Comment("");
    w.Comment(std::string(300, '\xE9'));
    w.MatchedCopy(0, Place::At(11, 11));
    w.End();
    const Decoded d = Decode(w.Finish());
    EXPECT_TRUE(d.ended);
    EXPECT_EQ(BlitsOf(d.image), (std::vector<Blit>{{kA, 0, 1}, {kA, 10, 11}}));
}

// A failing record ends the stream; what came before stays, nothing after is
// read.
TEST(JB2Decoder, FailuresKeepWhatCameBefore) {
    struct Case {
        const char* name;
        JB2StreamKind kind;
        void (*failure)(Writer&);
        int blitsBefore;  // of the two placed before the failure
        int shapesBefore;
        bool image;
    };
    const Case cases[] = {
        {"copy of a missing shape", JB2StreamKind::kPage,
         [](Writer& w) { w.MatchedCopy(0, Place::At(1, 1)); }, 1, 0, true},
        {"refinement of a missing shape", JB2StreamKind::kPage,
         [](Writer& w) {
             w.Record(kRefinedSymbolLibraryAndImage);
             w.Num(kMatchIndex, 0, -1, 0);
         },
         1, 0, true},
        {"second start of image", JB2StreamKind::kPage, [](Writer& w) { w.StartOfImage(99, 99); },
         1, 0, true},
        {"symbol wider than the page", JB2StreamKind::kPage,
         [](Writer& w) { w.SymbolSizeOnly(kNewSymbolLibraryAndImage, 41, 1); }, 1, 0, true},
        {"symbol taller than the page", JB2StreamKind::kPage,
         [](Writer& w) { w.SymbolSizeOnly(kNewSymbolLibraryOnly, 1, 31); }, 1, 0, true},
        {"non-symbol data wider than the page", JB2StreamKind::kPage,
         [](Writer& w) { w.SymbolSizeOnly(kNonSymbolData, 41, 1); }, 1, 0, true},
        {"dictionary symbol too wide", JB2StreamKind::kDictionary,
         [](Writer& w) { w.SymbolSizeOnly(kNewSymbolLibraryOnly, 65536, 1); }, 0, 0, false},
        {"dictionary symbol too tall", JB2StreamKind::kDictionary,
         [](Writer& w) { w.SymbolSizeOnly(kNewSymbolLibraryOnly, 1, 65536); }, 0, 0, false},
        {"dictionary symbol of too many pixels", JB2StreamKind::kDictionary,
         [](Writer& w) { w.SymbolSizeOnly(kNewSymbolLibraryOnly, 8193, 8193); }, 0, 0, false},
        {"dictionary symbol of the largest size coded", JB2StreamKind::kDictionary,
         [](Writer& w) { w.SymbolSizeOnly(kNewSymbolLibraryAndImage, 262142, 262142); }, 0, 0,
         false},
        {"refinement growing too wide", JB2StreamKind::kDictionary,
         [](Writer& w) {
             w.NewSymbol(kNewSymbolLibraryOnly, kA);
             w.Record(kRefinedSymbolLibraryOnly);
             w.Num(kMatchIndex, 0, 0, 0);
             w.Num(kWidthDifference, vyrd::JB2_NUM_MIN, vyrd::JB2_NUM_MAX, 65536 - 3);
             w.Num(kHeightDifference, vyrd::JB2_NUM_MIN, vyrd::JB2_NUM_MAX, 0);
         },
         0, 1, false},
        {"refinement to a negative width", JB2StreamKind::kDictionary,
         [](Writer& w) {
             w.NewSymbol(kNewSymbolLibraryOnly, kA);
             w.Record(kRefinedSymbolLibraryOnly);
             w.Num(kMatchIndex, 0, 0, 0);
             w.Num(kWidthDifference, vyrd::JB2_NUM_MIN, vyrd::JB2_NUM_MAX, -4);
             w.Num(kHeightDifference, vyrd::JB2_NUM_MIN, vyrd::JB2_NUM_MAX, 0);
         },
         0, 1, false},
    };
    for (const Case& c : cases) {
        Writer w;
        if (c.image) {
            w.StartOfImage(40, 30);
            w.NewSymbol(kNewSymbolImageOnly, kB, Place::At(1, 1));
        }
        c.failure(w);
        // Records that a decoder going on would read: a new symbol and its copy.
        w.NewSymbol(kNewSymbolLibraryAndImage, kA, Place::At(11, 11));
        w.MatchedCopy(int32_t(w.Library().size()) - 1, Place::At(21, 21));
        w.End();
        const Decoded d = Decode(w.Finish(), c.kind);
        EXPECT_FALSE(d.ended) << c.name;
        EXPECT_EQ(bool(d.image), c.image) << c.name;
        const std::vector<Blit> blits = BlitsOf(d.image);
        EXPECT_EQ(int(blits.size()), c.blitsBefore) << c.name;
        if (!blits.empty()) {
            EXPECT_EQ(blits[0], (Blit{kB, 0, 1})) << c.name;
        }
        EXPECT_EQ(d.library->TotalCount(), c.shapesBefore) << c.name;
    }
}

TEST(JB2Decoder, NonSymbolDataBeforeTheImageFails) {
    Writer w;
    w.NonSymbolData(kA, 3, 3);
    w.StartOfImage(30, 30);
    w.NewSymbol(kNewSymbolLibraryAndImage, kB, Place::At(1, 1));
    w.End();
    const Decoded d = Decode(w.Finish());
    EXPECT_FALSE(d.ended);
    EXPECT_FALSE(d.image);
}

// Symbols up to the limits are decoded: the page's own size in a page stream,
// 65535 per side in a dictionary (whose 0 x 0 image bounds nothing).
TEST(JB2Decoder, SymbolsAtTheLimitsAreKept) {
    struct Case {
        const char* name;
        JB2StreamKind kind;
        int imageW, imageH;  // 0: no start-of-image record
        int w, h;
    };
    const Case cases[] = {
        {"page width", JB2StreamKind::kPage, 40, 30, 40, 2},
        {"page height", JB2StreamKind::kPage, 40, 30, 1, 30},
        {"dictionary width", JB2StreamKind::kDictionary, 0, 0, 65535, 1},
        {"dictionary height", JB2StreamKind::kDictionary, 0, 0, 1, 65535},
        {"dictionary beyond its image", JB2StreamKind::kDictionary, 1, 1, 300, 200},
    };
    for (const Case& c : cases) {
        Bitmap shape(c.w, c.h);
        for (int i = 0; i < std::max(c.w, c.h); i += 7) {
            shape.Set(std::min(i, c.w - 1), std::min(i, c.h - 1), true);
        }
        shape.Set(0, 0, true);
        shape.Set(c.w - 1, c.h - 1, true);
        Writer w;
        if (c.imageW > 0) {
            w.StartOfImage(c.imageW, c.imageH);
        }
        w.NewSymbol(kNewSymbolLibraryOnly, shape);
        w.End();
        const Decoded d = Decode(w.Finish(), c.kind);
        EXPECT_TRUE(d.ended) << c.name;
        EXPECT_EQ(ShapesOf(d.library), std::vector<Bitmap>{shape}) << c.name;
    }
}

// Without its end record a stream runs into the coder's filler: decoding
// stops soon after the data, keeping everything the data held.
TEST(JB2Decoder, StreamsWithoutTheirEndStop) {
    std::mt19937 rng(3);
    Writer w;
    w.StartOfImage(400, 100);
    std::vector<Blit> expected;
    for (int i = 0; i < 20; ++i) {
        const Bitmap glyph = Bitmap::Random(rng, 6, 8, 40);
        w.NewSymbol(kNewSymbolLibraryAndImage, glyph, Place::At(1 + 18 * i, 50));
        expected.push_back({glyph, 18 * i, 50});
    }
    const Bytes whole = w.Finish();
    struct Case {
        const char* name;
        std::size_t keep;
    };
    const Case cases[] = {{"no end record", whole.size()},
                          {"cut at three quarters", whole.size() * 3 / 4},
                          {"cut at a quarter", whole.size() / 4},
                          {"nothing", 0}};
    for (const Case& c : cases) {
        const Bytes stream(whole.begin(), whole.begin() + std::ptrdiff_t(c.keep));
        const Decoded d = Decode(stream);
        EXPECT_FALSE(d.ended) << c.name;
        const std::vector<Blit> blits = BlitsOf(d.image);
        // Filler may still decode as a few records, never as many.
        EXPECT_LE(blits.size(), expected.size() + 50) << c.name;
        if (c.keep == whole.size()) {
            ASSERT_GE(blits.size(), expected.size()) << c.name;
            EXPECT_EQ(std::vector<Blit>(blits.begin(), blits.begin() + 20), expected) << c.name;
        } else if (c.keep > 0) {
            ASSERT_FALSE(blits.empty()) << c.name;
            EXPECT_EQ(blits[0], expected[0]) << c.name;
        }
    }
}

}  // namespace
