// The text layer decoder and its queries on hand-made streams: placement of
// zones, text ranges in UTF-16 units, the duplicate rule, damaged and hostile
// streams, the text under a rectangle, the rectangles of a text run, and the
// page-text cache.

#include "PageTextLayer.h"
#include "RangeOf.h"
#include "TextCache.h"
#include "TextStream.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using testtext::Stream;
using testtext::ZoneRecord;
using vyrd::CPageTextLayer;
using vyrd::CTextZone;
using vyrd::RefPtr;
using vyrd::TextRange;
using vyrd::TextRect;

RefPtr<CPageTextLayer> Decode(const testtext::Bytes& stream, int height = 100,
                              bool topDown = true) {
    vyrd::TextLayerPlacement placement;
    placement.pageHeight = height;
    placement.topDown = topDown;
    return CPageTextLayer::DecodeUncompressed(RangeOf(stream), placement);
}

struct Listed {
    int depth;
    int type;
    TextRect rect;
    int wstart;
    int wlen;
};

std::vector<Listed> ListZones(const CPageTextLayer& layer) {
    std::vector<Listed> zones;
    layer.ForEachZone([&](const CTextZone& z, int depth) {
        zones.push_back({depth, z.type, z.Rect(), z.wstart, z.wlen});
    });
    return zones;
}

// The rectangle of a zone that print-txt gives as (xmin, ymin, xmax, ymax)
// in the layer's bottom-up system, as the reader holds it.
TextRect FromLayer(int xmin, int ymin, int xmax, int ymax, int height, bool topDown) {
    if (topDown) {
        return {xmin, height - ymax, xmax - 1, height - ymin - 1};
    }
    return {xmin, ymin, xmax - 1, ymax - 1};
}

// Two lines of words on a 200 x 100 page, stored as DjVuLibre's djvused
// stores this layer:
//   (page 0 0 200 100
//    (line 10 10 150 30 (word 10 10 60 30 "hello") (word 70 12 150 28 "wörld"))
//    (line 10 50 100 70 (word 10 50 100 70 "x𝄞y")))
// Words carry their trailing space, lines their newline.
const std::string kTwoLinesText = "hello w\xC3\xB6rld \nx\xF0\x9D\x84\x9Ey \n";

ZoneRecord TwoLines(uint16_t textOffset = 0) {
    ZoneRecord root{1, 0, 0, 200, 100, 22, {}, textOffset};
    ZoneRecord line1{5, 10, 70, 140, 20, 14, {}, textOffset};
    line1.children = {{6, 0, 0, 50, 20, 6, {}, textOffset}, {6, 10, 2, 80, 16, 7, {}, textOffset}};
    ZoneRecord line2{5, 0, -60, 90, 20, 8, {}, textOffset};
    line2.children = {{6, 0, 0, 90, 20, 7, {}, textOffset}};
    root.children = {line1, line2};
    return root;
}

TEST(TextLayerDecode, PlacesZonesAsDjVuToolsStoreThem) {
    for (bool topDown : {true, false}) {
        SCOPED_TRACE(topDown ? "top-down" : "bottom-up");
        const RefPtr<CPageTextLayer> layer =
            Decode(Stream(kTwoLinesText, TwoLines()), 100, topDown);
        ASSERT_TRUE(layer);
        const std::vector<Listed> zones = ListZones(*layer);
        // Ranges in UTF-16 units: "ö" counts 1, "𝄞" counts 2.
        const std::vector<Listed> expected = {
            {0, 1, FromLayer(0, 0, 200, 100, 100, topDown), 0, 19},
            {1, 5, FromLayer(10, 10, 150, 30, 100, topDown), 0, 13},
            {2, 6, FromLayer(10, 10, 60, 30, 100, topDown), 0, 6},
            {2, 6, FromLayer(70, 12, 150, 28, 100, topDown), 6, 6},
            {1, 5, FromLayer(10, 50, 100, 70, 100, topDown), 13, 6},
            {2, 6, FromLayer(10, 50, 100, 70, 100, topDown), 13, 5},
        };
        ASSERT_EQ(zones.size(), expected.size());
        for (std::size_t i = 0; i < zones.size(); ++i) {
            SCOPED_TRACE(i);
            EXPECT_EQ(zones[i].depth, expected[i].depth);
            EXPECT_EQ(zones[i].type, expected[i].type);
            EXPECT_EQ(zones[i].rect, expected[i].rect);
            EXPECT_EQ(zones[i].wstart, expected[i].wstart);
            EXPECT_EQ(zones[i].wlen, expected[i].wlen);
        }
        EXPECT_EQ(layer->Text(), u"hello w\u00F6rld \nx\U0001D11Ey \n");
        EXPECT_EQ(layer->Utf8Text(), kTwoLinesText);
    }
}

