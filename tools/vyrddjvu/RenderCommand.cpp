// vyrddjvu render FILE OUT [--page=N|all]

#include "Commands.h"

#include "Container.h"
#include "Pnm.h"
#include "Render.h"
#include "ToolPlatform.h"
#include "Unicode.h"

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

namespace vyrddjvu {

namespace {

constexpr char16_t kPageOption[] = u"--page=";

struct RenderArgs {
    std::u16string file;
    std::u16string out;
    bool allPages = false;
    int page = 1;  // 1-based
};

// Parses a page number of at most 9 digits (no sign, no overflow).
bool ParsePageNumber(const std::u16string& text, int& page) {
    if (text.empty() || text.size() > 9) {
        return false;
    }
    int value = 0;
    for (char16_t c : text) {
        if (c < u'0' || c > u'9') {
            return false;
        }
        value = value * 10 + (c - u'0');
    }
    page = value;
    return value >= 1;
}

bool ParseArgs(const Arguments& args, RenderArgs& parsed) {
    std::vector<std::u16string> positional;
    for (const std::u16string& arg : args) {
        if (arg.rfind(kPageOption, 0) == 0) {
            const std::u16string value =
                arg.substr(std::char_traits<char16_t>::length(kPageOption));
            if (value == u"all") {
                parsed.allPages = true;
            } else if (!ParsePageNumber(value, parsed.page)) {
                PrintError("bad page number: ", value);
                return false;
            }
        } else if (arg.size() > 1 && arg[0] == u'-' && arg[1] == u'-') {
            PrintError("unknown option: ", arg);
            return false;
        } else {
            positional.push_back(arg);
        }
    }
    if (positional.size() != 2) {
        PrintError("usage: vyrddjvu render FILE OUT [--page=N|all]");
        return false;
    }
    parsed.file = positional[0];
    parsed.out = positional[1];
    if (parsed.allPages && parsed.out.find(u"%d") == std::u16string::npos) {
        PrintError("--page=all needs %d in the output name");
        return false;
    }
    return true;
}

std::u16string OutputName(const std::u16string& pattern, int pageNumber) {
    std::u16string name = pattern;
    const std::size_t at = name.find(u"%d");
    if (at != std::u16string::npos) {
        const std::string digits = std::to_string(pageNumber);
        name.replace(at, 2, std::u16string(digits.begin(), digits.end()));
    }
    return name;
}

// Renders one page (0-based index) into `outPath`; reports its own failures.
bool RenderOne(vyrd::CDjVuContainer& document, int index, const std::u16string& outPath) {
    const std::string pageText = "page " + std::to_string(index + 1) + ": ";
    const vyrd::RefPtr<vyrd::CDjVuPage> page = document.GetPageObject(index);
    if (!page) {
        PrintError(pageText + "unavailable");
        return false;
    }
    const vyrd::RefPtr<vyrd::CRasterImage> raster = vyrd::RenderPage(*page);
    if (!raster) {
        PrintError(pageText + "cannot be rendered");
        return false;
    }
    std::FILE* out = OpenForWriting(outPath);
    if (out == nullptr) {
        PrintError(pageText + "cannot create ", outPath);
        return false;
    }
    const bool written = WritePnm(*raster, out);
    const bool closed = std::fclose(out) == 0;
    if (!written || !closed) {
        PrintError(pageText + "cannot write ", outPath);
        return false;
    }
    return true;
}

}  // namespace

int RunRender(const Arguments& args) {
    RenderArgs parsed;
    if (!ParseArgs(args, parsed)) {
        return kExitUsage;
    }
    vyrd::RefPtr<vyrd::CDjVuContainer> document = vyrd::MakeRef<vyrd::CDjVuContainer>();
    if (!document->OpenDocument(parsed.file)) {
        PrintError("cannot open DjVu document: ", parsed.file);
        return kExitFailure;
    }
    const int pages = document->CountPages();
    if (!parsed.allPages) {
        if (parsed.page > pages) {
            PrintError("no page " + std::to_string(parsed.page) + " (the document has " +
                       std::to_string(pages) + ")");
            return kExitFailure;
        }
        return RenderOne(*document, parsed.page - 1, OutputName(parsed.out, parsed.page))
                   ? kExitOk
                   : kExitFailure;
    }
    // Every page, whatever happens to the others.
    bool allWritten = true;
    for (int i = 0; i < pages; ++i) {
        try {
            allWritten &= RenderOne(*document, i, OutputName(parsed.out, i + 1));
        } catch (const std::exception& e) {
            PrintError("page " + std::to_string(i + 1) + ": " + e.what());
            allWritten = false;
        }
    }
    return allWritten ? kExitOk : kExitFailure;
}

}  // namespace vyrddjvu
