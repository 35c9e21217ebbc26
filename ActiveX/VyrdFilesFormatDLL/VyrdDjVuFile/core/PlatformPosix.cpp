// POSIX implementation of the platform seam (Linux builds: tests, tools, fuzzing).

#include "Platform.h"

#include "Unicode.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <mutex>

namespace vyrd {

namespace {

// Paths travel as UTF-16 through the core; the file system wants UTF-8 bytes.
// A path with an embedded NUL cannot name a file.
bool ToNativePath(const std::u16string& path, std::string& out) {
    if (path.empty() || path.find(u'\0') != std::u16string::npos) {
        return false;
    }
    out = Utf16ToUtf8(path);
    return true;
}

}  // namespace

bool CMappedFile::Open(const std::u16string& path) {
    Close();
    std::string native;
    if (!ToNativePath(path, native)) {
        return false;
    }
    const int fd = ::open(native.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    struct stat st {};
    // The same refusals as on Windows: only regular files, not empty, and a
    // size that fits the 32-bit offsets of the format.
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size <= 0 ||
        static_cast<unsigned long long>(st.st_size) > kMaxMappedFileSize) {
        ::close(fd);
        return false;
    }
    const auto size = static_cast<std::size_t>(st.st_size);
    void* view = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    // The view keeps the file alive by itself; the descriptor is not needed.
    ::close(fd);
    if (view == MAP_FAILED) {
        return false;
    }
    view_ = static_cast<const uint8_t*>(view);
    size_ = static_cast<uint32_t>(size);
    return true;
}

void CMappedFile::Close() noexcept {
    if (view_ != nullptr) {
        ::munmap(const_cast<uint8_t*>(view_), size_);
    }
    view_ = nullptr;
    size_ = 0;
    file_ = 0;
    mapping_ = 0;
}

bool FileExists(const std::u16string& path) {
    std::string native;
    if (!ToNativePath(path, native)) {
        return false;
    }
    struct stat st {};
    return ::stat(native.c_str(), &st) == 0;
}

void* AllocPixelBuffer(std::size_t bytes) noexcept {
    return bytes == 0 ? nullptr : std::malloc(bytes);
}

void FreePixelBuffer(void* p) noexcept {
    std::free(p);
}

std::u16string AnsiToUtf16(std::string_view bytes) {
    return Utf8ToUtf16(bytes);
}

struct CCriticalSection::Impl {
    std::recursive_mutex mutex;
};

CCriticalSection::CCriticalSection() : impl_(std::make_unique<Impl>()) {}
CCriticalSection::~CCriticalSection() = default;
void CCriticalSection::Enter() noexcept {
    impl_->mutex.lock();
}
void CCriticalSection::Leave() noexcept {
    impl_->mutex.unlock();
}

}  // namespace vyrd