TEST(TextLayerDecode, StoredTextOffsetsAreNotUsed) {
    const RefPtr<CPageTextLayer> plain = Decode(Stream(kTwoLinesText, TwoLines(0)));
    const RefPtr<CPageTextLayer> offset = Decode(Stream(kTwoLinesText, TwoLines(7)));
    ASSERT_TRUE(plain && offset);
    const std::vector<Listed> a = ListZones(*plain);
    const std::vector<Listed> b = ListZones(*offset);
    ASSERT_EQ(a.size(), b.size());
    for (std::size_t i = 0; i < a.size(); ++i) {
        EXPECT_EQ(a[i].rect, b[i].rect);
        EXPECT_EQ(a[i].wstart, b[i].wstart);
        EXPECT_EQ(a[i].wlen, b[i].wlen);
    }
}

// The second of two siblings is placed from the first: page, paragraph and
// line zones stack downward from its x; the others continue to the right of
// its right edge at its height.
TEST(TextLayerDecode, SiblingPlacementDependsOnType) {
    for (uint8_t type = 1; type <= 7; ++type) {
        SCOPED_TRACE(int(type));
        ZoneRecord root{1, 0, 0, 200, 100, 0};
        root.children = {{type, 5, 7, 20, 10, 0}, {type, 3, 4, 8, 6, 0}};
        const RefPtr<CPageTextLayer> layer = Decode(Stream("", root), 100, false);
        ASSERT_TRUE(layer);
        ASSERT_EQ(layer->Root().children.size(), 2u);
        const CTextZone& first = *layer->Root().children[0];
        const CTextZone& second = *layer->Root().children[1];
        // Inside the parent: x from its left, y from its top edge downward.
        EXPECT_EQ(first.x, 5);
        EXPECT_EQ(first.y, 100 - 10 - 7);
        const bool vertical = type == 1 || type == 4 || type == 5;
        EXPECT_EQ(second.x, vertical ? 5 + 3 : 5 + 20 + 3);
        EXPECT_EQ(second.y, vertical ? 83 - 6 - 4 : 83 + 4);
        EXPECT_EQ(second.w, 8);
        EXPECT_EQ(second.h, 6);

        // Turned top-down, each zone's top edge is measured from the top.
        const RefPtr<CPageTextLayer> turned = Decode(Stream("", root), 100, true);
        ASSERT_TRUE(turned);
        EXPECT_EQ(turned->Root().children[0]->y, 100 - 10 - first.y);
        EXPECT_EQ(turned->Root().children[1]->y, 100 - 6 - second.y);
    }
}

TEST(TextLayerDecode, ZoneTextLengthsAreClippedToTheText) {
    // The first word claims more bytes than there are; the second starts at
    // the end of the text and holds nothing.
    ZoneRecord root{1, 0, 0, 100, 50, 4};
    root.children = {{6, 0, 0, 10, 10, 1000}, {6, 1, 0, 10, 10, 5}};
    const RefPtr<CPageTextLayer> layer = Decode(Stream("ab\xE2\x82\xAC", root));
    ASSERT_TRUE(layer);
    const std::vector<Listed> zones = ListZones(*layer);
    ASSERT_EQ(zones.size(), 3u);
    EXPECT_EQ(zones[0].wlen, 3);  // "ab€", the euro sign one unit
    EXPECT_EQ(zones[1].wstart, 0);
    EXPECT_EQ(zones[1].wlen, 3);
    EXPECT_EQ(zones[2].wstart, 3);
    EXPECT_EQ(zones[2].wlen, 0);
}

