// Real documents made by other encoders. The folder is optional: every test
// skips when it is absent. Where DjVuLibre's djvudump is installed, the chunk
// tree it prints is the reference for ours.

#include "Container.h"
#include "SharedData.h"
#ifndef _WIN32
#include "Oracle.h"  // runs djvudump
#endif

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using vyrd::CDjVuContainer;
using vyrd::MakeRef;
using vyrd::RefPtr;

using shareddata::CorpusDir;

RefPtr<CDjVuContainer> OpenCorpusFile(const char* name) {
    RefPtr<CDjVuContainer> doc = MakeRef<CDjVuContainer>();
    EXPECT_EQ(doc->OpenDocument((CorpusDir() / name).u16string()), 1) << name;
    return doc;
}

std::vector<std::string> Ids(const std::vector<vyrd::CIffChunk>& chunks) {
    std::vector<std::string> ids;
    for (const vyrd::CIffChunk& c : chunks) {
        ids.push_back(vyrd::ChunkIdToString(c.Id()));
    }
    return ids;
}

TEST(Corpus, BoyJb2IsOneSmallPage) {
    REQUIRE_CORPUS();
    RefPtr<CDjVuContainer> doc = OpenCorpusFile("boy_jb2.djvu");
    ASSERT_EQ(doc->CountPages(), 1);
    RefPtr<vyrd::CDjVuPage> page = doc->GetPageObject(0);
    ASSERT_TRUE(page);
    RefPtr<vyrd::CPageInfo> info = page->GetInfo();
    ASSERT_TRUE(info);
    EXPECT_EQ(info->width, 192);
    EXPECT_EQ(info->height, 256);
    EXPECT_EQ(info->dpi, 300);
    EXPECT_EQ(Ids(page->Chunks()), (std::vector<std::string>{"INFO", "Sjbz"}));
}

TEST(Corpus, BundlesListTheirPagesInDirectoryOrder) {
    REQUIRE_CORPUS();
    struct Case {
        const char* name;
        int pages;
        const char16_t* firstPageId;
    };
    const Case cases[] = {
        {"DjVu3Spec.djvu", 71, u"p0001_1.djvu"}, {"navm_fgbz.djvu", 6, u"p0001.djvu"},
        {"links.djvu", 1, u"boy_jb2.djvu"},      {"czech_1-3.djvu", 3, u"black_1.djvu"},
        {"index08.djvu", 838, u"p6209.djvu"},
    };
    for (const Case& c : cases) {
        RefPtr<CDjVuContainer> doc = OpenCorpusFile(c.name);
        ASSERT_NE(doc->DocumentForm(), nullptr) << c.name;
        EXPECT_EQ(doc->DocumentForm()->FormType(), vyrd::kIdDJVM) << c.name;
        ASSERT_NE(doc->Directory(), nullptr) << c.name;
        EXPECT_EQ(doc->CountPages(), c.pages) << c.name;
        EXPECT_EQ(doc->Directory()->Pages().At(0)->id, c.firstPageId) << c.name;
    }
}

// An index whose pages are separate files: every page is counted, none found.
TEST(Corpus, IndirectIndexHasPagesButNoPageObjects) {
    REQUIRE_CORPUS();
    RefPtr<CDjVuContainer> doc = OpenCorpusFile("index08.djvu");
    ASSERT_EQ(doc->CountPages(), 838);
    EXPECT_FALSE(doc->Directory()->SelfContained());
    for (int i = 0; i < 838; ++i) {
        ASSERT_EQ(doc->GetPageObject(i), nullptr) << i;
    }
}

// Every page of a bundle with shared dictionaries is found, and so is every
// component its INCL chunks name.
TEST(Corpus, EveryPageAndIncludedFileOfDjVu3Spec) {
    REQUIRE_CORPUS();
    RefPtr<CDjVuContainer> doc = OpenCorpusFile("DjVu3Spec.djvu");
    ASSERT_EQ(doc->CountPages(), 71);
    const vyrd::CDjVuDirectory& dir = *doc->Directory();
    int includes = 0;
    for (int i = 0; i < 71; ++i) {
        RefPtr<vyrd::CDjVuPage> page = doc->GetPageObject(i);
        ASSERT_NE(page, nullptr) << i;
        ASSERT_NE(page->GetInfo(), nullptr) << i;
        EXPECT_EQ(doc->GetPageObject(i), page) << i;  // created once
        for (const std::u16string& id : page->GetIncludeIds()) {
            const int position = dir.Includes().Find(id);
            ASSERT_GE(position, 0) << i;
            RefPtr<vyrd::CDjVuIncludedFile> file = doc->GetIncludedFile(position);
            ASSERT_NE(file, nullptr) << i;
            EXPECT_EQ(vyrd::ChunkIdToString(file->Chunks().front().Id()), "Djbz") << i;
            ++includes;
        }
    }
    EXPECT_GE(includes, 70);
}

