#pragma once
// The platform seam of the DjVu core: everything the core needs from the
// operating system. PlatformWin32.cpp implements it with Win32, PlatformPosix.cpp
// with POSIX; nothing else in the core talks to the operating system.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace vyrd {

// Largest file the reader maps: the size must fit in 32 bits and must not be
// the 0xFFFFFFFF that Win32 uses to report a failed size query.
inline constexpr uint32_t kMaxMappedFileSize = 0xFFFFFFFEu;

// A whole file mapped read-only into memory. Owns the file handle, the mapping
// handle and the view; all three are released by Close and by the destructor.
// Not copyable; movable.
class CMappedFile {
public:
    CMappedFile() noexcept = default;
    ~CMappedFile() { Close(); }
    CMappedFile(const CMappedFile&) = delete;
    CMappedFile& operator=(const CMappedFile&) = delete;
    CMappedFile(CMappedFile&& other) noexcept { Swap(other); }
    CMappedFile& operator=(CMappedFile&& other) noexcept {
        if (this != &other) {
            Close();
            Swap(other);
        }
        return *this;
    }

    // Maps the file at `path` (UTF-16). Closes whatever was open first. Fails,
    // leaving nothing open, when the file cannot be opened, is empty, has a size
    // above kMaxMappedFileSize, or cannot be mapped.
    bool Open(const std::u16string& path);
    void Close() noexcept;

    const uint8_t* Data() const noexcept { return view_; }
    uint32_t Size() const noexcept { return size_; }
    bool IsValid() const noexcept { return view_ != nullptr; }

private:
    void Swap(CMappedFile& other) noexcept {
        std::swap(file_, other.file_);
        std::swap(mapping_, other.mapping_);
        std::swap(view_, other.view_);
        std::swap(size_, other.size_);
    }

    // Native handles, 0 when not held. Win32: the file and file-mapping HANDLEs.
    // POSIX keeps neither: the descriptor is closed once the view exists.
    std::uintptr_t file_ = 0;
    std::uintptr_t mapping_ = 0;
    const uint8_t* view_ = nullptr;
    uint32_t size_ = 0;
};

// True when `path` names an existing file or folder.
bool FileExists(const std::u16string& path);

// Pixel buffers whose ownership may pass to another module: on Windows a block
// of the process heap (HeapAlloc on GetProcessHeap), which the receiver frees
// with HeapFree. Returns null when `bytes` is 0 or the allocation fails.
void* AllocPixelBuffer(std::size_t bytes) noexcept;
// Frees a block from AllocPixelBuffer; null is ignored.
void FreePixelBuffer(void* p) noexcept;

// Text from the ANSI code page of the current thread (Windows) or UTF-8
// (elsewhere; invalid sequences become U+FFFD) to UTF-16.
std::u16string AnsiToUtf16(std::string_view bytes);

// The critical section that serialises the calls of one reader object.
// Recursive on every platform (a Win32 critical section is), so a locked method
// may call another locked method of the same object.
class CCriticalSection {
public:
    CCriticalSection();
    ~CCriticalSection();
    CCriticalSection(const CCriticalSection&) = delete;
    CCriticalSection& operator=(const CCriticalSection&) = delete;

    void Enter() noexcept;
    void Leave() noexcept;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// Holds a CCriticalSection from construction to destruction.
class CCriticalSectionLock {
public:
    explicit CCriticalSectionLock(CCriticalSection& section) noexcept : section_(section) {
        section_.Enter();
    }
    ~CCriticalSectionLock() { section_.Leave(); }
    CCriticalSectionLock(const CCriticalSectionLock&) = delete;
    CCriticalSectionLock& operator=(const CCriticalSectionLock&) = delete;

private:
    CCriticalSection& section_;
};

}  // namespace vyrd
