// Whole pages through the reader: GetPage of every page of a document against
// what vyrddjvu.exe writes for the same page (P6 for a colour page, P4 for a
// bilevel one).
//
// The reference renders come from the vyrddjvu.exe of this build, started for
// each page with CreateProcess. It lies beside this program in every Windows
// build, is built from the same sources in the same run, and needs nothing of
// the build machine while the tests run. A native vyrddjvu run by the fixture
// script would exist only when a native build happens to be there, could be
// older than the reader under test, and would have to write every page of
// every document before the first test starts (some 900 MB for DjVu3Spec).
// Both sides compose with the same core, so what this compares is the
// reader's own part: page lookup, the pixel type and row size chosen for the
// raster's format, rows bottom-up, the buffer handed over whole and unchanged.

#include "RawClient.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdio>
#include <ostream>
#include <string>
#include <vector>

namespace {

using namespace testwin;

constexpr LONG kBgrPixelType = 1;
constexpr LONG kBilevelPixelType = 3;
constexpr LONG kBottomUpFlag = 2;
// One page of the largest documents here takes a second or two under Wine.
constexpr DWORD kRenderTimeoutMs = 120000;

// A binary PNM as vyrddjvu writes it: P6 (RGB) or P4 (8 pixels per byte,
// 1 = black), rows top-down.
struct Pnm {
    bool colour = false;
    int width = 0;
    int height = 0;
    std::vector<unsigned char> data;

    size_t RowBytes() const {
        return colour ? static_cast<size_t>(width) * 3 : static_cast<size_t>(width + 7) / 8;
    }
};

bool ReadPnm(const std::wstring& path, Pnm& pnm) {
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (file == nullptr) {
        return false;
    }
    char magic[3] = {};
    int maxValue = 255;
    bool header = std::fscanf(file, "%2s %d %d", magic, &pnm.width, &pnm.height) == 3;
    pnm.colour = std::string(magic) == "P6";
    header = header && (pnm.colour || std::string(magic) == "P4");
    if (header && pnm.colour) {
        header = std::fscanf(file, "%d", &maxValue) == 1 && maxValue == 255;
    }
    // Exactly one white-space byte ends the header.
    header = header && pnm.width > 0 && pnm.height > 0 && std::fgetc(file) != EOF;
    const size_t size = header ? pnm.RowBytes() * static_cast<size_t>(pnm.height) : 0;
    pnm.data.resize(size);
    const bool body =
        header && std::fread(pnm.data.data(), 1, size, file) == size && std::fgetc(file) == EOF;
    std::fclose(file);
    return body;
}

// Runs `vyrddjvu.exe render DOCUMENT OUT --page=N`; true when it exits with 0.
bool RenderWithTool(const std::wstring& document, LONG pageNumber, const std::wstring& out) {
    const std::wstring tool = ProgramDir() + L"\\vyrddjvu.exe";
    std::wstring command = L"\"" + tool + L"\" render \"" + document + L"\" \"" + out +
                           L"\" --page=" + std::to_wstring(pageNumber);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(tool.c_str(), command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                        nullptr, nullptr, &startup, &process)) {
        ADD_FAILURE() << "cannot start vyrddjvu.exe, error " << GetLastError();
        return false;
    }
    CloseHandle(process.hThread);
    DWORD exitCode = 1;
    if (WaitForSingleObject(process.hProcess, kRenderTimeoutMs) != WAIT_OBJECT_0) {
        ADD_FAILURE() << "vyrddjvu.exe did not finish";
        TerminateProcess(process.hProcess, 1);
        WaitForSingleObject(process.hProcess, INFINITE);
    } else {
        GetExitCodeProcess(process.hProcess, &exitCode);
    }
    CloseHandle(process.hProcess);
    return exitCode == 0;
}

// The number of pixels of the bottom-up page buffer that differ from `pnm`;
// the first difference is reported.
size_t CountDifferences(const BYTE* pixels, const Pnm& pnm) {
    const size_t width = static_cast<size_t>(pnm.width);
    const size_t pageRowBytes = pnm.colour ? width * 3 : width;
    size_t differences = 0;
    for (int y = 0; y < pnm.height; ++y) {
        const BYTE* row = pixels + static_cast<size_t>(pnm.height - 1 - y) * pageRowBytes;
        const unsigned char* reference = pnm.data.data() + static_cast<size_t>(y) * pnm.RowBytes();
        for (size_t x = 0; x < width; ++x) {
            bool same = false;
            if (pnm.colour) {
                // The page is blue, green, red; the file red, green, blue.
                same = row[3 * x] == reference[3 * x + 2] &&
                       row[3 * x + 1] == reference[3 * x + 1] && row[3 * x + 2] == reference[3 * x];
            } else {
                same = (row[x] != 0) == (((reference[x / 8] >> (7 - x % 8)) & 1) != 0);
            }
            if (!same && differences++ == 0) {
                ADD_FAILURE() << "first difference at x " << x << ", y " << y << " from the top";
            }
        }
    }
    return differences;
}

