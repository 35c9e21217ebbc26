// The annotation syntax as far as links need it: splitting a text into its
// top-level expressions, reading rectangular map areas, placing them on the
// page and resolving page numbers.

#include "MapArea.h"
#include "PageLinks.h"
#include "PageUrl.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace {

using vyrd::CMapAreaRect;
using vyrd::LinkRecord;

std::vector<std::u16string> Split(std::u16string_view text) {
    std::vector<std::u16string> out;
    for (std::u16string_view e : vyrd::SplitTopLevelExpressions(text)) {
        out.emplace_back(e);
    }
    return out;
}

TEST(AnnotationScan, FindsEachTopLevelExpression) {
    struct Case {
        const char* name;
        std::u16string text;
        std::vector<std::u16string> expected;
    };
    const Case cases[] = {
        {"empty", u"", {}},
        {"no parenthesis", u"just words", {}},
        {"two, text between ignored", u" junk (a 1) more (b (c 2)) tail", {u"a 1", u"b (c 2)"}},
        {"adjacent", u"(a)(b)()", {u"a", u"b", u""}},
        {"unclosed ends the scan", u"(a) (b (c) (d)", {u"a"}},
        {"stray closing parenthesis ignored", u") (a))", {u"a"}},
        {"parenthesis in a string is text", u"(m \"x (y\" 1) (n)", {u"m \"x (y\" 1", u"n"}},
        {"escaped quote stays in the string", u"(m \"a\\\" (\" 1) (n)", {u"m \"a\\\" (\" 1", u"n"}},
        {"unclosed string ends the scan", u"(a) (m \"open (b)", {u"a"}},
        {"string outside an expression", u"\"(x)\" (a)", {u"a"}},
        {"line breaks", u"(a\n1)\r\n(b\t2)", {u"a\n1", u"b\t2"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Split(c.text), c.expected) << c.name;
    }
}

TEST(AnnotationScan, DeepNestingNeedsNoStack) {
    // A million levels: a recursive scanner would run out of stack.
    const std::size_t depth = 1000000;
    std::u16string text(depth, u'(');
    text += std::u16string(depth, u')');
    const std::vector<std::u16string_view> found = vyrd::SplitTopLevelExpressions(text);
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].size(), 2 * depth - 2);
    // Unbalanced the other way: nothing, and no over-read.
    EXPECT_TRUE(vyrd::SplitTopLevelExpressions(std::u16string(depth, u'(')).empty());
}

struct AreaCase {
    const char* name;
    std::u16string expression;
    bool parses;
    std::u16string url = {};
    int32_t x = 0, y = 0, w = 0, h = 0;
};

TEST(MapAreaParse, ReadsRectangleAreasOnly) {
    const AreaCase cases[] = {
        {"with options", u"maparea \"#3\" \"\" (rect 10 20 30 40) (xor)", true, u"#3", 10, 20, 30,
         40},
        {"nothing after the shape", u"maparea \"#3\" \"\" (rect 10 20 30 40)", true, u"#3", 10, 20,
         30, 40},
        {"extra white space", u"  maparea\n\"#3\"\t\"c\"  (  rect  10\n20  30 40 ) ", true, u"#3",
         10, 20, 30, 40},
        {"url with a target", u"maparea (url \"#2\" \"_self\") \"\" (rect 1 2 3 4)", true, u"#2", 1,
         2, 3, 4},
        {"url without a target", u"maparea (url \"http://x/\") \"\" (rect 1 2 3 4)", true,
         u"http://x/", 1, 2, 3, 4},
        {"escaped quote in the comment", u"maparea \"#1\" \"say \\\"hi\\\"\" (rect 1 2 3 4)", true,
         u"#1", 1, 2, 3, 4},
        {"parenthesis in the comment", u"maparea \"#1\" \"fig (2\" (rect 1 2 3 4)", true, u"#1", 1,
         2, 3, 4},
        {"escapes in the url", u"maparea \"#a\\\"b\\\\c\\303\\274\" \"\" (rect 1 2 3 4)", true,
         u"#a\"b\\c\u00FC", 1, 2, 3, 4},
        {"negative and signed numbers", u"maparea \"\" \"\" (rect -5 +6 -7 8)", true, u"", -5, 6,
         -7, 8},
        {"numbers read like atoi", u"maparea \"\" \"\" (rect 12px x 3.9 4)", true, u"", 12, 0, 3,
         4},
        {"numbers saturate", u"maparea \"\" \"\" (rect 99999999999 -99999999999 1 1)", true, u"",
         INT32_MAX, INT32_MIN, 1, 1},
        {"no comment", u"maparea \"#1\" (rect 1 2 3 4)", false},
        {"oval", u"maparea \"#1\" \"\" (oval 1 2 3 4)", false},
        {"poly", u"maparea \"#1\" \"\" (poly 1 2 3 4 5 6)", false},
        {"text", u"maparea \"#1\" \"\" (text 1 2 3 4)", false},
        {"line", u"maparea \"#1\" \"\" (line 1 2 3 4)", false},
        {"rect spelled longer", u"maparea \"#1\" \"\" (rectangle 1 2 3 4)", false},
        {"three numbers", u"maparea \"#1\" \"\" (rect 1 2 3)", false},
        {"unquoted url", u"maparea #1 \"\" (rect 1 2 3 4)", false},
        {"unclosed url", u"maparea \"#1 (rect 1 2 3 4)", false},
        {"keyword case", u"MAPAREA \"#1\" \"\" (rect 1 2 3 4)", false},
        {"keyword prefix", u"mapareas \"#1\" \"\" (rect 1 2 3 4)", false},
        {"other annotation", u"background #ffffff", false},
        {"empty", u"", false},
        {"url list without string", u"maparea (url) \"\" (rect 1 2 3 4)", false},
    };
    for (const AreaCase& c : cases) {
        const std::optional<CMapAreaRect> area = vyrd::ParseMapAreaRect(c.expression);
        ASSERT_EQ(area.has_value(), c.parses) << c.name;
        if (area) {
            EXPECT_EQ(area->url, c.url) << c.name;
            EXPECT_EQ(area->x, c.x) << c.name;
            EXPECT_EQ(area->y, c.y) << c.name;
            EXPECT_EQ(area->w, c.w) << c.name;
            EXPECT_EQ(area->h, c.h) << c.name;
        }
    }
}

