#include "ComModule.h"

#include <atomic>

namespace {
HINSTANCE gInstance = nullptr;
std::atomic<long> gLockCount{0};
}  // namespace

namespace ComModule {

void SetInstance(HINSTANCE instance) {
    gInstance = instance;
}

HINSTANCE Instance() {
    return gInstance;
}

std::wstring FilePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        DWORD n = GetModuleFileNameW(gInstance, path.data(), static_cast<DWORD>(path.size()));
        if (n == 0) {
            return {};
        }
        if (n < path.size()) {
            path.resize(n);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

void Lock() {
    ++gLockCount;
}
void Unlock() {
    --gLockCount;
}
bool CanUnload() {
    return gLockCount.load() == 0;
}

}  // namespace ComModule
