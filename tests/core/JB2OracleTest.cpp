// Page masks against DjVuLibre's decoder: every page must equal, bit for
// bit, what `ddjvu -mode=mask -subsample=1` writes. The documents are the
// shared real-world ones, and fixtures made here from text that ImageMagick
// draws, encoded by cjb2 (single pages) and minidjvu (shared dictionaries,
// refinements, lossy matching).

#include "Container.h"
#include "Render.h"

#include "Oracle.h"
#include "SharedData.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using oracle::Bytes;
using oracle::Quote;
using vyrd::CDjVuContainer;
using vyrd::MakeRef;
using vyrd::RefPtr;

#define REQUIRE_FIXTURE_TOOLS()   \
    do {                          \
        REQUIRE_TOOL("ddjvu");    \
        REQUIRE_TOOL("convert");  \
        REQUIRE_TOOL("cjb2");     \
        REQUIRE_TOOL("minidjvu"); \
        REQUIRE_TOOL("djvm");     \
    } while (0)

// The page's mask as a binary PBM (rows top-down, 1 = ink), the way ddjvu
// writes it; a page without a mask is blank paper.
Bytes MaskPbm(vyrd::CDjVuPage& page) {
    const RefPtr<vyrd::CPageInfo> info = page.GetInfo();
    if (!info) {
        return {};
    }
    RefPtr<vyrd::CRasterImage> mask = vyrd::RenderMask(page);
    const int w = info->width;
    const int h = info->height;
    const std::string header = "P4\n" + std::to_string(w) + " " + std::to_string(h) + "\n";
    Bytes pbm(header.begin(), header.end());
    const std::size_t rowBytes = std::size_t(w + 7) / 8;
    for (int y = h - 1; y >= 0; --y) {
        std::vector<uint8_t> row(rowBytes, 0);
        if (mask) {
            const uint8_t* pixels = mask->Row(y);
            for (int x = 0; x < w; ++x) {
                if (pixels[x]) {
                    row[std::size_t(x) / 8] |= uint8_t(0x80 >> (x % 8));
                }
            }
        }
        pbm.insert(pbm.end(), row.begin(), row.end());
    }
    return pbm;
}

// Where two PBMs of the same header first differ, as a row number.
std::string FirstDifference(const Bytes& ours, const Bytes& theirs) {
    if (ours.size() != theirs.size()) {
        return "sizes " + std::to_string(ours.size()) + " and " + std::to_string(theirs.size());
    }
    std::size_t header = 0;
    for (int newlines = 0; header < ours.size() && newlines < 2; ++header) {
        newlines += ours[header] == '\n';
    }
    const std::string text(ours.begin(), ours.begin() + std::ptrdiff_t(header));
    const int width = std::stoi(text.substr(3));
    const std::size_t rowBytes = std::size_t(width + 7) / 8;
    for (std::size_t i = header; i < ours.size(); ++i) {
        if (ours[i] != theirs[i]) {
            return "row " + std::to_string((i - header) / rowBytes) + " from the top, byte " +
                   std::to_string((i - header) % rowBytes);
        }
    }
    return "header";
}

// Every page's mask as ddjvu writes it, by 1-based page number.
std::map<int, Bytes> DdjvuMasks(const fs::path& document) {
    oracle::TempDir dir;
    const std::string command = "ddjvu -mode=mask -format=pbm -subsample=1 -eachpage " +
                                Quote(document) + " " + Quote(dir / "m_%d.pbm");
    // ddjvu reads included files on threads of its own; on a page that names
    // two dictionaries it now and then takes the second one first and refuses
    // the page. A few tries get its usual answer.
    oracle::Run run = oracle::Capture(command);
    for (int attempt = 1; attempt < 8 && run.status != 0; ++attempt) {
        run = oracle::Capture(command);
    }
    EXPECT_EQ(run.status, 0) << document;
    std::map<int, Bytes> masks;
    for (const fs::directory_entry& e : fs::directory_iterator(dir.Path())) {
        const std::string name = e.path().stem().string();  // m_N
        masks[std::stoi(name.substr(2))] = oracle::ReadAll(e.path());
    }
    return masks;
}