TEST(LinkPlacement, TurnsAnnotationCoordinatesTopDown) {
    // rect 10 20 30 40 on a page 1000 high: x 10..40, y from the bottom
    // 20..60, so from the top 940..980.
    const CMapAreaRect area{u"#3", 10, 20, 30, 40};
    EXPECT_EQ(vyrd::PlaceMapArea(area, 1000, 2), (LinkRecord{10, 940, 40, 980, 2, 0, 0}));
    // Without a page height there is nothing to turn over.
    EXPECT_EQ(vyrd::PlaceMapArea(area, 0, -1), (LinkRecord{10, 20, 40, 60, -1, 0, 0}));
    // Sums that leave 32 bits stop at the limit.
    const CMapAreaRect huge{u"", INT32_MAX, INT32_MIN, INT32_MAX, INT32_MIN};
    const LinkRecord r = vyrd::PlaceMapArea(huge, 100, 0);
    EXPECT_EQ(r.left, INT32_MAX);
    EXPECT_EQ(r.right, INT32_MAX);
    EXPECT_EQ(r.top, INT32_MAX);     // 100 - INT32_MIN
    EXPECT_EQ(r.bottom, INT32_MAX);  // 100 - INT32_MIN
}

TEST(LinkPlacement, EdgesAreInclusiveAndTheLastAreaWins) {
    vyrd::CPageLinks links;
    links.records = {{10, 940, 40, 980, 2, 0, 0}, {30, 970, 50, 990, 5, 0, 0}};
    struct Case {
        int32_t x, y;
        int expectedPage;  // -2: no link
    };
    const Case cases[] = {
        {10, 940, 2},  {40, 980, 5}, {41, 980, 5},  {39, 969, 2},
        {51, 980, -2}, {9, 950, -2}, {20, 939, -2}, {20, 981, -2},
    };
    for (const Case& c : cases) {
        const LinkRecord* hit = links.LinkAt(c.x, c.y);
        EXPECT_EQ(hit ? hit->page : -2, c.expectedPage) << c.x << "," << c.y;
    }
}

TEST(PageUrlResolution, NumbersCountPagesFromOne) {
    struct Case {
        std::u16string url;
        int pageCount;
        int expected;
    };
    const Case cases[] = {
        {u"#1", 20, 0},
        {u"#12", 20, 11},
        {u"#20", 20, 19},
        {u"#21", 20, -1},  // past the last page
        {u"#0", 20, -1},
        {u"#", 20, -1},
        {u"#00003", 20, 2},
        {u"#99999999999999999999", 20, -1},
        {u"", 20, -1},
        {u"3", 20, -1},
        {u"http://example.com/#3", 20, -1},
        {u"other.djvu#3", 20, -1},
        // Not all digits: an identifier, and there is no directory here.
        {u"#12abc", 20, -1},
        {u"#-1", 20, -1},
        {u"# 1", 20, -1},
        {u"#1", 0, -1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(vyrd::ResolvePageUrl(c.url, nullptr, c.pageCount), c.expected)
            << std::string(c.url.begin(), c.url.end());
    }
}

}  // namespace
