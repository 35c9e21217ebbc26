// vyrddjvu info FILE

#include "Commands.h"

#include "Container.h"
#include "Unicode.h"

#include <cstdio>
#include <string>

namespace vyrddjvu {

namespace {

void PrintPage(vyrd::CDjVuContainer& document, int index) {
    // Pages of a multi-page document are named by their component identifier.
    std::string id;
    if (const vyrd::CDjVuDirectory* directory = document.Directory()) {
        if (const vyrd::CDirEntry* entry = directory->Pages().At(index)) {
            id = " id=" + vyrd::Utf16ToUtf8(entry->id);
        }
    }
    const vyrd::RefPtr<vyrd::CDjVuPage> page = document.GetPageObject(index);
    const vyrd::RefPtr<vyrd::CPageInfo> info = page ? page->GetInfo() : nullptr;
    if (!info) {
        std::printf("%d unavailable%s\n", index + 1, id.c_str());
        return;
    }
    std::string line = std::to_string(index + 1) + ' ' + std::to_string(info->width) + ' ' +
                       std::to_string(info->height) + ' ' + std::to_string(info->dpi);
    for (const vyrd::CIffChunk& chunk : page->Chunks()) {
        line += ' ';
        line += vyrd::ChunkIdToString(chunk.Id());
    }
    std::printf("%s%s\n", line.c_str(), id.c_str());
}

}  // namespace

int RunInfo(const Arguments& args) {
    if (args.size() != 1) {
        PrintError("usage: vyrddjvu info FILE");
        return kExitUsage;
    }
    vyrd::RefPtr<vyrd::CDjVuContainer> document = OpenDocumentOrComplain(args[0]);
    if (!document) {
        return kExitFailure;
    }
    const int pages = document->CountPages();
    std::printf("pages %d\n", pages);
    for (int i = 0; i < pages; ++i) {
        PrintPage(*document, i);
    }
    return std::fflush(stdout) == 0 ? kExitOk : kExitFailure;
}

}  // namespace vyrddjvu