// Renders the pages in `order` (0-based; every page in turn when empty) and
// compares each with ddjvu. Returns the open document for further checks.
RefPtr<CDjVuContainer> ExpectMasksMatch(const fs::path& document, std::vector<int> order = {}) {
    const std::map<int, Bytes> expected = DdjvuMasks(document);
    RefPtr<CDjVuContainer> doc = MakeRef<CDjVuContainer>();
    EXPECT_EQ(doc->OpenDocument(document.u16string()), 1) << document;
    EXPECT_EQ(doc->CountPages(), int(expected.size())) << document;
    if (order.empty()) {
        for (int i = 0; i < doc->CountPages(); ++i) {
            order.push_back(i);
        }
    }
    for (int index : order) {
        const RefPtr<vyrd::CDjVuPage> page = doc->GetPageObject(index);
        if (!page) {
            ADD_FAILURE() << document << " page " << index + 1 << " unavailable";
            continue;
        }
        const auto it = expected.find(index + 1);
        if (it == expected.end()) {
            ADD_FAILURE() << document << " page " << index + 1 << ": ddjvu wrote nothing";
            continue;
        }
        const Bytes ours = MaskPbm(*page);
        if (ours != it->second) {
            ADD_FAILURE() << document << " page " << index + 1
                          << " differs: " << FirstDifference(ours, it->second);
        }
    }
    return doc;
}

TEST(JB2Oracle, CorpusMasks) {
    REQUIRE_CORPUS();
    REQUIRE_TOOL("ddjvu");
    for (const char* name : {"DjVu3Spec.djvu", "navm_fgbz.djvu", "czech_1-3.djvu", "boy_jb2.djvu",
                             "happy_birthday.djvu"}) {
        SCOPED_TRACE(name);
        ExpectMasksMatch(shareddata::CorpusDir() / name);
    }
}

// ImageMagick's drawing, made black and white. `draw` holds -draw arguments,
// already quoted.
void Draw(const fs::path& out, int width, int height, int pointSize, const std::string& draw) {
    const oracle::Run run =
        oracle::Capture("convert -size " + std::to_string(width) + "x" + std::to_string(height) +
                        " xc:white -font DejaVu-Sans -pointsize " + std::to_string(pointSize) +
                        " " + draw + " -monochrome " + Quote(out));
    ASSERT_EQ(run.status, 0) << out;
}

std::string Text(int x, int y, const std::string& text) {
    return "-draw \"text " + std::to_string(x) + "," + std::to_string(y) + " '" + text + "'\"";
}

// Ink in the four corners and along the four borders, and text cut by them.
std::string Edges(int w, int h) {
    const std::string r = std::to_string(w - 1);
    const std::string b = std::to_string(h - 1);
    return "-draw \"point 0,0\" -draw \"point " + r + ",0\" -draw \"point 0," + b +
           "\" -draw \"point " + r + "," + b + "\" -draw \"line 3,0 " + std::to_string(w / 3) +
           ",0\" -draw \"line " + r + ",3 " + r + "," + std::to_string(h / 3) +
           "\" -draw \"line 0," + std::to_string(h / 2) + " 0," + b + "\" -draw \"line " +
           std::to_string(w / 2) + "," + b + " " + std::to_string(w - 4) + "," + b + "\" " +
           Text(-6, h / 2, "Edge text") + " " + Text(w - 30, 12, "Wg") + " " +
           Text(w / 3, h + 5, "Bottom gy");
}

TEST(JB2Oracle, Cjb2Pages) {
    REQUIRE_FIXTURE_TOOLS();
    struct Case {
        const char* name;
        int w, h, pointSize;
        std::string draw;
    };
    const Case cases[] = {
        {"small print", 220, 40, 8, Text(2, 12, "The quick brown fox, 0123456789")},
        {"text", 400, 90, 20,
         Text(5, 30, "Sphinx of black quartz, judge my vow.") + " " +
             Text(5, 70, "Pack my box with five dozen jugs!")},
        {"large letters", 900, 260, 130, Text(10, 180, "JB2 mask")},
        {"huge glyph", 300, 400, 360, Text(0, 330, "@")},
        {"one column", 1, 40, 20, Text(-5, 30, "Il")},
        {"two columns", 2, 40, 20, Text(-5, 30, "Il")},
        {"three columns", 3, 40, 20, Text(-5, 30, "Il")},
        {"one row", 60, 1, 20, Text(0, 10, "ww")},
        {"one pixel", 1, 1, 20, "-draw \"point 0,0\""},
        {"blank", 50, 20, 20, ""},
        {"edges", 240, 90, 22, Edges(240, 90)},
        {"odd edges", 137, 51, 15, Edges(137, 51)},
    };
    oracle::TempDir dir;
    for (const Case& c : cases) {
        for (const bool lossy : {false, true}) {
            SCOPED_TRACE(std::string(c.name) + (lossy ? ", lossy" : ", lossless"));
            const fs::path pbm = dir / "page.pbm";
            const fs::path djvu = dir / "page.djvu";
            Draw(pbm, c.w, c.h, c.pointSize, c.draw);
            ASSERT_EQ(oracle::Capture(std::string("cjb2 ") + (lossy ? "-lossy " : "") + Quote(pbm) +
                                      " " + Quote(djvu))
                          .status,
                      0);
            ExpectMasksMatch(djvu);
        }
    }
}

