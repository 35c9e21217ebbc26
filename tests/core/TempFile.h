#pragma once
// A file in the temporary folder that is removed when the object goes.

#include <atomic>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace testfs {

class TempFile {
public:
    explicit TempFile(const std::vector<uint8_t>& bytes,
                      const std::filesystem::path& suffix = ".djvu")
        : path_(UniquePath(suffix)) {
        std::ofstream out(path_, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    ~TempFile() {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::u16string U16() const { return path_.u16string(); }

    // A fresh name in the temporary folder; nothing is created.
    static std::filesystem::path UniquePath(const std::filesystem::path& suffix) {
        // Tests run as parallel processes: a random part keeps their names apart.
        static const unsigned processTag = std::random_device{}();
        static std::atomic<unsigned> counter{0};
        std::filesystem::path path =
            std::filesystem::temp_directory_path() /
            ("vyrd_core_test_" + std::to_string(processTag) + "_" + std::to_string(counter++));
        path += suffix;
        return path;
    }

private:
    std::filesystem::path path_;
};

}  // namespace testfs
