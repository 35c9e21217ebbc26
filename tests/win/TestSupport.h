#pragma once
// Shared helpers of the Windows tests: where the test data lives (handed in on
// the command line), Wine paths, temporary DjVu fixtures, GUIDs from their text,
// and raw vtable calls for clients that do not use the generated headers.

#include "ComPtr.h"

#include <windows.h>
#include <oleauto.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace testwin {

// A Unix absolute path ("/work/x") as Wine shows it ("Z:\work\x"); anything
// else is returned with its slashes turned into backslashes.
std::wstring WinePath(std::string_view path);

// The folder of real-world documents and the folder of the sample document, as
// given by --corpus=DIR and --samples=DIR; empty when not given.
const std::wstring& CorpusDir();
const std::wstring& SamplesDir();
// The full path of a file in such a folder, or empty when the folder was not
// given or the file is not there (tests then skip).
std::wstring CorpusFile(std::wstring_view name);
std::wstring SampleFile(std::wstring_view name);
// A file that DjVuLibre's tools made for comparison before the run, in the
// folder given by --references=DIR; empty when it is not there.
std::wstring ReferenceFile(std::wstring_view name);

// The folder that holds the test program; the DLLs under test are built there.
std::wstring ProgramDir();

// Initialises COM (apartment-threaded) for the whole run and parses the
// arguments above, then runs every test.
int RunAllTests(int argc, char** argv);

// A file in the temporary folder, removed when the object goes.
class TempFile {
public:
    explicit TempFile(const std::vector<uint8_t>& bytes, std::wstring_view suffix = L".djvu");
    ~TempFile();
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    const std::wstring& Path() const { return path_; }

    // A fresh path in the temporary folder where no file exists.
    static std::wstring UniquePath(std::wstring_view suffix);

private:
    std::wstring path_;
};

// A GUID from its registry text "{XXXXXXXX-...}"; a malformed text fails the
// calling test and gives GUID_NULL.
GUID Guid(const wchar_t* text);

// The function at `slot` of an interface table (0 = QueryInterface).
template <class Fn>
Fn Slot(void* object, int slot) {
    using AnySlot = void(STDMETHODCALLTYPE*)();
    AnySlot const* table = *static_cast<AnySlot const* const*>(object);
    return reinterpret_cast<Fn>(table[slot]);
}

// The reference count as AddRef/Release report it (COM gives no other way).
ULONG RefCountOf(IUnknown* object);

// Creates an object of a registered class for interface iid; null on failure
// (the failure is reported as a test failure).
ComPtr<IUnknown> Create(const GUID& clsid, const GUID& iid);

// A BSTR owned by the caller's scope.
class TestBstr {
public:
    explicit TestBstr(std::wstring_view text)
        : s_(SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    ~TestBstr() { SysFreeString(s_); }
    TestBstr(const TestBstr&) = delete;
    TestBstr& operator=(const TestBstr&) = delete;
    BSTR Get() const { return s_; }

private:
    BSTR s_;
};

// Process-heap accounting: whether `block` is a busy block of the process heap
// right now (walks the heap; the block must come from HeapAlloc on it).
bool IsBusyProcessHeapBlock(const void* block);

}  // namespace testwin
