// vyrddjvu outline FILE

#include "Commands.h"

#include "Container.h"
#include "Outline.h"
#include "Unicode.h"

#include <cstdio>

namespace vyrddjvu {

int RunOutline(const Arguments& args) {
    if (args.size() != 1) {
        PrintError("usage: vyrddjvu outline FILE");
        return kExitUsage;
    }
    vyrd::RefPtr<vyrd::CDjVuContainer> document = OpenDocumentOrComplain(args[0]);
    if (!document) {
        return kExitFailure;
    }
    // One line per bookmark, depth-first: depth (0 at the top level), the
    // ItemID the reader gives it (its position in this order, from 1), the
    // page it leads to (0-based, -1 for none) and its title as UTF-8.
    if (const vyrd::RefPtr<vyrd::CDjVuOutline> outline = vyrd::CDjVuOutline::Read(*document)) {
        int itemId = 0;
        for (const vyrd::CBookmark& bookmark : outline->Bookmarks()) {
            std::printf("%d %d %d %s\n", bookmark.depth, ++itemId, bookmark.page,
                        vyrd::Utf16ToUtf8(bookmark.title).c_str());
        }
    }
    return std::fflush(stdout) == 0 ? kExitOk : kExitFailure;
}

}  // namespace vyrddjvu
