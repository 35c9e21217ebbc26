// Runs the built vyrddjvu on fixtures and checks what it prints and writes.

#include "IffBuilder.h"
#include "Oracle.h"
#include "TempFile.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

using oracle::RunTool;

using namespace testiff;
using testfs::TempFile;

using oracle::Quote;
using oracle::ReadAll;

TEST(ToolInfo, PrintsCountAndOneLinePerPage) {
    TempFile doc(File({Form("DJVU", {Chunk("INFO", InfoBody(640, 480, 24, 0, 150)),
                                     Chunk("Sjbz", {1, 2, 3}), Chunk("TXTz", {4})})}));
    const oracle::Run run = RunTool("info " + Quote(doc.Path()));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.Lines(), (std::vector<std::string>{"pages 1", "1 640 480 150 INFO Sjbz TXTz"}));
}

TEST(ToolInfo, PageWithoutInfoIsUnavailable) {
    TempFile doc(File({Form("DJVU", {Chunk("Sjbz", {1, 2})})}));
    const oracle::Run run = RunTool("info " + Quote(doc.Path()));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.Lines(), (std::vector<std::string>{"pages 1", "1 unavailable"}));
}

TEST(ToolInfo, FailuresExitNonZero) {
    TempFile notDjvu(Text("GIF89a"));
    struct Case {
        const char* name;
        std::string args;
        int status;
    };
    const Case cases[] = {
        {"missing file", "info " + Quote(TempFile::UniquePath(".missing")), 1},
        {"not DjVu", "info " + Quote(notDjvu.Path()), 1},
        {"no file", "info", 2},
        {"no command", "", 2},
        {"unknown command", "frobnicate x", 2},
    };
    for (const Case& c : cases) {
        const oracle::Run run = RunTool(c.args);
        EXPECT_EQ(run.status, c.status) << c.name;
        EXPECT_TRUE(run.Lines().empty()) << c.name;
    }
}

TEST(ToolRender, BlankPageIsAnAllWhiteP4) {
    TempFile doc(SinglePage(10, 3));
    TempFile out(std::vector<uint8_t>{}, ".pbm");
    const oracle::Run run =
        RunTool("render " + Quote(doc.Path()) + " " + Quote(out.Path()) + " --page=1");
    ASSERT_EQ(run.status, 0);
    // 10 pixels per row pack into 2 bytes; 0 bits are white.
    std::vector<uint8_t> expected = Text("P4\n10 3\n");
    expected.resize(expected.size() + 2 * 3, 0);
    EXPECT_EQ(ReadAll(out.Path()), expected);
}

TEST(ToolRender, UsageAndPageErrors) {
    TempFile doc(SinglePage(4, 4));
    TempFile noInfo(File({Form("DJVU", {Chunk("Sjbz", {1})})}));
    const std::string out = Quote(TempFile::UniquePath(".pbm"));
    struct Case {
        const char* name;
        std::string args;
        int status;
    };
    const Case cases[] = {
        {"all pages without %d", "render " + Quote(doc.Path()) + " " + out + " --page=all", 2},
        {"page 0", "render " + Quote(doc.Path()) + " " + out + " --page=0", 2},
        {"page not a number", "render " + Quote(doc.Path()) + " " + out + " --page=x", 2},
        {"unknown option", "render " + Quote(doc.Path()) + " " + out + " --zoom=2", 2},
        {"page past the end", "render " + Quote(doc.Path()) + " " + out + " --page=2", 1},
        {"page without INFO", "render " + Quote(noInfo.Path()) + " " + out, 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RunTool(c.args).status, c.status) << c.name;
    }
}

TEST(ToolRender, AllPagesNamesEachFile) {
    TempFile doc(SinglePage(9, 2));
    const std::filesystem::path base = TempFile::UniquePath("");
    std::filesystem::path pattern = base;
    pattern += "_%d.pbm";
    std::filesystem::path first = base;
    first += "_1.pbm";
    const oracle::Run run =
        RunTool("render " + Quote(doc.Path()) + " " + Quote(pattern) + " --page=all");
    EXPECT_EQ(run.status, 0);
    const std::vector<uint8_t> written = ReadAll(first);
    std::filesystem::remove(first);
    std::vector<uint8_t> expected = Text("P4\n9 2\n");
    expected.resize(expected.size() + 2 * 2, 0);
    EXPECT_EQ(written, expected);
}

}  // namespace

namespace {

TEST(ToolBzz, DecompressesAStreamLikeTheEncoderWroteIt) {
    REQUIRE_TOOL("bzz");
    const std::string text = "The directory, the outline and the hidden text are BZZ streams.\n";
    std::vector<uint8_t> plain;
    for (int i = 0; i < 500; ++i) {
        plain.insert(plain.end(), text.begin(), text.end());
        plain.push_back(static_cast<uint8_t>(i));
    }
    TempFile stream(oracle::BzzEncode(plain), ".bzz");
    TempFile out(std::vector<uint8_t>{}, ".raw");
    const oracle::Run run = RunTool("bzz " + Quote(stream.Path()) + " " + Quote(out.Path()));
    EXPECT_EQ(run.status, 0);
    EXPECT_TRUE(ReadAll(out.Path()) == plain);

    // The benchmark reads the same stream and says how much it delivered.
    const oracle::Run bench = RunTool("bench --bzz " + Quote(stream.Path()) + " --repeat=2");
    EXPECT_EQ(bench.status, 0);
    ASSERT_EQ(bench.Lines().size(), 1u);
    EXPECT_EQ(bench.Lines()[0].rfind("bzz " + std::to_string(plain.size()) + " bytes in ", 0), 0u)
        << bench.Lines()[0];
}

TEST(ToolBzz, UsageErrors) {
    TempFile garbage(Text("not a stream"));
    const std::string out = Quote(TempFile::UniquePath(".raw"));
    EXPECT_EQ(RunTool("bzz " + Quote(garbage.Path())).status, 2);
    EXPECT_EQ(RunTool("bzz " + Quote(TempFile::UniquePath(".missing")) + " " + out).status, 1);
    EXPECT_EQ(RunTool("bench --bzz").status, 2);
    EXPECT_EQ(RunTool("bench --frobnicate " + Quote(garbage.Path())).status, 2);
    // Garbage is a stream that ends early, not an error.
    EXPECT_EQ(RunTool("bzz " + Quote(garbage.Path()) + " " + out).status, 0);
}

TEST(ToolInfo, BundlePagesCarryTheirComponentIds) {
    REQUIRE_TOOL("djvm");
    oracle::TempDir dir;
    TempFile a(SinglePage(30, 20));
    TempFile b(SinglePage(40, 25));
    const auto first = dir / "first.djvu";
    const auto second = dir / "second.djvu";
    std::filesystem::copy_file(a.Path(), first);
    std::filesystem::copy_file(b.Path(), second);
    const auto bundle = dir / "bundle.djvu";
    ASSERT_EQ(oracle::Capture("djvm -c " + Quote(bundle) + " " + Quote(first) + " " + Quote(second))
                  .status,
              0);
    const oracle::Run run = RunTool("info " + Quote(bundle));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.Lines(), (std::vector<std::string>{"pages 2", "1 30 20 300 INFO id=first.djvu",
                                                     "2 40 25 300 INFO id=second.djvu"}));
}

}  // namespace
