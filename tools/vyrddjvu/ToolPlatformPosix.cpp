#include "ToolPlatform.h"

#include "Unicode.h"

#include <sys/resource.h>

namespace vyrddjvu {

std::vector<std::u16string> CommandLineArguments(int argc, char** argv) {
    std::vector<std::u16string> args;
    for (int i = 0; i < argc; ++i) {
        args.push_back(vyrd::Utf8ToUtf16(argv[i]));
    }
    return args;
}

std::FILE* OpenForWriting(const std::u16string& path) {
    return std::fopen(vyrd::Utf16ToUtf8(path).c_str(), "wb");
}

std::FILE* OpenForReading(const std::u16string& path) {
    return std::fopen(vyrd::Utf16ToUtf8(path).c_str(), "rb");
}

uint64_t PeakMemoryBytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<uint64_t>(usage.ru_maxrss) * 1024;  // reported in KiB
}

}  // namespace vyrddjvu
