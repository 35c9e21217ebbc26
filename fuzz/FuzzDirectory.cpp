// libFuzzer entry point for the multi-page directory: the input is the data of
// a DIRM chunk. A string table that runs short is a refused directory.

#include "Directory.h"
#include "FuzzInput.h"
#include "HResultError.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 20)) {
        return 0;
    }
    const FuzzInput input(data, size);
    try {
        vyrd::RefPtr<vyrd::CDjVuDirectory> directory = vyrd::CDjVuDirectory::Parse(input.Range());
        // Every list and lookup agrees with itself.
        const vyrd::CDirList* lists[] = {&directory->All(), &directory->Pages(),
                                         &directory->Includes(), &directory->Thumbnails(),
                                         &directory->SharedAnnotations()};
        for (const vyrd::CDirList* list : lists) {
            for (int i = 0; i < list->Count(); ++i) {
                const int found = list->Find(list->At(i)->id);
                if (found < i || list->At(found)->id != list->At(i)->id) {
                    __builtin_trap();
                }
            }
        }
    } catch (const vyrd::HResultError&) {
    }
    return 0;
}
