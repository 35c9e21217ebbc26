// The text layer against DjVuLibre: pages whose layer djvused wrote from
// zone trees of every kind, and the real documents. The page text must equal
// print-pure-txt, the zones those of print-txt turned top-down (or left
// bottom-up where the page's orientation code asks for it), and each leaf's
// text range must hold that leaf's text. The same holds for what vyrddjvu's
// text and zones commands print.

#include "Container.h"
#include "IffBuilder.h"
#include "Oracle.h"
#include "SharedData.h"
#include "TextCache.h"
#include "TextOracle.h"
#include "Unicode.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace testiff;
using oracle::Quote;
using textoracle::FlatZone;
using vyrd::CDjVuContainer;
using vyrd::CPageTextLayer;
using vyrd::RefPtr;
namespace fs = std::filesystem;

std::string PurePageText(const fs::path& file, int page) {
    const oracle::Run run = oracle::Capture("djvused " + Quote(file) + " -e 'select " +
                                            std::to_string(page) + "; print-pure-txt'");
    EXPECT_EQ(run.status, 0);
    std::string text = run.out;
    // djvused ends each page's text with a form feed.
    if (!text.empty() && text.back() == '\f') {
        text.pop_back();
    }
    return text;
}

std::vector<FlatZone> OracleZones(const fs::path& file, int page, int height, bool topDown) {
    const oracle::Run run = oracle::Capture("djvused " + Quote(file) + " -e 'select " +
                                            std::to_string(page) + "; print-txt'");
    EXPECT_EQ(run.status, 0);
    const std::optional<textoracle::OracleZone> root = textoracle::PrintTxtParser(run.out).Parse();
    return root ? textoracle::Flatten(*root, height, topDown) : std::vector<FlatZone>{};
}

// Separators that djvused appends to a zone's text: the word space and the
// line, paragraph, region and column marks.
std::string TrimSeparators(std::string s) {
    while (!s.empty() && std::string_view(" \n\x0b\x1d\x1f").find(s.back()) != std::string::npos) {
        s.pop_back();
    }
    return s;
}

std::string Describe(const FlatZone& z) {
    std::ostringstream out;
    out << z.depth << ' ' << z.type << ' ' << z.left << ' ' << z.top << ' ' << z.right << ' '
        << z.bottom;
    return out.str();
}

// Page `page` (1-based) of an open document against djvused.
void ExpectPageMatchesDjVuLibre(CDjVuContainer& doc, const fs::path& file, int page) {
    SCOPED_TRACE(file.filename().string() + " page " + std::to_string(page));
    const RefPtr<vyrd::CDjVuPage> object = doc.GetPageObject(page - 1);
    ASSERT_TRUE(object);
    const RefPtr<vyrd::CPageInfo> info = object->GetInfo();
    ASSERT_TRUE(info);
    const bool topDown = (info->orientation & 1) != 0;
    const std::vector<FlatZone> expected = OracleZones(file, page, info->height, topDown);
    const RefPtr<CPageTextLayer> layer = object->GetText();
    // Without a text chunk djvused prints an empty page zone and no text.
    if (!object->Form().FindFirst(vyrd::kIdTXTz).IsValid()) {
        EXPECT_FALSE(layer);
        EXPECT_EQ(PurePageText(file, page), "");
        return;
    }
    ASSERT_TRUE(layer);
    EXPECT_EQ(vyrd::Utf16ToUtf8(layer->Text()), PurePageText(file, page));

    std::vector<FlatZone> ours;
    std::vector<std::string> leafTexts;
    layer->ForEachZone([&](const vyrd::CTextZone& zone, int depth) {
        const vyrd::TextRect r = zone.Rect();
        ours.push_back({depth, zone.type, r.left, r.top, r.right, r.bottom, {}});
        leafTexts.push_back(zone.children.empty()
                                ? vyrd::Utf16ToUtf8(layer->Substring(zone.Range()))
                                : std::string());
    });
    ASSERT_EQ(ours.size(), expected.size());
    for (std::size_t i = 0; i < ours.size(); ++i) {
        EXPECT_EQ(Describe(ours[i]), Describe(expected[i])) << "zone " << i;
        if (!leafTexts[i].empty() || !expected[i].text.empty()) {
            EXPECT_EQ(TrimSeparators(leafTexts[i]), expected[i].text) << "zone " << i;
        }
    }
}

// A one-page document of `width` x `height` with the given INFO flags byte
// and the text layer that djvused makes of `zones`.
fs::path MakeTextPage(const oracle::TempDir& dir, const std::string& name, uint16_t width,
                      uint16_t height, uint8_t flags, const std::string& zones) {
    const fs::path file = dir / (name + ".djvu");
    const fs::path text = dir / (name + ".txt");
    oracle::WriteAll(
        file,
        File({Form("DJVU", {Chunk("INFO", InfoBody(width, height, 24, 0, 300, 22, flags))})}));
    oracle::WriteAll(text, Text(zones));
    const oracle::Run run = oracle::Capture("djvused " + Quote(file) + " -e 'select 1; set-txt " +
                                            text.string() + "' -s");
    EXPECT_EQ(run.status, 0) << name;
    return file;
}