#ifndef _WIN32

struct DumpLine {
    int indent;
    std::string id;  // "FORM" for FORM:XXXX
    uint32_t length;
    std::string rest;
};

// One djvudump line: "<indent>ID[:TYPE] [LENGTH] <description>".
bool ParseDumpLine(const std::string& text, DumpLine& line) {
    const size_t start = text.find_first_not_of(' ');
    if (start == std::string::npos) {
        return false;
    }
    const size_t tokenEnd = text.find(' ', start);
    if (tokenEnd == std::string::npos || tokenEnd - start < 4 ||
        (tokenEnd - start > 4 && text[start + 4] != ':')) {
        return false;
    }
    const size_t open = tokenEnd + 1;
    const size_t close = text.find(']', open);
    if (open >= text.size() || text[open] != '[' || close == std::string::npos ||
        close == open + 1 || text.find_first_not_of("0123456789", open + 1) != close) {
        return false;
    }
    line.indent = int(start);
    line.id = text.substr(start, 4);
    line.length = uint32_t(std::stoul(text.substr(open + 1, close - open - 1)));
    line.rest = text.substr(close + 1);
    return true;
}

// Runs djvudump and keeps, per line, its indentation, identifier and length.
bool RunDjvudump(const fs::path& file, std::vector<DumpLine>& lines) {
    const oracle::Run run = oracle::Capture("djvudump " + oracle::Quote(file));
    for (std::string text : run.Lines()) {
        if (!text.empty() && text.back() == '\r') {
            text.pop_back();
        }
        DumpLine line;
        if (ParseDumpLine(text, line)) {
            lines.push_back(line);
        }
    }
    return run.status == 0 && !lines.empty();
}

TEST(Corpus, ChunkTreeMatchesDjvudump) {
    REQUIRE_CORPUS();
    REQUIRE_TOOL("djvudump");
    int files = 0;
    for (const fs::directory_entry& entry : fs::directory_iterator(CorpusDir())) {
        if (entry.path().extension() != ".djvu") {
            continue;
        }
        const std::string name = entry.path().filename().string();
        std::vector<DumpLine> dump;
        ASSERT_TRUE(RunDjvudump(entry.path(), dump)) << name;
        ++files;
        RefPtr<CDjVuContainer> doc = MakeRef<CDjVuContainer>();
        ASSERT_EQ(doc->OpenDocument(entry.path().u16string()), 1) << name;
        const vyrd::CIffForm* form = doc->DocumentForm();
        ASSERT_NE(form, nullptr) << name;

        // The top-level FORM, then its direct children (one indent step deeper).
        const int top = dump.front().indent;
        EXPECT_EQ(dump.front().id, "FORM") << name;
        EXPECT_EQ(form->Chunk().Data().Length(), dump.front().length) << name;
        std::vector<DumpLine> children;
        for (const DumpLine& line : dump) {
            if (line.indent == top + 2) {
                children.push_back(line);
            }
        }
        ASSERT_EQ(form->Children().size(), children.size()) << name;
        for (size_t i = 0; i < children.size(); ++i) {
            EXPECT_EQ(vyrd::ChunkIdToString(form->Children()[i].Id()), children[i].id)
                << name << " child " << i;
            EXPECT_EQ(form->Children()[i].Data().Length(), children[i].length)
                << name << " child " << i;
        }

        // Single pages: the INFO values djvudump decodes, e.g. "DjVu 192x256, v24, 300 dpi".
        if (form->FormType() == vyrd::kIdDJVU) {
            ASSERT_EQ(doc->CountPages(), 1) << name;
            RefPtr<vyrd::CPageInfo> info = doc->GetPageObject(0)->GetInfo();
            ASSERT_TRUE(info) << name;
            const std::string& text = children.at(0).rest;
            const size_t at = text.find("DjVu ");
            ASSERT_NE(at, std::string::npos) << name;
            int width = 0;
            int height = 0;
            int version = 0;
            int dpi = 0;
            ASSERT_EQ(std::sscanf(text.c_str() + at, "DjVu %dx%d, v%d, %d dpi", &width, &height,
                                  &version, &dpi),
                      4)
                << name;
            EXPECT_EQ(info->width, width) << name;
            EXPECT_EQ(info->height, height) << name;
            EXPECT_EQ(info->dpi, dpi) << name;
        }
    }
    EXPECT_GT(files, 0);
}

#endif  // _WIN32

}  // namespace
