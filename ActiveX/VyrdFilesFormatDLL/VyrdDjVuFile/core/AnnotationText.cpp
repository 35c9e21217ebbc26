#include "AnnotationText.h"

#include "BzzDecoder.h"
#include "Container.h"
#include "DjVuPage.h"
#include "Unicode.h"

#include <algorithm>
#include <string_view>

namespace vyrd {

namespace {

std::u16string PlainText(const CIffChunk& chunk) {
    const std::span<const uint8_t> bytes = chunk.Data().Span();
    return Utf8ToUtf16(std::string_view(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
}

// The decompressed bytes up to the first 0, read in pieces so that a stream
// that ends early never costs more memory than it delivered.
std::u16string CompressedText(const CIffChunk& chunk) {
    CBzzDecoder bzz(chunk.Data());
    std::string text;
    char piece[4096];
    while (text.size() < kMaxAnnotationChunkBytes) {
        const uint32_t want = static_cast<uint32_t>(
            std::min<std::size_t>(sizeof(piece), kMaxAnnotationChunkBytes - text.size()));
        const uint32_t got = bzz.read(piece, want);
        const char* const begin = piece;
        const char* const end = begin + got;
        const char* const zero = std::find(begin, end, '\0');
        text.append(begin, zero);
        if (zero != end || got < want) {
            break;
        }
    }
    return Utf8ToUtf16(text);
}

}  // namespace

std::u16string ReadAnnotationChunks(const std::vector<CIffChunk>& chunks) {
    std::u16string text;
    for (const CIffChunk& chunk : chunks) {
        if (chunk.Id() == kIdANTa) {
            text += PlainText(chunk);
        }
    }
    for (const CIffChunk& chunk : chunks) {
        if (chunk.Id() == kIdANTz) {
            text += CompressedText(chunk);
        }
    }
    return text;
}

const std::u16string& CDjVuPage::GetAnnotationText(CDjVuContainer& document) {
    if (annotationText_) {
        return *annotationText_;
    }
    std::u16string text;
    // Shared annotations come first, so that the page's own areas follow them:
    // where two links overlap, the page's later one wins.
    const CDjVuDirectory* directory = document.Directory();
    if (directory != nullptr) {
        for (const std::u16string& id : GetIncludeIds()) {
            const int position = directory->SharedAnnotations().Find(id);
            if (position < 0) {
                continue;
            }
            if (RefPtr<CDjVuSharedAnnotations> shared = document.GetSharedAnnotations(position)) {
                text += shared->GetAnnotationText();
            }
        }
    }
    text += ReadAnnotationChunks(Chunks());
    annotationText_ = std::move(text);
    return *annotationText_;
}

std::u16string PageAnnotationText(CDjVuContainer& document, int pageIndex) {
    const RefPtr<CDjVuPage> page = document.GetPageObject(pageIndex);
    return page ? page->GetAnnotationText(document) : std::u16string();
}

}  // namespace vyrd