// Every zone type, nested and side by side; text outside ASCII and outside
// the Basic Multilingual Plane; empty words, one of them repeated; two
// characters sharing a box.
const char kEveryKind[] = R"((page 0 0 300 200
 (column 10 10 150 190
  (region 10 100 150 190
   (para 10 100 150 190
    (line 10 150 150 190
     (word 10 150 60 190 (char 10 150 30 190 "a") (char 30 150 60 190 "ö"))
     (word 70 150 100 190 "𝄞😀")
     (word 100 150 110 190 "")
     (word 100 150 110 190 "")
     (word 110 150 150 190 "漢字"))
    (line 10 100 150 140
     (word 10 100 80 140 "€uro")
     (word 90 100 150 140 "x"))))
  (region 10 10 150 90
   (para 10 10 150 90
    (line 10 10 150 90 (word 10 10 150 90 "tail")))))
 (column 160 10 290 190
  (region 160 10 290 190
   (para 160 10 290 190
    (line 160 10 290 190
     (word 160 10 200 190 "b")
     (word 210 10 290 190 (char 210 10 250 190 "c") (char 210 10 250 190 "d"))))))))";

TEST(TextOracle, FixturesMatchDjVuLibre) {
    REQUIRE_TOOL("djvused");
    oracle::TempDir dir;
    struct Case {
        const char* name;
        uint8_t flags;  // INFO flags: the orientation code in bits 0-2
        const char* zones;
    };
    const Case cases[] = {
        {"every_kind", 1, kEveryKind},
        // Orientation codes with bit 0 clear keep the zones bottom-up.
        {"every_kind_6", 6, kEveryKind},
        {"every_kind_2", 2, kEveryKind},
        {"every_kind_5", 5, kEveryKind},
        {"page_only", 1, R"((page 0 0 300 200 "just the page"))"},
        // djvused stores no text chunk for an empty layer.
        {"no_text", 1, R"((page 0 0 300 200 ""))"},
        {"lines_only", 1,
         R"((page 0 0 300 200 (line 5 150 290 190 "first line") (line 5 100 290 140 "second")
              (line 5 10 290 60 "third")))"},
    };
    for (const Case& c : cases) {
        const fs::path file = MakeTextPage(dir, c.name, 300, 200, c.flags, c.zones);
        RefPtr<CDjVuContainer> doc = vyrd::MakeRef<CDjVuContainer>();
        ASSERT_EQ(doc->OpenDocument(file.u16string()), 1) << c.name;
        ExpectPageMatchesDjVuLibre(*doc, file, 1);
    }
}

TEST(TextOracle, CorpusMatchesDjVuLibre) {
    REQUIRE_CORPUS();
    REQUIRE_TOOL("djvused");
    int pagesWithText = 0;
    for (const char* name : {"DjVu3Spec.djvu", "navm_fgbz.djvu", "czech_1-3.djvu", "links.djvu",
                             "boy_jb2.djvu", "happy_birthday.djvu"}) {
        const fs::path file = shareddata::CorpusDir() / name;
        RefPtr<CDjVuContainer> doc = vyrd::MakeRef<CDjVuContainer>();
        ASSERT_EQ(doc->OpenDocument(file.u16string()), 1) << name;
        for (int page = 1; page <= doc->CountPages(); ++page) {
            ExpectPageMatchesDjVuLibre(*doc, file, page);
            const RefPtr<vyrd::CDjVuPage> object = doc->GetPageObject(page - 1);
            pagesWithText += object && object->GetText() ? 1 : 0;
        }
    }
    // Every page of DjVu3Spec.djvu carries text, and czech_1-3 has some too.
    EXPECT_GT(pagesWithText, 71);
}

// vyrddjvu text prints the page text exactly; vyrddjvu zones one line per
// zone: depth, type, rectangle, start and length in UTF-16 units.
void ExpectToolMatchesDjVuLibre(const fs::path& file, int page, int height) {
    SCOPED_TRACE(file.filename().string() + " page " + std::to_string(page));
    const std::string pageOption = " --page=" + std::to_string(page);
    const oracle::Run text = oracle::RunTool("text " + Quote(file) + pageOption);
    ASSERT_EQ(text.status, 0);
    EXPECT_EQ(text.out, PurePageText(file, page));

    const oracle::Run zones = oracle::RunTool("zones " + Quote(file) + pageOption);
    ASSERT_EQ(zones.status, 0);
    const std::vector<FlatZone> expected = OracleZones(file, page, height, true);
    const std::vector<std::string> lines = zones.Lines();
    ASSERT_EQ(lines.size(), expected.size());
    const std::u16string pageText = vyrd::Utf8ToUtf16(text.out);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        FlatZone z;
        long start = -1, length = -1;
        std::istringstream in(lines[i]);
        in >> z.depth >> z.type >> z.left >> z.top >> z.right >> z.bottom >> start >> length;
        ASSERT_FALSE(in.fail()) << lines[i];
        EXPECT_EQ(Describe(z), Describe(expected[i]));
        if (!expected[i].text.empty()) {
            ASSERT_LE(start + length, long(pageText.size()));
            EXPECT_EQ(TrimSeparators(vyrd::Utf16ToUtf8(pageText.substr(start, length))),
                      expected[i].text);
        }
    }
}

