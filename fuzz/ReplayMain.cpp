// Runs a fuzz entry point over files without libFuzzer: each argument is a
// file, or a folder whose files are all run. Used to replay the seed corpus and
// every crash ever found as a regression test.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

namespace fs = std::filesystem;

bool RunFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "replay: cannot read %s\n", path.string().c_str());
        return false;
    }
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                     std::istreambuf_iterator<char>());
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    int runs = 0;
    bool ok = true;
    for (int i = 1; i < argc; ++i) {
        const fs::path arg(argv[i]);
        std::error_code ec;
        if (fs::is_directory(arg, ec)) {
            for (const fs::directory_entry& entry : fs::directory_iterator(arg)) {
                // Skip the placeholder that keeps an empty folder in the repository.
                if (entry.is_regular_file() && entry.path().filename() != ".gitkeep") {
                    ok &= RunFile(entry.path());
                    ++runs;
                }
            }
        } else {
            ok &= RunFile(arg);
            ++runs;
        }
    }
    std::printf("replay: %d inputs\n", runs);
    return ok ? 0 : 1;
}
