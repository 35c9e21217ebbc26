// vyrddjvu links FILE [--page=N|all]

#include "Commands.h"
#include "Options.h"

#include "Container.h"
#include "PageLinks.h"

#include <cstdio>

namespace vyrddjvu {

namespace {

// One line per record: left top right bottom page (0-based, -1 for none), in
// page pixels with the origin at the top-left corner, as the reader answers
// hit tests with them.
void PrintLinks(vyrd::CDjVuContainer& document, int index, bool withPageNumber) {
    const vyrd::CPageLinks links = vyrd::BuildPageLinks(document, index);
    for (const vyrd::LinkRecord& r : links.records) {
        if (withPageNumber) {
            std::printf("%d ", index + 1);
        }
        std::printf("%d %d %d %d %d\n", r.left, r.top, r.right, r.bottom, r.page);
    }
}

}  // namespace

int RunLinks(const Arguments& args) {
    CommandOptions options;
    if (!ParseOptions(args, {u"--page"}, options) || options.positional.size() != 1) {
        PrintError("usage: vyrddjvu links FILE [--page=N|all]");
        return kExitUsage;
    }
    vyrd::RefPtr<vyrd::CDjVuContainer> document = OpenDocumentOrComplain(options.positional[0]);
    if (!document) {
        return kExitFailure;
    }
    const int pages = document->CountPages();
    if (options.allPages) {
        // Every line starts with its page number (from 1).
        for (int i = 0; i < pages; ++i) {
            PrintLinks(*document, i, true);
        }
    } else if (options.page > pages) {
        PrintError("no page " + std::to_string(options.page) + " in ", options.positional[0]);
        return kExitFailure;
    } else {
        PrintLinks(*document, options.page - 1, false);
    }
    return std::fflush(stdout) == 0 ? kExitOk : kExitFailure;
}

}  // namespace vyrddjvu