TEST(TextLayerDecode, ChildRepeatingTheLastAcceptedChildIsDropped) {
    // Words run left to right: a stored x of -w puts a word on top of the
    // previous one.
    const ZoneRecord empty{6, 2, 2, 10, 10, 0};
    const ZoneRecord again{6, -10, 0, 10, 10, 0};
    struct Case {
        const char* name;
        std::vector<ZoneRecord> children;
        std::size_t kept;
    };
    ZoneRecord withChild = again;
    withChild.children = {{7, 0, 0, 10, 10, 0}};
    const Case cases[] = {
        {"identical empty words", {empty, again}, 1},
        {"three in a row", {empty, again, again}, 1},
        // Not the same zone: it has text, so its range differs.
        {"same box with text", {empty, {6, -10, 0, 10, 10, 1}}, 2},
        {"same box, other type", {empty, {7, -10, 0, 10, 10, 0}}, 2},
        {"same box, a child more", {empty, withChild}, 2},
        {"other size", {empty, {6, -10, 0, 10, 11, 0}}, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ZoneRecord line{5, 0, 0, 100, 40, 2};
        line.children = c.children;
        ZoneRecord root{1, 0, 0, 100, 50, 2, {line}};
        const RefPtr<CPageTextLayer> layer = Decode(Stream("ab", root));
        ASSERT_TRUE(layer);
        EXPECT_EQ(layer->Root().children.at(0)->children.size(), c.kept);
    }
}

TEST(TextLayerDecode, DamagedStreamsKeepWhatCameBeforeTheDamage) {
    const testtext::Bytes whole = Stream(kTwoLinesText, TwoLines());
    const std::size_t textEnd = 3 + kTwoLinesText.size();
    const std::size_t rootEnd = textEnd + 1 + 17;
    const std::size_t firstLineEnd = rootEnd + 17;
    const std::size_t firstWordEnd = firstLineEnd + 17;
    struct Case {
        const char* name;
        std::size_t keep;  // bytes of the whole stream
        int zones;         // 0: no layer at all
    };
    const Case cases[] = {
        {"nothing", 0, 0},
        {"inside the text", 10, 0},
        {"text, no version", textEnd, 0},
        {"version, no root", textEnd + 1, 0},
        {"root cut short", rootEnd - 1, 0},
        {"root alone", rootEnd, 1},
        {"second word cut short", firstWordEnd + 9, 3},
        {"first line complete", firstWordEnd + 17, 4},
        {"everything", whole.size(), 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const testtext::Bytes cut(whole.begin(), whole.begin() + c.keep);
        const RefPtr<CPageTextLayer> layer = Decode(cut);
        if (c.zones == 0) {
            EXPECT_FALSE(layer);
            continue;
        }
        ASSERT_TRUE(layer);
        EXPECT_EQ(int(ListZones(*layer).size()), c.zones);
        EXPECT_EQ(layer->Utf8Text(), kTwoLinesText);
    }
}

TEST(TextLayerDecode, ChildCountsBeyondTheStreamEndEarly) {
    ZoneRecord root{1, 0, 0, 100, 50, 2};
    root.children = {{6, 0, 0, 10, 10, 1}};
    root.declaredChildren = 0xFFFFFF;
    const RefPtr<CPageTextLayer> layer = Decode(Stream("ab", root));
    ASSERT_TRUE(layer);
    EXPECT_EQ(layer->Root().children.size(), 1u);
}

TEST(TextLayerDecode, HostileNestingAndPlacementStayBounded) {
    // Zones nested far deeper than any page: the tree stops at the depth limit.
    testtext::Bytes deep = testiff::U24(0);
    deep.push_back(1);
    constexpr int kLevels = 100000;
    for (int i = 0; i < kLevels; ++i) {
        testtext::AppendZone(deep, ZoneRecord{6, 1, 1, 1, 1, 0, {}, 0, 1});
    }
    const RefPtr<CPageTextLayer> nested = Decode(deep);
    ASSERT_TRUE(nested);
    int depth = 0;
    nested->ForEachZone([&](const CTextZone&, int d) { depth = std::max(depth, d); });
    EXPECT_EQ(depth, CPageTextLayer::kMaxZoneDepth);

    // Siblings that each move as far right and up as a record can: positions
    // stop growing instead of overflowing, so every edge is still a number.
    ZoneRecord root{1, 0, 0, 100, 50, 0};
    root.children.assign(70000, ZoneRecord{6, 32767, 32767, 32767, 32767, 0});
    const RefPtr<CPageTextLayer> far = Decode(Stream("", root), -32768, true);
    ASSERT_TRUE(far);
    for (const RefPtr<CTextZone>& zone : far->Root().children) {
        const TextRect r = zone->Rect();
        ASSERT_LE(r.left, r.right);
        ASSERT_LE(r.top, r.bottom);
    }
}

// Queries on the two-line page, top-down:
//   line 1 {10, 70, 149, 89}: word {10, 70, 59, 89} [0, 5], word {70, 72, 149, 87} [6, 11]
//   line 2 {10, 30, 99, 49}: word {10, 30, 99, 49} [13, 17]
class TwoLineQueries : public testing::Test {
protected:
    void SetUp() override {
        layer_ = Decode(Stream(kTwoLinesText, TwoLines()));
        ASSERT_TRUE(layer_);
    }
    RefPtr<CPageTextLayer> layer_;
};

constexpr TextRect kHello{10, 70, 59, 89};
constexpr TextRect kWorld{70, 72, 149, 87};
constexpr TextRect kXy{10, 30, 99, 49};

TEST_F(TwoLineQueries, TextUnderARectangle) {
    struct Case {
        const char* name;
        TextRect rc;
        std::optional<TextRange> expected;
    };
    const Case cases[] = {
        {"the whole page", {0, 0, 199, 99}, TextRange{0, 18}},
        {"more than the page", {-500, -500, 5000, 5000}, TextRange{0, 18}},
        {"two rows of the first word", {0, 88, 65, 95}, TextRange{0, 5}},
        {"the same, corners swapped", {65, 95, 0, 88}, TextRange{0, 5}},
        {"one row of the first word only", {0, 89, 65, 95}, std::nullopt},
        {"one column of the second word only", {149, 0, 160, 99}, std::nullopt},
        {"two columns of the second word", {148, 75, 160, 80}, TextRange{6, 11}},
        {"parts of both lines", {80, 40, 120, 80}, TextRange{6, 17}},
        {"empty space between the lines", {0, 55, 199, 65}, std::nullopt},
        {"outside the page", {300, 300, 400, 400}, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(layer_->CoveredBy(c.rc), c.expected);
    }
}

TEST_F(TwoLineQueries, RectanglesOfATextRun) {
    struct Case {
        const char* name;
        int64_t first;
        int64_t last;
        std::vector<TextRect> expected;
    };
    const Case cases[] = {
        // Sorted by left edge, then top: not in reading order.
        {"everything", 0, 18, {kXy, kHello, kWorld}},
        {"inside one word", 7, 8, {kWorld}},
        {"across the line break", 10, 14, {kXy, kWorld}},
        {"the line break alone", 12, 12, {}},
        {"empty run inside a word", 8, 7, {kWorld}},
        {"empty run on a word boundary", 6, 5, {}},
        {"before the text", -10, -1, {}},
        {"past the text", 19, 40, {}},
        {"huge run", INT64_MIN / 4, INT64_MAX / 4, {kXy, kHello, kWorld}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(layer_->RectsOf(c.first, c.last), c.expected);
    }
}

TEST_F(TwoLineQueries, SubstringsAreCutToTheText) {
    EXPECT_EQ(layer_->Substring({0, 4}), u"hello");
    EXPECT_EQ(layer_->Substring({-3, 1}), u"he");
    EXPECT_EQ(layer_->Substring({16, 100}), u"y \n");
    EXPECT_EQ(layer_->Substring({14, 15}), u"\U0001D11E");
    EXPECT_EQ(layer_->Substring({6, 5}), u"");
    EXPECT_EQ(layer_->Substring({40, 50}), u"");
}

// A word of character zones: "abc" plus its trailing space, with b and c in
// the same box.
//   a {10, 10, 19, 29}, b and c {20, 10, 29, 29}
RefPtr<CPageTextLayer> CharacterWord() {
    ZoneRecord word{6, 10, 10, 30, 20, 4};
    word.children = {{7, 0, 0, 10, 20, 1}, {7, 0, 0, 10, 20, 1}, {7, -10, 0, 10, 20, 1}};
    ZoneRecord line{5, 0, 0, 100, 50, 4, {word}};
    ZoneRecord root{1, 0, 0, 100, 50, 4, {line}};
    return Decode(Stream("abc ", root), 50, true);
}

TEST(TextLayerCharacters, LeafZonesCountWhole) {
    const RefPtr<CPageTextLayer> layer = CharacterWord();
    ASSERT_TRUE(layer);
    // Clipping two columns of "a" selects all of it.
    EXPECT_EQ(layer->CoveredBy({10, 15, 11, 20}), (TextRange{0, 0}));
    // b and c share a box: a rectangle over it selects both.
    EXPECT_EQ(layer->CoveredBy({22, 15, 25, 20}), (TextRange{1, 2}));
    // The whole word's box holds the word with its space.
    EXPECT_EQ(layer->CoveredBy({10, 10, 39, 29}), (TextRange{0, 3}));
}

TEST(TextLayerCharacters, RectanglesOfCharacters) {
    const RefPtr<CPageTextLayer> layer = CharacterWord();
    ASSERT_TRUE(layer);
    constexpr TextRect kA{10, 10, 19, 29};
    constexpr TextRect kBC{20, 10, 29, 29};
    EXPECT_EQ(layer->RectsOf(1, 1), std::vector<TextRect>{kBC});
    // Two identical boxes give one rectangle.
    EXPECT_EQ(layer->RectsOf(1, 2), std::vector<TextRect>{kBC});
    EXPECT_EQ(layer->RectsOf(0, 2), (std::vector<TextRect>{kA, kBC}));
    // The whole word: every leaf under it.
    EXPECT_EQ(layer->RectsOf(0, 3), (std::vector<TextRect>{kA, kBC}));
    // The space after c: the word is only partly inside, and no character
    // holds the space.
    EXPECT_EQ(layer->RectsOf(3, 3), std::vector<TextRect>{});
    // An empty run between a and b: no character holds both 0 and 1.
    EXPECT_EQ(layer->RectsOf(1, 0), std::vector<TextRect>{});
}

TEST(TextLayerCharacters, CharacterZonesGiveTheirOwnBoxEvenWithChildren) {
    ZoneRecord character{7, 10, 10, 30, 20, 2};
    character.children = {{7, 0, 0, 10, 20, 1}, {7, 0, 0, 10, 20, 1}};
    ZoneRecord root{1, 0, 0, 100, 50, 2, {character}};
    const RefPtr<CPageTextLayer> layer = Decode(Stream("ab", root), 50, true);
    ASSERT_TRUE(layer);
    EXPECT_EQ(layer->RectsOf(0, 0), std::vector<TextRect>({{10, 10, 39, 29}}));
}

TEST(TextLayerCharacters, EmptyTextLayer) {
    const RefPtr<CPageTextLayer> layer = Decode(Stream("", ZoneRecord{1, 0, 0, 100, 50, 0}), 50);
    ASSERT_TRUE(layer);
    EXPECT_EQ(layer->Text(), u"");
    // The whole page holds the whole (empty) text: a run of length 0.
    const std::optional<TextRange> all = layer->CoveredBy({0, 0, 99, 49});
    ASSERT_TRUE(all);
    EXPECT_EQ(all->Length(), 0);
    EXPECT_EQ(layer->Substring(*all), u"");
}

RefPtr<CPageTextLayer> SomeLayer() {
    return Decode(Stream("a", ZoneRecord{1, 0, 0, 10, 10, 1}));
}

std::vector<int> Order(const vyrd::CTextCache& cache) {
    std::vector<int> pages;
    for (std::size_t i = 0; i < cache.Size(); ++i) {
        pages.push_back(cache.PageAt(i));
    }
    return pages;
}

TEST(TextCache, HitsSwapToTheFrontAndTheEleventhPageEvictsTheLast) {
    vyrd::CTextCache cache;
    std::vector<RefPtr<CPageTextLayer>> layers;
    for (int page = 0; page < 10; ++page) {
        layers.push_back(SomeLayer());
        cache.Insert(page, layers.back());
    }
    EXPECT_EQ(Order(cache), (std::vector<int>{9, 8, 7, 6, 5, 4, 3, 2, 1, 0}));
    // A hit trades places with the first entry.
    EXPECT_EQ(cache.Find(5), layers[5]);
    EXPECT_EQ(Order(cache), (std::vector<int>{5, 8, 7, 6, 9, 4, 3, 2, 1, 0}));
    EXPECT_EQ(cache.Find(42), nullptr);
    EXPECT_EQ(Order(cache), (std::vector<int>{5, 8, 7, 6, 9, 4, 3, 2, 1, 0}));
    // The eleventh page pushes out the entry at the end.
    cache.Insert(10, SomeLayer());
    EXPECT_EQ(Order(cache), (std::vector<int>{10, 5, 8, 7, 6, 9, 4, 3, 2, 1}));
    EXPECT_EQ(cache.Find(0), nullptr);
    // The cache held the only other reference to page 0's layer.
    EXPECT_EQ(layers[0]->RefCount(), 1);
    cache.Clear();
    EXPECT_EQ(cache.Size(), 0u);
    EXPECT_EQ(layers[5]->RefCount(), 1);
}

}  // namespace
