// Reading the bookmark records of an outline, from streams written here byte
// by byte (the decompressed form) and, where bzz is installed, compressed.

#include "IffBuilder.h"
#include "Outline.h"
#include "Unicode.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using namespace testiff;
using vyrd::CDjVuOutline;
using vyrd::RefPtr;

// One record: child count, title, URL (each with a 24-bit length).
Bytes Record(uint8_t children, std::string_view title, std::string_view url) {
    return Concat({Bytes{children}, U24(uint32_t(title.size())), Text(title),
                   U24(uint32_t(url.size())), Text(url)});
}

Bytes Count(uint16_t n) {
    return {uint8_t(n >> 8), uint8_t(n)};
}

struct Entry {
    int depth;
    std::string title;
    std::string url;
    bool operator==(const Entry&) const = default;
};

std::vector<Entry> Entries(const CDjVuOutline& outline) {
    std::vector<Entry> out;
    for (const vyrd::CBookmark& b : outline.Bookmarks()) {
        out.push_back({b.depth, vyrd::Utf16ToUtf8(b.title), vyrd::Utf16ToUtf8(b.url)});
        EXPECT_EQ(b.page, -1);  // not resolved by parsing
    }
    return out;
}

std::vector<Entry> Parse(const Bytes& stream) {
    return Entries(
        *CDjVuOutline::ParseDecompressed(vyrd::CByteRange(stream.data(), uint32_t(stream.size()))));
}

TEST(OutlineRecords, NestingFollowsTheChildCounts) {
    // A (A1, A2 (A2a)), B
    const Bytes stream =
        Concat({Count(5), Record(2, "A", "#1"), Record(0, "A1", "#2"), Record(1, "A2", "#p3"),
                Record(0, "A2a", ""), Record(0, "B", "http://x/")});
    const std::vector<Entry> expected = {
        {0, "A", "#1"}, {1, "A1", "#2"}, {1, "A2", "#p3"}, {2, "A2a", ""}, {0, "B", "http://x/"}};
    EXPECT_EQ(Parse(stream), expected);
}

TEST(OutlineRecords, DamagedStreamsEndWithWhatWasRead) {
    struct Case {
        const char* name;
        Bytes stream;
        std::vector<Entry> expected;
    };
    const Bytes two = Concat({Record(0, "one", "#1"), Record(0, "two", "#2")});
    const Case cases[] = {
        {"empty", {}, {}},
        {"count only", Count(3), {}},
        {"half a count", {0x00}, {}},
        {"count zero ignores records", Concat({Count(0), two}), {}},
        {"count smaller than the records", Concat({Count(1), two}), {{0, "one", "#1"}}},
        {"count larger than the records",
         Concat({Count(100), two}),
         {{0, "one", "#1"}, {0, "two", "#2"}}},
        {"children promised but missing",
         Concat({Count(3), Record(2, "A", "#1")}),
         {{0, "A", "#1"}}},
        {"a subtree is read whole past the count",
         Concat({Count(1), Record(1, "A", "#1"), Record(0, "A1", "#2"), Record(0, "B", "#3")}),
         {{0, "A", "#1"}, {1, "A1", "#2"}}},
        {"title cut short keeps its bytes",
         Concat({Count(1), Bytes{0}, U24(10), Text("Chap")}),
         {{0, "Chap", ""}}},
        {"url length cut short",
         Concat({Count(1), Bytes{0}, U24(1), Text("T"), Bytes{0, 0}}),
         {{0, "T", ""}}},
        {"huge lengths cost nothing",
         Concat({Count(2), Bytes{0}, U24(0xFFFFFF), Text("x"), Bytes{0}}),
         {{0, std::string("x\0", 2), ""}}},
        {"invalid UTF-8 becomes replacement characters",
         Concat({Count(1), Record(0, "\xC3", "#\xFF")}),
         {{0, "\xEF\xBF\xBD", "#\xEF\xBF\xBD"}}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Parse(c.stream), c.expected) << c.name;
    }
}

TEST(OutlineRecords, DeepChainNeedsNoStackAndIsCapped) {
    // 70000 records, each the only child of the one before: more than any
    // outline can declare. Recursion this deep would overflow a thread's stack.
    Bytes stream = Count(0xFFFF);
    const Bytes link = Record(1, "x", "#1");
    for (int i = 0; i < 70000; ++i) {
        Append(stream, link);
    }
    const RefPtr<CDjVuOutline> outline =
        CDjVuOutline::ParseDecompressed(vyrd::CByteRange(stream.data(), uint32_t(stream.size())));
    ASSERT_EQ(outline->Bookmarks().size(), CDjVuOutline::kMaxBookmarks);
    EXPECT_EQ(outline->Bookmarks().back().depth, int(CDjVuOutline::kMaxBookmarks) - 1);
    // Released without recursion as well (the outline is flat).
}

TEST(OutlineRecords, WideTreeReadsEveryChild) {
    // One bookmark with 255 children, each with 255 children.
    Bytes stream = Concat({Count(1 + 255 + 255 * 255), Record(255, "root", "#1")});
    for (int i = 0; i < 255; ++i) {
        Append(stream, Record(255, "c", "#2"));
        for (int j = 0; j < 255; ++j) {
            Append(stream, Record(0, "g", "#3"));
        }
    }
    const std::vector<Entry> entries = Parse(stream);
    ASSERT_EQ(entries.size(), 1u + 255 + 255 * 255);
    EXPECT_EQ(entries[1], (Entry{1, "c", "#2"}));
    EXPECT_EQ(entries[2], (Entry{2, "g", "#3"}));
    EXPECT_EQ(entries[257], (Entry{1, "c", "#2"}));
    EXPECT_EQ(entries.back(), (Entry{2, "g", "#3"}));
}

}  // namespace
