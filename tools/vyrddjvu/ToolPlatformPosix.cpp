#include "ToolPlatform.h"

#include "Unicode.h"

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

}  // namespace vyrddjvu
