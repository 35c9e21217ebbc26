#pragma once
// Native tests only: runs DjVuLibre's command-line tools (and our own tool) as
// child processes, to make fixtures and to compare results. Tests skip when a
// tool is not installed.

#include "TempFile.h"

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

namespace oracle {

using Bytes = std::vector<uint8_t>;

struct Run {
    int status = -1;
    std::string out;

    std::vector<std::string> Lines() const {
        std::vector<std::string> lines;
        std::istringstream stream(out);
        for (std::string line; std::getline(stream, line);) {
            lines.push_back(line);
        }
        return lines;
    }
};

// Runs a shell command line (arguments already quoted); standard error is
// discarded, standard output captured.
inline Run Capture(const std::string& command) {
    Run run;
    const std::string line = command + " 2>/dev/null";
    std::FILE* pipe = ::popen(line.c_str(), "r");
    if (pipe == nullptr) {
        return run;
    }
    char buffer[4096];
    std::size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof(buffer), pipe)) > 0) {
        run.out.append(buffer, n);
    }
    const int raw = ::pclose(pipe);
    run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return run;
}

#ifdef VYRDDJVU_PATH
// Runs our own vyrddjvu with `args` (already quoted), like Capture.
inline Run RunTool(const std::string& args) {
    return Capture(std::string("'") + VYRDDJVU_PATH + "' " + args);
}
#endif

inline std::string Quote(const std::filesystem::path& p) {
    // Appended piece by piece: g++ 12 reports a false -Wrestrict for "'" + s + "'".
    std::string quoted(1, '\'');
    quoted.append(p.string());
    quoted.push_back('\'');
    return quoted;
}

inline bool HaveTool(const char* name) {
    return std::system(("command -v " + std::string(name) + " >/dev/null 2>&1").c_str()) == 0;
}

inline Bytes ReadAll(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

inline void WriteAll(const std::filesystem::path& p, const Bytes& bytes) {
    std::ofstream out(p, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// `bzz -e[blockSizeKiB]` of `plain`; empty block size means the tool's default.
inline Bytes BzzEncode(const Bytes& plain, const std::string& blockSize = "") {
    testfs::TempFile in(plain, ".raw");
    testfs::TempFile out(Bytes{}, ".bzz");
    const Run run =
        Capture("bzz -e" + blockSize + " " + Quote(in.Path()) + " " + Quote(out.Path()));
    return run.status == 0 ? ReadAll(out.Path()) : Bytes{};
}

// A folder in the temporary directory, removed with everything in it.
class TempDir {
public:
    TempDir() : path_(testfs::TempFile::UniquePath(".d")) {
        std::filesystem::create_directories(path_);
    }
    ~TempDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& Path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

}  // namespace oracle

#define REQUIRE_TOOL(name)                                        \
    do {                                                          \
        if (!oracle::HaveTool(name)) {                            \
            GTEST_SKIP() << name << " (DjVuLibre) not installed"; \
        }                                                         \
    } while (0)
