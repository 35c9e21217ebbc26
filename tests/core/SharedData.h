#pragma once
// Where the optional shared test data lives (real-world documents, the ZP
// table as published). A fresh clone has none: tests that need it skip.

#include <filesystem>
#include <string>
#include <system_error>

namespace shareddata {

inline std::filesystem::path SharedDir() {
#ifdef VYRD_SHARED_DATA_DIR
    std::string dir = VYRD_SHARED_DATA_DIR;
#ifdef _WIN32
    // Under Wine the host's root folder is drive Z:.
    if (!dir.empty() && dir[0] == '/') {
        dir = "Z:" + dir;
    }
#endif
    return std::filesystem::path(dir);
#else
    return {};
#endif
}

inline std::filesystem::path CorpusDir() {
    return SharedDir() / "corpus";
}

// The path of a shared file, or empty when it is not there.
inline std::filesystem::path SharedFile(const std::filesystem::path& relative) {
    std::error_code ec;
    const std::filesystem::path p = SharedDir() / relative;
    return !SharedDir().empty() && std::filesystem::is_regular_file(p, ec)
               ? p
               : std::filesystem::path();
}

inline bool HaveCorpus() {
    std::error_code ec;
    return !SharedDir().empty() && std::filesystem::is_directory(CorpusDir(), ec);
}

}  // namespace shareddata

#define REQUIRE_CORPUS()                                                              \
    do {                                                                              \
        if (!shareddata::HaveCorpus()) {                                              \
            GTEST_SKIP() << "corpus folder not present: " << shareddata::CorpusDir(); \
        }                                                                             \
    } while (0)
