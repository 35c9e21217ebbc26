#pragma once
// The parenthesised syntax of DjVu annotations, as far as hyperlinks need it:
// the top-level expressions of an annotation text, and map areas of
// rectangular shape.
//
// Annotation text is a sequence of expressions such as
//   (background #ffffff)
//   (maparea "#3" "comment" (rect 10 20 30 40) (xor))
// Strings are double-quoted with backslash escapes; a parenthesis inside a
// string is text, not structure.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vyrd {

// The text strictly inside each top-level parenthesised expression, in order:
// views into `text`, which must outlive them. An expression whose closing
// parenthesis is missing ends the scan: it and whatever follows are dropped.
// Never fails; works without recursion, however deep the nesting.
std::vector<std::u16string_view> SplitTopLevelExpressions(std::u16string_view text);

// A map area with a rectangle shape, in annotation coordinates: x and y of the
// lower-left corner (y counts from the bottom of the page), width and height.
struct CMapAreaRect {
    std::u16string url;
    int32_t x = 0;
    int32_t y = 0;
    int32_t w = 0;
    int32_t h = 0;
};

// Parses the inside of one expression as `maparea URL COMMENT (rect X Y W H)
// ...`, where URL is a string or (url "href" "target"). Anything else (other
// annotations, other shapes, a missing comment or number) gives nothing.
// Numbers read like atoi (sign, leading digits, 0 without digits) and saturate
// at the limits of 32 bits. Never fails.
std::optional<CMapAreaRect> ParseMapAreaRect(std::u16string_view expression);

}  // namespace vyrd