// Pages of text that share most of their letters, so that dictionaries and
// refinements have something to share.
std::vector<fs::path> TextPages(const oracle::TempDir& dir, int count, bool edges = false) {
    const char* lines[] = {
        "Lorem ipsum dolor sit amet, consectetur", "adipiscing elit, sed do eiusmod tempor",
        "incididunt ut labore et dolore magna", "aliqua. Ut enim ad minim veniam, quis",
        "nostrud exercitation ullamco laboris"};
    std::vector<fs::path> pages;
    for (int i = 0; i < count; ++i) {
        std::string name = "text";  // piece by piece: g++ 12 warns falsely of "a" + b
        name.append(std::to_string(100 + i)).append(".pbm");
        const fs::path p = dir / name;
        std::string line = "Page ";
        line.append(std::to_string(i + 1)).append(": ").append(lines[i % 5]);
        std::string draw = Text(8, 30, line) + " " + Text(8, 60, lines[(i + 2) % 5]) + " " +
                           Text(8, 90, lines[(i + 4) % 5]);
        if (edges) {
            draw.append(" ").append(Edges(460, 110));
        }
        // Each pair of pages its own letter size: no two dictionaries alike.
        Draw(p, 460, 110, 16 + (i / 2) % 7, draw);
        pages.push_back(p);
    }
    return pages;
}

std::string Joined(const std::vector<fs::path>& paths) {
    std::string s;
    for (const fs::path& p : paths) {
        s.push_back(' ');
        s.append(Quote(p));
    }
    return s;
}

TEST(JB2Oracle, MinidjvuBundles) {
    REQUIRE_FIXTURE_TOOLS();
    oracle::TempDir dir;
    const std::vector<fs::path> pages = TextPages(dir, 6);
    const std::vector<fs::path> edgePages = TextPages(dir, 3, true);
    struct Case {
        const char* name;
        std::string options;
        const std::vector<fs::path>* pages;
    };
    const Case cases[] = {
        {"a dictionary per 2 pages", "-p 2", &pages},
        {"a dictionary per 3 pages, lossy", "-p 3 -l", &pages},
        {"one dictionary for all", "-p 10", &pages},
        {"a dictionary per page, matching and averaging", "-p 1 -m -A", &pages},
        {"no prototypes", "-p 2 -n", &pages},
        {"ink on every edge", "-p 3", &edgePages},
        {"ink on every edge, lossy", "-p 2 -l", &edgePages},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path out = dir / "bundle.djvu";
        ASSERT_EQ(
            oracle::Capture("minidjvu " + c.options + Joined(*c.pages) + " " + Quote(out)).status,
            0);
        ExpectMasksMatch(out);
    }
}

// Seven dictionaries used in turn: rendering the odd pages first leaves the
// first dictionaries evicted by the time the even pages need them again.
TEST(JB2Oracle, EvictedDictionariesDecodeTheSame) {
    REQUIRE_FIXTURE_TOOLS();
    oracle::TempDir dir;
    const std::vector<fs::path> pages = TextPages(dir, 14);
    fs::create_directories(dir / "indirect");
    ASSERT_EQ(oracle::Capture("cd " + Quote(dir / "indirect") + " && minidjvu -i -p 2" +
                              Joined(pages) + " index.djvu")
                  .status,
              0);
    const fs::path bundle = dir / "bundle.djvu";
    ASSERT_EQ(
        oracle::Capture("djvm -c " + Quote(bundle) + " " + Quote(dir / "indirect" / "index.djvu"))
            .status,
        0);
    std::vector<int> order;
    for (int i = 0; i < 14; i += 2) {
        order.push_back(i);
    }
    for (int i = 1; i < 14; i += 2) {
        order.push_back(i);
    }
    const RefPtr<CDjVuContainer> doc = ExpectMasksMatch(bundle, order);
    // The fixture as intended: pages 2k and 2k + 1 include dictionary k, and
    // no two dictionaries are the same file.
    std::set<std::u16string> ids;
    for (int i = 0; i < 14; ++i) {
        const RefPtr<vyrd::CDjVuPage> page = doc->GetPageObject(i);
        const RefPtr<vyrd::CDjVuPage> other = doc->GetPageObject(i ^ 1);
        ASSERT_TRUE(page && other) << i;
        ASSERT_EQ(page->GetIncludeIds().size(), 1u) << i;
        ASSERT_EQ(page->GetIncludeIds(), other->GetIncludeIds()) << i;
        ids.insert(page->GetIncludeIds()[0]);
    }
    ASSERT_EQ(ids.size(), 7u);
    // Used in turn, each dictionary was evicted before its second page came:
    // the two pages sharing it hold equal shapes, decoded twice.
    for (int i = 0; i < 14; i += 2) {
        const RefPtr<vyrd::CJB2Dictionary> first = doc->GetPageObject(i)->GetShapeDictionary();
        const RefPtr<vyrd::CJB2Dictionary> second = doc->GetPageObject(i + 1)->GetShapeDictionary();
        ASSERT_GT(first->TotalCount(), 0) << i;
        EXPECT_NE(first->GetShape(0), second->GetShape(0)) << i;
    }
}

