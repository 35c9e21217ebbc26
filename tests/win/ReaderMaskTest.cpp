// Bilevel pages through the reader: GetPage of every bilevel page of a real
// document against the mask DjVuLibre's ddjvu draws of the same page. Pages
// with a background come back in colour; ReaderRenderTest compares those.

#include "RawClient.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using namespace testwin;

constexpr LONG kBilevelPixelType = 3;
constexpr LONG kBgrPixelType = 1;

// A binary PBM (P4): rows top-down, 8 pixels per byte, 1 = black.
struct Pbm {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> bits;

    bool Ink(int x, int yFromTop) const {
        const size_t rowBytes = static_cast<size_t>(width + 7) / 8;
        return (bits[static_cast<size_t>(yFromTop) * rowBytes + static_cast<size_t>(x) / 8] >>
                (7 - x % 8)) &
               1;
    }
};

bool ReadPbm(const std::wstring& path, Pbm& pbm) {
    FILE* file = _wfopen(path.c_str(), L"rb");
    if (file == nullptr) {
        return false;
    }
    char magic[3] = {};
    const bool header = std::fscanf(file, "%2s %d %d", magic, &pbm.width, &pbm.height) == 3 &&
                        std::string(magic) == "P4" && std::fgetc(file) != EOF;
    const size_t size = static_cast<size_t>(pbm.width + 7) / 8 * static_cast<size_t>(pbm.height);
    pbm.bits.resize(header ? size : 0);
    const bool body = header && std::fread(pbm.bits.data(), 1, size, file) == size;
    std::fclose(file);
    return body;
}

TEST(ReaderMask, EveryBilevelPageOfDjVu3SpecEqualsDdjvuMask) {
    const std::wstring document = CorpusFile(L"DjVu3Spec.djvu");
    if (document.empty() || ReferenceFile(L"DjVu3Spec-mask-1.pbm").empty()) {
        GTEST_SKIP() << "corpus or ddjvu references not available";
    }
    RawVyrdFile file = RawVyrdFile::Create();
    ASSERT_TRUE(file.Get());
    ASSERT_EQ(file.OpenFile(document), S_OK);
    LONG count = 0;
    ASSERT_EQ(file.PageCount(&count), S_OK);
    ASSERT_EQ(count, 71);
    int bilevelPages = 0;
    for (LONG index = 0; index < count; ++index) {
        SCOPED_TRACE("page " + std::to_string(index + 1));
        Pbm reference;
        ASSERT_TRUE(ReadPbm(
            ReferenceFile(L"DjVu3Spec-mask-" + std::to_wstring(index + 1) + L".pbm"), reference));
        IUnknown* rawImage = nullptr;
        ASSERT_EQ(file.GetPage(index, 1.0, &rawImage), S_OK);
        ComPtr<IUnknown> image = ComPtr<IUnknown>::Adopt(rawImage);
        RawPageImage page(image.Get());
        ASSERT_TRUE(page.Get());
        const LONG type = page.GetLong(kGetPixelType);
        if (type == kBgrPixelType) {
            continue;
        }
        ASSERT_EQ(type, kBilevelPixelType);
        ++bilevelPages;
        ASSERT_EQ(page.GetLong(kGetWidth), reference.width);
        ASSERT_EQ(page.GetLong(kGetHeight), reference.height);
        const BYTE* pixels = page.Pixels();
        ASSERT_NE(pixels, nullptr);
        // The page is stored bottom-up, one byte per pixel.
        int differences = 0;
        for (int y = 0; y < reference.height; ++y) {
            const BYTE* row = pixels + static_cast<size_t>(reference.height - 1 - y) *
                                           static_cast<size_t>(reference.width);
            for (int x = 0; x < reference.width; ++x) {
                differences += (row[x] != 0) != reference.Ink(x, y);
            }
        }
        EXPECT_EQ(differences, 0);
    }
    // The pages without a BG44 chunk (djvudump lists 13 with one).
    EXPECT_EQ(bilevelPages, 58);
}

}  // namespace
