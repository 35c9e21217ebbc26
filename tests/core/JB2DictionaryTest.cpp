// The pieces around the JB2 decoder: shape numbering in dictionaries and their
// flattening, cropping to ink, the layer's edge test and the bilevel paint.

#include "BilevelPaint.h"
#include "JB2Dictionary.h"
#include "JB2Layer.h"

#include "JB2Writer.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <string>
#include <vector>

namespace {

using testjb2::Bitmap;
using vyrd::CJB2Dictionary;
using vyrd::CJB2Layer;
using vyrd::CRasterImage;
using vyrd::MakeRef;
using vyrd::RasterFormat;
using vyrd::RefPtr;

// A shape of w x h full of ink (nothing to crop), told apart by its size.
RefPtr<CRasterImage> Solid(int w, int h) {
    Bitmap b(w, h);
    std::fill(b.pixels.begin(), b.pixels.end(), 1);
    return b.ToRaster();
}

RefPtr<CJB2Dictionary> WithShapes(const std::vector<RefPtr<CRasterImage>>& shapes) {
    RefPtr<CJB2Dictionary> d = MakeRef<CJB2Dictionary>();
    for (const RefPtr<CRasterImage>& s : shapes) {
        EXPECT_TRUE(d->AddShape(s));
    }
    return d;
}

TEST(JB2Dictionary, NumbersRunOverChildrenFirstAndSurviveFlattening) {
    const std::vector<RefPtr<CRasterImage>> s = {Solid(1, 1), Solid(2, 1), Solid(3, 1),
                                                 Solid(4, 1), Solid(5, 1), Solid(6, 1)};
    // top: children [first: s0 s1; second: children [third: s2], own s3], own s4 s5
    RefPtr<CJB2Dictionary> first = WithShapes({s[0], s[1]});
    RefPtr<CJB2Dictionary> third = WithShapes({s[2]});
    RefPtr<CJB2Dictionary> second = WithShapes({s[3]});
    second->AddChild(third);
    RefPtr<CJB2Dictionary> top = MakeRef<CJB2Dictionary>();
    top->AddChild(first);
    top->AddChild(second);
    top->AddChild(MakeRef<CJB2Dictionary>());  // an empty child takes no numbers
    EXPECT_TRUE(top->AddShape(s[4]));
    EXPECT_TRUE(top->AddShape(s[5]));

    // Numbers: first covers 0-1, second 2-3 (its child's shape first), own
    // 4-5. Shapes without margins are stored as they are: the same objects.
    const std::vector<CRasterImage*> inOrder = {s[0].get(), s[1].get(), s[2].get(),
                                                s[3].get(), s[4].get(), s[5].get()};
    for (const bool flat : {false, true}) {
        if (flat) {
            top->Flatten();
            EXPECT_EQ(top->ChildCount(), 0);
            EXPECT_EQ(top->OwnShapeCount(), 6);
        }
        EXPECT_EQ(top->TotalCount(), 6) << flat;
        for (int n = 0; n < 6; ++n) {
            EXPECT_EQ(top->GetShape(n).get(), inOrder[std::size_t(n)]) << flat << " " << n;
        }
        for (const int outside : {6, 7, 1000, -1, INT_MIN, INT_MAX}) {
            EXPECT_FALSE(top->GetShape(outside)) << flat << " " << outside;
        }
    }
    // The children themselves are not changed by their parent's flattening.
    EXPECT_EQ(second->TotalCount(), 2);
    EXPECT_EQ(second->GetShape(0).get(), s[2].get());
}

TEST(JB2Dictionary, EmptyDictionary) {
    RefPtr<CJB2Dictionary> d = MakeRef<CJB2Dictionary>();
    EXPECT_EQ(d->TotalCount(), 0);
    EXPECT_FALSE(d->GetShape(0));
    d->Flatten();
    EXPECT_EQ(d->TotalCount(), 0);
}

TEST(JB2Dictionary, ShapesAreStoredCroppedToTheirInk) {
    struct Case {
        const char* name;
        Bitmap in;
        Bitmap out;
    };
    const Case cases[] = {
        {"margins on every side", Bitmap::FromRows({".....", "..#..", ".##..", "....."}),
         Bitmap::FromRows({".#", "##"})},
        {"margin left and top only", Bitmap::FromRows({"...", ".##", ".#."}),
         Bitmap::FromRows({"##", "#."})},
        {"margin right and bottom only", Bitmap::FromRows({"#..", "...", "..."}),
         Bitmap::FromRows({"#"})},
        {"ink in two corners", Bitmap::FromRows({"#...", "....", "...#"}),
         Bitmap::FromRows({"#...", "....", "...#"})},
        {"no ink", Bitmap::FromRows({"....", "...."}), Bitmap()},
        {"one blank column", Bitmap::FromRows({"."}), Bitmap()},
        {"empty", Bitmap(), Bitmap()},
        {"a row of width 0", Bitmap(0, 3), Bitmap()},
        {"a column of height 0", Bitmap(3, 0), Bitmap()},
    };
    for (const Case& c : cases) {
        const RefPtr<CRasterImage> in = c.in.ToRaster();
        const RefPtr<CRasterImage> cropped = vyrd::CropToInk(in);
        ASSERT_TRUE(cropped) << c.name;
        EXPECT_EQ(Bitmap::FromRaster(*cropped), c.out) << c.name;
        EXPECT_EQ(cropped->Format(), RasterFormat::BILEVEL) << c.name;
        EXPECT_EQ(cropped->Stride(), cropped->Width()) << c.name;
        // Nothing to cut: the raster itself.
        EXPECT_EQ(cropped == in, c.in == c.out) << c.name;
        // The dictionary stores the same.
        RefPtr<CJB2Dictionary> d = WithShapes({in});
        EXPECT_EQ(Bitmap::FromRaster(*d->GetShape(0)), c.out) << c.name;
    }
}

TEST(JB2Layer, BlitsStickingOutRightOrTopAreRefused) {
    const RefPtr<CRasterImage> shape = Solid(3, 2);
    const RefPtr<CRasterImage> empty = Solid(0, 0);
    struct Case {
        const RefPtr<CRasterImage>* shape;
        int x, y;
        bool kept;
    };
    // Layer 10 x 8.
    const Case cases[] = {
        {&shape, 7, 6, true},   // touches the right and top edges
        {&shape, 8, 0, false},  // one column too far right
        {&shape, 0, 7, false},  // one row too high
        {&shape, 0, 0, true},
        {&shape, -2, -1, true},  // past the left and bottom edges: kept
        {&shape, INT_MIN, INT_MIN, true},
        {&shape, INT_MAX - 1, 0, false},  // no overflow in the test
        {&shape, 0, INT_MAX, false},
        {&empty, 10, 8, true},
        {&empty, 11, 8, false},
    };
    RefPtr<CJB2Layer> layer = MakeRef<CJB2Layer>(10, 8);
    int kept = 0;
    for (const Case& c : cases) {
        EXPECT_EQ(layer->AddBlit(*c.shape, c.x, c.y), c.kept) << c.x << " " << c.y;
        if (c.kept) {
            ASSERT_EQ(layer->BlitCount(), ++kept);
            const vyrd::JB2Blit& b = layer->GetBlit(kept - 1);
            EXPECT_EQ(b.shape, *c.shape);
            EXPECT_EQ(b.x, c.x);
            EXPECT_EQ(b.y, c.y);
        }
    }
    EXPECT_EQ(layer->BlitCount(), kept);
}

// The page as the paint should leave it, pixel by pixel.
Bitmap NaivePaint(Bitmap page, const CJB2Layer& layer) {
    for (const vyrd::JB2Blit& blit : layer.Blits()) {
        const Bitmap s = Bitmap::FromRaster(*blit.shape);
        for (int j = 0; j < s.height; ++j) {
            for (int i = 0; i < s.width; ++i) {
                const int64_t x = int64_t{blit.x} + i;
                const int64_t y = int64_t{blit.y} + j;
                if (s.At(i, j) && x >= 0 && y >= 0 && x < page.width && y < page.height) {
                    page.Set(int(x), int(y), true);
                }
            }
        }
    }
    return page;
}

// Blits come from a layer larger than the page (its own size bounds them, not
// the page's), so they reach past every edge of the page.
TEST(BilevelPaint, ClipsOnAllFourSides) {
    struct Case {
        int x, y;
    };
    const Bitmap glyph = Bitmap::FromRows({"#..#", ".##.", "####"});  // 4 x 3
    // Page 9 x 6.
    const Case cases[] = {
        {0, 0},  {5, 3},  {-2, 1}, {1, -2}, {-3, -2}, {7, 1},         {2, 5},
        {8, 5},  {-4, 0}, {0, -3}, {9, 0},  {0, 6},   {-1000, -1000}, {INT_MIN, INT_MIN},
        {-3, 4}, {7, -2},
    };
    for (const Case& c : cases) {
        RefPtr<CJB2Layer> layer = MakeRef<CJB2Layer>(1 << 20, 1 << 20);
        ASSERT_TRUE(layer->AddBlit(glyph.ToRaster(), c.x, c.y));
        Bitmap page(9, 6);
        page.Set(4, 2, true);  // ink already there stays
        const RefPtr<CRasterImage> raster = page.ToRaster();
        vyrd::PaintBlitsBilevel(*raster, *layer);
        EXPECT_EQ(Bitmap::FromRaster(*raster), NaivePaint(page, *layer)) << c.x << " " << c.y;
    }
    // Many at once, anywhere around the page, of many sizes.
    std::mt19937 rng(8);
    std::uniform_int_distribution<int> position(-12, 14);
    std::uniform_int_distribution<int> side(0, 9);
    for (int round = 0; round < 50; ++round) {
        RefPtr<CJB2Layer> layer = MakeRef<CJB2Layer>(1 << 20, 1 << 20);
        for (int k = 0; k < 20; ++k) {
            layer->AddBlit(Bitmap::Random(rng, side(rng), side(rng), 60).ToRaster(), position(rng),
                           position(rng));
        }
        const Bitmap page(9 + round % 3, 6 + round % 4);
        const RefPtr<CRasterImage> raster = page.ToRaster();
        vyrd::PaintBlitsBilevel(*raster, *layer);
        ASSERT_EQ(Bitmap::FromRaster(*raster), NaivePaint(page, *layer)) << round;
    }
}

}  // namespace
