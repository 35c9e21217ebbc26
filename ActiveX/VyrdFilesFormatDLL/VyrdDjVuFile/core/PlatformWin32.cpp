// Win32 implementation of the platform seam: the only core file that includes
// <windows.h>.

#include "Platform.h"

#include "HResultError.h"

#include <windows.h>

#include <climits>

namespace vyrd {

namespace {

// char16_t and wchar_t are the same 16-bit code units on Windows.
static_assert(sizeof(wchar_t) == sizeof(char16_t));

const wchar_t* WidePath(const std::u16string& path) {
    return reinterpret_cast<const wchar_t*>(path.c_str());
}

HANDLE AsHandle(std::uintptr_t h) {
    return reinterpret_cast<HANDLE>(h);
}
std::uintptr_t FromHandle(HANDLE h) {
    return reinterpret_cast<std::uintptr_t>(h);
}

}  // namespace

bool CMappedFile::Open(const std::u16string& path) {
    Close();
    if (path.empty() || path.find(u'\0') != std::u16string::npos) {
        return false;
    }
    HANDLE file = ::CreateFileW(WidePath(path), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD high = 0;
    const DWORD size = ::GetFileSize(file, &high);
    // Refused: empty files, a failed size query, and anything of 4 GiB or more.
    if (size == 0 || size == INVALID_FILE_SIZE || high != 0) {
        ::CloseHandle(file);
        return false;
    }
    HANDLE mapping = ::CreateFileMappingW(file, nullptr, PAGE_READONLY, 0, size, nullptr);
    if (mapping == nullptr) {
        ::CloseHandle(file);
        return false;
    }
    void* view = ::MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    if (view == nullptr) {
        ::CloseHandle(mapping);
        ::CloseHandle(file);
        return false;
    }
    file_ = FromHandle(file);
    mapping_ = FromHandle(mapping);
    view_ = static_cast<const uint8_t*>(view);
    size_ = size;
    return true;
}

void CMappedFile::Close() noexcept {
    if (view_ != nullptr) {
        ::UnmapViewOfFile(view_);
    }
    if (mapping_ != 0) {
        ::CloseHandle(AsHandle(mapping_));
    }
    if (file_ != 0) {
        ::CloseHandle(AsHandle(file_));
    }
    view_ = nullptr;
    size_ = 0;
    mapping_ = 0;
    file_ = 0;
}

bool FileExists(const std::u16string& path) {
    if (path.empty() || path.find(u'\0') != std::u16string::npos) {
        return false;
    }
    return ::GetFileAttributesW(WidePath(path)) != INVALID_FILE_ATTRIBUTES;
}

void* AllocPixelBuffer(std::size_t bytes) noexcept {
    return bytes == 0 ? nullptr : ::HeapAlloc(::GetProcessHeap(), 0, bytes);
}

void FreePixelBuffer(void* p) noexcept {
    if (p != nullptr) {
        ::HeapFree(::GetProcessHeap(), 0, p);
    }
}

std::u16string AnsiToUtf16(std::string_view bytes) {
    if (bytes.empty()) {
        return {};
    }
    if (bytes.size() > static_cast<std::size_t>(INT_MAX)) {
        throw HResultError(kE_INVALIDARG);
    }
    const int inLength = static_cast<int>(bytes.size());
    const int outLength =
        ::MultiByteToWideChar(CP_THREAD_ACP, 0, bytes.data(), inLength, nullptr, 0);
    if (outLength <= 0) {
        return {};
    }
    std::u16string out(static_cast<std::size_t>(outLength), u'\0');
    ::MultiByteToWideChar(CP_THREAD_ACP, 0, bytes.data(), inLength,
                          reinterpret_cast<wchar_t*>(out.data()), outLength);
    return out;
}

struct CCriticalSection::Impl {
    CRITICAL_SECTION section;
};

CCriticalSection::CCriticalSection() : impl_(std::make_unique<Impl>()) {
    ::InitializeCriticalSection(&impl_->section);
}
CCriticalSection::~CCriticalSection() {
    ::DeleteCriticalSection(&impl_->section);
}
void CCriticalSection::Enter() noexcept {
    ::EnterCriticalSection(&impl_->section);
}
void CCriticalSection::Leave() noexcept {
    ::LeaveCriticalSection(&impl_->section);
}

}  // namespace vyrd
