// libFuzzer entry point for page annotations and the links made from them:
// the input becomes the annotation chunk of a one-page document, so the whole
// path runs (chunk text, BZZ for ANTz, the expression scan, the map-area
// parser, page URLs, placement on the page).
//
// Input: byte 0 bit 0 chooses ANTz (set) or ANTa; bytes 1-2 are the page
// height (big-endian); the rest is the chunk data.

#include "Container.h"
#include "FuzzInput.h"
#include "PageLinks.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace {

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v >> 24));
    out.push_back(uint8_t(v >> 16));
    out.push_back(uint8_t(v >> 8));
    out.push_back(uint8_t(v));
}

void PutText(std::vector<uint8_t>& out, const char* text) {
    for (; *text; ++text) {
        out.push_back(uint8_t(*text));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3 || size > (1u << 20)) {
        return 0;
    }
    const bool compressed = data[0] & 1;
    const uint8_t info[10] = {0, 100, data[1], data[2], 24, 0, 44, 1, 22, 1};
    const size_t body = size - 3;

    std::vector<uint8_t> file;
    PutText(file, "AT&TFORM");
    Put32(file, uint32_t(4 + 8 + sizeof(info) + 8 + body + (body & 1)));
    PutText(file, "DJVUINFO");
    Put32(file, sizeof(info));
    file.insert(file.end(), info, info + sizeof(info));
    PutText(file, compressed ? "ANTz" : "ANTa");
    Put32(file, uint32_t(body));
    file.insert(file.end(), data + 3, data + size);
    if (body & 1) {
        file.push_back(0);
    }
    // The document in a buffer of exactly its size, so over-reads show.
    const FuzzInput input(file.data(), file.size());

    const vyrd::RefPtr<vyrd::CDjVuContainer> doc = vyrd::MakeRef<vyrd::CDjVuContainer>();
    if (doc->OpenDocumentFromMemory(input.Span()) != 1) {
        __builtin_trap();
    }
    const vyrd::CPageLinks links = vyrd::BuildPageLinks(*doc, 0);
    for (const vyrd::LinkRecord& r : links.records) {
        // A one-page document: a link leads to its page or nowhere.
        if (r.page < -1 || r.page > 0 || r.x != 0 || r.y != 0) {
            __builtin_trap();
        }
    }
    return 0;
}