enum class Kinds { kColour, kBilevel, kBoth };

struct Document {
    const wchar_t* name;
    bool generated;  // written by make-references.sh, else a corpus document
    LONG pages;
    Kinds kinds;  // what the chunks of its pages call for (djvudump)
};

void PrintTo(const Document& doc, std::ostream* os) {
    *os << (doc.generated ? "generated " : "corpus ");
    for (const wchar_t* c = doc.name; *c != L'\0'; ++c) {
        *os << static_cast<char>(*c);
    }
}

class ReaderRender : public testing::TestWithParam<Document> {};

TEST_P(ReaderRender, EveryPageEqualsVyrddjvuRender) {
    const Document& doc = GetParam();
    const std::wstring path = doc.generated ? ReferenceFile(doc.name) : CorpusFile(doc.name);
    if (path.empty()) {
        GTEST_SKIP() << "document not available";
    }
    RawVyrdFile file = RawVyrdFile::Create();
    ASSERT_TRUE(file.Get());
    ASSERT_EQ(file.OpenFile(path), S_OK);
    ASSERT_EQ(file.PageCount(), doc.pages);
    int colourPages = 0;
    int bilevelPages = 0;
    for (LONG index = 0; index < doc.pages; ++index) {
        SCOPED_TRACE("page " + std::to_string(index + 1));
        const std::wstring out = TempFile::UniquePath(L".pnm");
        Pnm reference;
        const bool rendered = RenderWithTool(path, index + 1, out);
        const bool read = rendered && ReadPnm(out, reference);
        DeleteFileW(out.c_str());
        ASSERT_TRUE(rendered) << "vyrddjvu.exe failed";
        ASSERT_TRUE(read) << "unreadable PNM";

        IUnknown* rawImage = nullptr;
        ASSERT_EQ(file.GetPage(index, 1.0, &rawImage), S_OK);
        ASSERT_NE(rawImage, nullptr);
        ComPtr<IUnknown> image = ComPtr<IUnknown>::Adopt(rawImage);
        RawPageImage page(image.Get());
        ASSERT_TRUE(page.Get());
        ASSERT_EQ(page.GetLong(kGetPixelType),
                  reference.colour ? kBgrPixelType : kBilevelPixelType);
        ASSERT_EQ(page.GetLong(kGetWidth), reference.width);
        ASSERT_EQ(page.GetLong(kGetHeight), reference.height);
        const LONG rowBytes = reference.colour ? reference.width * 3 : reference.width;
        ASSERT_EQ(page.GetLong(kGetBytesPerRow), rowBytes);
        ASSERT_EQ(page.GetLong(kGetByteCount), rowBytes * reference.height);
        EXPECT_EQ(page.GetLong(kGetFlags), kBottomUpFlag);
        const BYTE* pixels = page.Pixels();
        ASSERT_NE(pixels, nullptr);
        EXPECT_EQ(CountDifferences(pixels, reference), 0u);
        ++(reference.colour ? colourPages : bilevelPages);
    }
    EXPECT_EQ(colourPages > 0, doc.kinds != Kinds::kBilevel);
    EXPECT_EQ(bilevelPages > 0, doc.kinds != Kinds::kColour);
}

const Document kDocuments[] = {
    // 13 pages in palette colours over a gray background, 58 bilevel ones.
    {L"DjVu3Spec.djvu", false, 71, Kinds::kBoth},
    {L"navm_fgbz.djvu", false, 6, Kinds::kColour},
    // A foreground image: glyphs take the colours of an FG44 layer.
    {L"happy_birthday.djvu", false, 1, Kinds::kColour},
    // A bilevel page, then two over a background with a foreground image.
    {L"czech_1-3.djvu", false, 3, Kinds::kBoth},
    {L"chicken.djvu", false, 1, Kinds::kColour},
    {L"boy.djvu", false, 1, Kinds::kColour},
    {L"compound-palette.djvu", true, 2, Kinds::kColour},
    {L"compound-image.djvu", true, 1, Kinds::kColour},
};

// The document's name up to its extension, other characters than letters and
// digits as '_'.
std::string TestName(const testing::TestParamInfo<Document>& info) {
    std::string name;
    for (const wchar_t* c = info.param.name; *c != L'.'; ++c) {
        name += std::isalnum(static_cast<int>(*c)) ? static_cast<char>(*c) : '_';
    }
    return name;
}

INSTANTIATE_TEST_SUITE_P(Documents, ReaderRender, testing::ValuesIn(kDocuments), TestName);

}  // namespace
