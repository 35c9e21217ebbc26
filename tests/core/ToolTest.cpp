// Runs the built vyrddjvu on fixtures and checks what it prints and writes.

#include "IffBuilder.h"
#include "TempFile.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace testiff;
using testfs::TempFile;

struct ToolRun {
    int status;
    std::vector<std::string> lines;
};

// Runs vyrddjvu with `args` (already shell-quoted), standard error discarded.
ToolRun RunTool(const std::string& args) {
    const std::string command = std::string("'") + VYRDDJVU_PATH + "' " + args + " 2>/dev/null";
    ToolRun run{-1, {}};
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return run;
    }
    std::string out;
    char buffer[512];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof(buffer), pipe)) > 0) {
        out.append(buffer, n);
    }
    const int raw = ::pclose(pipe);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    std::istringstream stream(out);
    for (std::string line; std::getline(stream, line);) {
        run.lines.push_back(line);
    }
    return run;
}

std::string Quote(const std::filesystem::path& p) {
    // Appended piece by piece: g++ 12 reports a false -Wrestrict for "'" + s + "'".
    std::string quoted(1, '\'');
    quoted.append(p.string());
    quoted.push_back('\'');
    return quoted;
}

std::vector<uint8_t> ReadAll(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

TEST(ToolInfo, PrintsCountAndOneLinePerPage) {
    TempFile doc(File({Form("DJVU", {Chunk("INFO", InfoBody(640, 480, 24, 0, 150)),
                                     Chunk("Sjbz", {1, 2, 3}), Chunk("TXTz", {4})})}));
    const ToolRun run = RunTool("info " + Quote(doc.Path()));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.lines, (std::vector<std::string>{"pages 1", "1 640 480 150 INFO Sjbz TXTz"}));
}

TEST(ToolInfo, PageWithoutInfoIsUnavailable) {
    TempFile doc(File({Form("DJVU", {Chunk("Sjbz", {1, 2})})}));
    const ToolRun run = RunTool("info " + Quote(doc.Path()));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.lines, (std::vector<std::string>{"pages 1", "1 unavailable"}));
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
        const ToolRun run = RunTool(c.args);
        EXPECT_EQ(run.status, c.status) << c.name;
        EXPECT_TRUE(run.lines.empty()) << c.name;
    }
}

TEST(ToolRender, BlankPageIsAnAllWhiteP4) {
    TempFile doc(SinglePage(10, 3));
    TempFile out(std::vector<uint8_t>{}, ".pbm");
    const ToolRun run =
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
    const ToolRun run =
        RunTool("render " + Quote(doc.Path()) + " " + Quote(pattern) + " --page=all");
    EXPECT_EQ(run.status, 0);
    const std::vector<uint8_t> written = ReadAll(first);
    std::filesystem::remove(first);
    std::vector<uint8_t> expected = Text("P4\n9 2\n");
    expected.resize(expected.size() + 2 * 2, 0);
    EXPECT_EQ(written, expected);
}

}  // namespace