// A single-page file with `chunk` inserted after the chunk at `position`.
// Component files of indirect documents start without the "AT&T" magic.
Bytes InsertChunk(const Bytes& file, std::size_t position, const Bytes& chunk) {
    const std::size_t form =
        file.size() >= 4 && std::equal(file.begin(), file.begin() + 4, std::string("AT&T").begin())
            ? 4
            : 0;
    // The FORM header, "DJVU", then the chunks with their pad bytes.
    std::size_t at = form + 12;
    for (std::size_t i = 0; i <= position; ++i) {
        EXPECT_LE(at + 8, file.size());
        const uint32_t length = uint32_t(file[at + 4]) << 24 | uint32_t(file[at + 5]) << 16 |
                                uint32_t(file[at + 6]) << 8 | file[at + 7];
        at += 8 + length + (length & 1);
    }
    Bytes out(file.begin(), file.begin() + std::ptrdiff_t(at));
    out.insert(out.end(), chunk.begin(), chunk.end());
    out.insert(out.end(), file.begin() + std::ptrdiff_t(at), file.end());
    const uint32_t formLength = uint32_t(out.size() - form - 8);
    for (std::size_t k = 0; k < 4; ++k) {
        out[form + 4 + k] = uint8_t(formLength >> (24 - 8 * k));
    }
    return out;
}

// A page naming a second dictionary after its own is shown with its own
// alone, as ddjvu shows it.
TEST(JB2Oracle, PageIncludingTwoDictionaries) {
    REQUIRE_FIXTURE_TOOLS();
    oracle::TempDir dir;
    const std::vector<fs::path> pages = TextPages(dir, 4);
    const fs::path indirect = dir / "indirect";
    fs::create_directories(indirect);
    ASSERT_EQ(oracle::Capture("cd " + Quote(indirect) + " && minidjvu -i -p 2" + Joined(pages) +
                              " index.djvu")
                  .status,
              0);
    // The first page: INFO, INCL of the first dictionary, Sjbz.
    const fs::path firstPage = indirect / "text100.djvu";
    const Bytes original = oracle::ReadAll(firstPage);
    ASSERT_GT(original.size(), 12u);
    const std::string secondId = "text102.iff";
    ASSERT_TRUE(fs::exists(indirect / secondId));
    Bytes incl = {'I', 'N', 'C', 'L', 0, 0, 0, uint8_t(secondId.size())};
    incl.insert(incl.end(), secondId.begin(), secondId.end());
    if (secondId.size() % 2 != 0) {
        incl.push_back(0);
    }
    oracle::WriteAll(firstPage, InsertChunk(original, 1, incl));
    const fs::path bundle = dir / "bundle.djvu";
    ASSERT_EQ(
        oracle::Capture("djvm -c " + Quote(bundle) + " " + Quote(indirect / "index.djvu")).status,
        0);
    const RefPtr<CDjVuContainer> doc = ExpectMasksMatch(bundle);
    const RefPtr<vyrd::CDjVuPage> page = doc->GetPageObject(0);
    ASSERT_TRUE(page);
    EXPECT_EQ(page->GetIncludeIds(), (std::vector<std::u16string>{u"text100.iff", u"text102.iff"}));
}

// The tool writes the same files as ddjvu.
TEST(JB2Oracle, ToolWritesTheMasks) {
    REQUIRE_FIXTURE_TOOLS();
    oracle::TempDir dir;
    const std::vector<fs::path> pages = TextPages(dir, 3);
    const fs::path bundle = dir / "bundle.djvu";
    ASSERT_EQ(oracle::Capture("minidjvu -p 2" + Joined(pages) + " " + Quote(bundle)).status, 0);
    const oracle::Run run = oracle::RunTool(
        "render " + Quote(bundle) + " " + Quote(dir / "ours_%d.pbm") + " --page=all --layer=mask");
    ASSERT_EQ(run.status, 0);
    const std::map<int, Bytes> expected = DdjvuMasks(bundle);
    ASSERT_EQ(expected.size(), 3u);
    for (const auto& [number, pbm] : expected) {
        EXPECT_EQ(oracle::ReadAll(dir / ("ours_" + std::to_string(number) + ".pbm")), pbm)
            << number;
    }
}

}  // namespace
