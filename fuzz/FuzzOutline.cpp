// libFuzzer entry point for the outline: the input is the data of a NAVM
// chunk (a BZZ stream) or, when its first byte is 0xFF, the decompressed
// bookmark records that follow that byte, so that the record reader meets
// every shape of damage without the compressor in the way.

#include "FuzzInput.h"
#include "Outline.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 20)) {
        return 0;
    }
    const bool plain = size > 0 && data[0] == 0xFF;
    const FuzzInput input(plain ? data + 1 : data, plain ? size - 1 : size);
    const vyrd::RefPtr<vyrd::CDjVuOutline> outline =
        plain ? vyrd::CDjVuOutline::ParseDecompressed(input.Range())
              : vyrd::CDjVuOutline::Parse(input.Range());
    outline->ResolvePages(nullptr, 10);
    // Parents come before their children: depth starts at 0 and grows by at
    // most one from one bookmark to the next.
    int previous = -1;
    for (const vyrd::CBookmark& b : outline->Bookmarks()) {
        if (b.depth < 0 || b.depth > previous + 1 || b.page < -1 || b.page >= 10) {
            __builtin_trap();
        }
        previous = b.depth;
    }
    if (outline->Bookmarks().size() > vyrd::CDjVuOutline::kMaxBookmarks) {
        __builtin_trap();
    }
    return 0;
}