TEST(TextOracle, ToolCommandsMatchDjVuLibre) {
    REQUIRE_TOOL("djvused");
    oracle::TempDir dir;
    ExpectToolMatchesDjVuLibre(MakeTextPage(dir, "every_kind", 300, 200, 1, kEveryKind), 1, 200);
    if (shareddata::HaveCorpus()) {
        ExpectToolMatchesDjVuLibre(shareddata::CorpusDir() / "DjVu3Spec.djvu", 3, 3295);
    }
}

TEST(TextOracle, ToolCommandsRefuseWhatTheyCannotDo) {
    oracle::TempDir dir;
    const fs::path file = dir / "blank.djvu";
    oracle::WriteAll(file, SinglePage(30, 20));
    struct Case {
        const char* name;
        std::string args;
        int status;
    };
    const Case cases[] = {
        {"page without text", "text " + Quote(file) + " --page=1", 0},
        {"zones of a page without text", "zones " + Quote(file) + " --page=1", 0},
        {"page past the end", "text " + Quote(file) + " --page=2", 1},
        {"zones of every page", "zones " + Quote(file) + " --page=all", 2},
        {"no file", "text --page=1", 2},
        {"missing file", "zones " + Quote(dir / "missing.djvu"), 1},
    };
    for (const Case& c : cases) {
        const oracle::Run run = oracle::RunTool(c.args);
        EXPECT_EQ(run.status, c.status) << c.name;
        EXPECT_EQ(run.out, "") << c.name;
    }
}

// Twelve pages with text, bundled by djvm: the cache decodes a page once
// however often it is asked, and again only after ten other pages pushed it out.
TEST(TextOracle, RepeatedQueriesDecodeOnce) {
    REQUIRE_TOOL("djvused");
    REQUIRE_TOOL("djvm");
    oracle::TempDir dir;
    std::string pages;
    for (int i = 0; i < 12; ++i) {
        const std::string zones =
            "(page 0 0 100 50 (word 10 10 90 40 \"page" + std::to_string(i) + "\"))";
        pages += " " + Quote(MakeTextPage(dir, "p" + std::to_string(i), 100, 50, 1, zones));
    }
    const fs::path bundle = dir / "bundle.djvu";
    ASSERT_EQ(oracle::Capture("djvm -c " + Quote(bundle) + pages).status, 0);
    RefPtr<CDjVuContainer> doc = vyrd::MakeRef<CDjVuContainer>();
    ASSERT_EQ(doc->OpenDocument(bundle.u16string()), 1);
    ASSERT_EQ(doc->CountPages(), 12);

    vyrd::CTextCache cache;
    const RefPtr<CPageTextLayer> first = cache.Get(*doc, 0);
    ASSERT_TRUE(first);
    const std::u16string pageZero = vyrd::Utf8ToUtf16(PurePageText(bundle, 1));
    EXPECT_EQ(first->Text(), pageZero);
    for (int i = 0; i < 1000; ++i) {
        const RefPtr<CPageTextLayer> again = cache.Get(*doc, 0);
        ASSERT_EQ(again, first);
        ASSERT_TRUE(again->CoveredBy({0, 0, 99, 49}));
    }
    EXPECT_EQ(cache.Decodes(), 1u);
    for (int page = 1; page <= 10; ++page) {
        ASSERT_TRUE(cache.Get(*doc, page));
    }
    EXPECT_EQ(cache.Decodes(), 11u);
    // Page 0 was pushed out by the eleventh distinct page; page 5 is still there.
    EXPECT_TRUE(cache.Get(*doc, 5));
    EXPECT_EQ(cache.Decodes(), 11u);
    EXPECT_EQ(cache.Get(*doc, 0)->Text(), pageZero);
    EXPECT_EQ(cache.Decodes(), 12u);
    // Pages that cannot be had are neither decoded nor remembered.
    EXPECT_FALSE(cache.Get(*doc, 12));
    EXPECT_FALSE(cache.Get(*doc, -1));
    EXPECT_EQ(cache.Decodes(), 12u);
    EXPECT_EQ(cache.Size(), vyrd::CTextCache::kCapacity);
}

}  // namespace
