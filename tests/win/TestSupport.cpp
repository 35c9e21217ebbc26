#include "TestSupport.h"

#include "ComInit.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>

namespace testwin {

namespace {

void RemoveRunFolder();

std::wstring gCorpusDir;
std::wstring gSamplesDir;
std::wstring gReferencesDir;

std::wstring Widen(std::string_view text) {
    // Paths handed in by the build are ASCII; other bytes are taken as the
    // ANSI code page.
    if (text.empty()) {
        return {};
    }
    const int n =
        MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), out.data(), n);
    return out;
}

bool FileExists(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring FileIn(const std::wstring& dir, std::wstring_view name) {
    if (dir.empty()) {
        return {};
    }
    std::wstring path = dir;
    if (path.back() != L'\\') {
        path += L'\\';
    }
    path += name;
    return FileExists(path) ? path : std::wstring();
}

}  // namespace

std::wstring WinePath(std::string_view path) {
    std::wstring out = Widen(path);
    for (wchar_t& c : out) {
        if (c == L'/') {
            c = L'\\';
        }
    }
    if (!path.empty() && path.front() == '/') {
        out.insert(0, L"Z:");
    }
    return out;
}

const std::wstring& CorpusDir() {
    return gCorpusDir;
}
const std::wstring& SamplesDir() {
    return gSamplesDir;
}
std::wstring CorpusFile(std::wstring_view name) {
    return FileIn(gCorpusDir, name);
}
std::wstring SampleFile(std::wstring_view name) {
    return FileIn(gSamplesDir, name);
}
std::wstring ReferenceFile(std::wstring_view name) {
    return FileIn(gReferencesDir, name);
}

std::wstring ProgramDir() {
    wchar_t path[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dir(path, n);
    const size_t slash = dir.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : dir.substr(0, slash);
}

int RunAllTests(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg.starts_with("--corpus=")) {
            gCorpusDir = WinePath(arg.substr(9));
        } else if (arg.starts_with("--samples=")) {
            gSamplesDir = WinePath(arg.substr(10));
        } else if (arg.starts_with("--references=")) {
            gReferencesDir = WinePath(arg.substr(13));
        }
    }
    ComInit com;
    if (FAILED(com.Result())) {
        fprintf(stderr, "CoInitializeEx failed: 0x%08lX\n",
                static_cast<unsigned long>(com.Result()));
        return 1;
    }
    const int result = RUN_ALL_TESTS();
    RemoveRunFolder();
    return result;
}

TempFile::TempFile(const std::vector<uint8_t>& bytes, std::wstring_view suffix)
    : path_(UniquePath(suffix)) {
    HANDLE file = CreateFileW(path_.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    EXPECT_NE(file, INVALID_HANDLE_VALUE) << "cannot create the fixture file";
    if (file == INVALID_HANDLE_VALUE) {
        return;
    }
    DWORD written = 0;
    if (!bytes.empty()) {
        EXPECT_TRUE(
            WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
    }
    EXPECT_EQ(written, bytes.size());
    CloseHandle(file);
}

TempFile::~TempFile() {
    DeleteFileW(path_.c_str());
}

namespace {

// Every temporary file of a run lives in one folder of its own, removed when
// the run ends: a file that a test could not delete (still mapped by an object
// that outlived it) goes then, and never meets a later run.
const std::wstring& RunFolder() {
    static const std::wstring folder = [] {
        wchar_t temp[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH, temp);
        // Wine reuses process ids quickly: the tick count keeps runs apart.
        std::wstring dir = std::wstring(temp) + L"vyrd_win_test_" +
                           std::to_wstring(GetCurrentProcessId()) + L"_" +
                           std::to_wstring(GetTickCount64());
        CreateDirectoryW(dir.c_str(), nullptr);
        return dir;
    }();
    return folder;
}

void RemoveRunFolder() {
    const std::wstring& dir = RunFolder();
    WIN32_FIND_DATAW found = {};
    HANDLE search = FindFirstFileW((dir + L"\\*").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                DeleteFileW((dir + L"\\" + found.cFileName).c_str());
            }
        } while (FindNextFileW(search, &found));
        FindClose(search);
    }
    RemoveDirectoryW(dir.c_str());
}

}  // namespace

std::wstring TempFile::UniquePath(std::wstring_view suffix) {
    static std::atomic<unsigned> counter{0};
    return RunFolder() + L"\\file_" + std::to_wstring(counter++) + std::wstring(suffix);
}

GUID Guid(const wchar_t* text) {
    GUID guid = GUID_NULL;
    EXPECT_EQ(IIDFromString(text, &guid), S_OK) << "malformed GUID text";
    return guid;
}

ULONG RefCountOf(IUnknown* object) {
    object->AddRef();
    return object->Release();
}

ComPtr<IUnknown> Create(const GUID& clsid, const GUID& iid) {
    ComPtr<IUnknown> object;
    const HRESULT hr =
        CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid, object.PutVoid());
    EXPECT_EQ(hr, S_OK) << "CoCreateInstance";
    return object;
}

bool IsBusyProcessHeapBlock(const void* block) {
    HANDLE heap = GetProcessHeap();
    if (!HeapLock(heap)) {
        ADD_FAILURE() << "HeapLock failed";
        return false;
    }
    bool busy = false;
    PROCESS_HEAP_ENTRY entry = {};
    while (HeapWalk(heap, &entry)) {
        if ((entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) && entry.lpData == block) {
            busy = true;
            break;
        }
    }
    HeapUnlock(heap);
    return busy;
}

}  // namespace testwin
