#include "ToolPlatform.h"

#include <windows.h>
#include <psapi.h>
#include <shellapi.h>

namespace vyrddjvu {

static_assert(sizeof(wchar_t) == sizeof(char16_t));

std::vector<std::u16string> CommandLineArguments(int, char**) {
    std::vector<std::u16string> args;
    int count = 0;
    LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (wide == nullptr) {
        return args;
    }
    for (int i = 0; i < count; ++i) {
        args.emplace_back(reinterpret_cast<const char16_t*>(wide[i]));
    }
    ::LocalFree(wide);
    return args;
}

std::FILE* OpenForWriting(const std::u16string& path) {
    return ::_wfopen(reinterpret_cast<const wchar_t*>(path.c_str()), L"wb");
}

std::FILE* OpenForReading(const std::u16string& path) {
    return ::_wfopen(reinterpret_cast<const wchar_t*>(path.c_str()), L"rb");
}

uint64_t PeakMemoryBytes() {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof(counters);
    if (!::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof(counters))) {
        return 0;
    }
    return counters.PeakWorkingSetSize;
}

}  // namespace vyrddjvu
