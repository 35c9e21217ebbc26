// vyrddjvu text FILE [--page=N|all]
// vyrddjvu zones FILE [--page=N]
// vyrddjvu bench FILE --text [--page=N] [--repeat=K]

#include "Commands.h"
#include "Options.h"
#include "TextCache.h"
#include "ToolPlatform.h"
#include "Unicode.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <string_view>

namespace vyrddjvu {

namespace {

using Clock = std::chrono::steady_clock;

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

bool WriteOut(std::string_view bytes) {
    return std::fwrite(bytes.data(), 1, bytes.size(), stdout) == bytes.size();
}

// The document and the 0-based page that --page names, or a complaint. With
// --page=all, `index` is -1.
struct PageChoice {
    vyrd::RefPtr<vyrd::CDjVuContainer> document;
    int index = -1;
};

// Returns kExitOk when `choice` is filled, else the exit status to give.
int ChoosePage(const Arguments& args, const char* usage, bool allowAll, PageChoice& choice) {
    CommandOptions options;
    if (!ParseOptions(args, {u"--page"}, options) || options.positional.size() != 1 ||
        (options.allPages && !allowAll)) {
        PrintError(usage);
        return kExitUsage;
    }
    choice.document = OpenDocumentOrComplain(options.positional[0]);
    if (!choice.document) {
        return kExitFailure;
    }
    if (options.allPages) {
        return kExitOk;
    }
    if (options.page > choice.document->CountPages()) {
        PrintError("no page " + std::to_string(options.page));
        return kExitFailure;
    }
    choice.index = options.page - 1;
    return kExitOk;
}

// The text layer of a page, decoded on every call as the cache would on a miss.
vyrd::RefPtr<vyrd::CPageTextLayer> TextLayerOf(vyrd::CDjVuContainer& document, int index) {
    const vyrd::RefPtr<vyrd::CDjVuPage> page = document.GetPageObject(index);
    return page ? page->GetText() : nullptr;
}

}  // namespace

int RunText(const Arguments& args) {
    PageChoice choice;
    if (const int status =
            ChoosePage(args, "usage: vyrddjvu text FILE [--page=N|all]", true, choice);
        status != kExitOk) {
        return status;
    }
    // One page: its text exactly, nothing added. All pages: each followed by a
    // form feed, so page boundaries stay visible.
    const bool all = choice.index < 0;
    const int first = all ? 0 : choice.index;
    const int last = all ? choice.document->CountPages() : choice.index + 1;
    bool ok = true;
    for (int index = first; index < last; ++index) {
        if (const vyrd::RefPtr<vyrd::CPageTextLayer> layer = TextLayerOf(*choice.document, index)) {
            ok = WriteOut(vyrd::Utf16ToUtf8(layer->Text())) && ok;
        }
        if (all) {
            ok = WriteOut("\f") && ok;
        }
    }
    return std::fflush(stdout) == 0 && ok ? kExitOk : kExitFailure;
}

int RunZones(const Arguments& args) {
    PageChoice choice;
    if (const int status = ChoosePage(args, "usage: vyrddjvu zones FILE [--page=N]", false, choice);
        status != kExitOk) {
        return status;
    }
    if (const vyrd::RefPtr<vyrd::CPageTextLayer> layer =
            TextLayerOf(*choice.document, choice.index)) {
        layer->ForEachZone([](const vyrd::CTextZone& zone, int depth) {
            const vyrd::TextRect r = zone.Rect();
            std::printf("%d %d %d %d %d %d %d %d\n", depth, zone.type, r.left, r.top, r.right,
                        r.bottom, zone.wstart, zone.wlen);
        });
    }
    return std::fflush(stdout) == 0 ? kExitOk : kExitFailure;
}

int BenchText(const CommandOptions& options) {
    vyrd::RefPtr<vyrd::CDjVuContainer> document = OpenDocumentOrComplain(options.positional[0]);
    if (!document) {
        return kExitFailure;
    }
    const int pages = document->CountPages();
    if (options.page > pages) {
        PrintError("no page " + std::to_string(options.page));
        return kExitFailure;
    }

    // A search over the whole document as the search pane runs it: every
    // page's text fetched through a fresh reader cache, copied out (the BSTR
    // the reader hands over) and searched.
    constexpr std::u16string_view kNeedle = u"the";
    double bestSearch = 0;
    int withText = 0;
    int matches = 0;
    for (int run = 0; run < options.repeat; ++run) {
        const Clock::time_point start = Clock::now();
        vyrd::CTextCache cache;
        withText = 0;
        matches = 0;
        for (int index = 0; index < pages; ++index) {
            const vyrd::RefPtr<vyrd::CPageTextLayer> layer = cache.Get(*document, index);
            if (!layer) {
                continue;
            }
            ++withText;
            const std::u16string copy = layer->Text();
            for (std::size_t at = copy.find(kNeedle); at != std::u16string::npos;
                 at = copy.find(kNeedle, at + 1)) {
                ++matches;
            }
        }
        const double ms = MillisecondsSince(start);
        bestSearch = run == 0 ? ms : std::min(bestSearch, ms);
    }
    std::printf("search: %d pages, %d with text, %d matches of \"the\", %.3f ms\n", pages, withText,
                matches, bestSearch);

    // Selection on one page: the same queries again and again through one
    // cache, as the viewer asks while the mouse moves.
    constexpr int kQueries = 1000;
    const int index = options.page - 1;
    vyrd::CTextCache cache;
    std::size_t rects = 0;
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < kQueries; ++i) {
        const vyrd::RefPtr<vyrd::CPageTextLayer> layer = cache.Get(*document, index);
        if (!layer) {
            break;
        }
        const vyrd::TextRect r = layer->Root().Rect();
        const vyrd::TextRect half{r.left, r.top, r.left + (r.right - r.left) / 2,
                                  r.top + (r.bottom - r.top) / 2};
        if (const std::optional<vyrd::TextRange> range = layer->CoveredBy(half)) {
            rects += layer->RectsOf(range->first, range->last).size();
        }
    }
    std::printf("selection: page %d, %d queries, %zu rectangles, %llu decodes, %.3f ms\n",
                index + 1, kQueries, rects, static_cast<unsigned long long>(cache.Decodes()),
                MillisecondsSince(start));
    std::printf("peak memory %llu KiB\n",
                static_cast<unsigned long long>(PeakMemoryBytes() / 1024));
    return kExitOk;
}

}  // namespace vyrddjvu
