// vyrddjvu render FILE OUT [--page=N|all] [--layer=mask]

#include "Commands.h"
#include "Options.h"

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

struct RenderArgs {
    std::u16string file;
    std::u16string out;
    bool allPages = false;
    int page = 1;  // 1-based
    bool maskOnly = false;
};

bool ParseArgs(const Arguments& args, RenderArgs& parsed) {
    CommandOptions options;
    if (!ParseOptions(args, {u"--page", u"--layer"}, options)) {
        return false;
    }
    if (options.positional.size() != 2) {
        PrintError("usage: vyrddjvu render FILE OUT [--page=N|all] [--layer=mask]");
        return false;
    }
    if (!options.layer.empty() && options.layer != u"mask") {
        PrintError("unknown layer ", options.layer);
        return false;
    }
    parsed.maskOnly = options.layer == u"mask";
    parsed.file = options.positional[0];
    parsed.out = options.positional[1];
    parsed.allPages = options.allPages;
    parsed.page = options.page;
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
bool RenderOne(vyrd::CDjVuContainer& document, int index, const std::u16string& outPath,
               bool maskOnly) {
    const std::string pageText = "page " + std::to_string(index + 1) + ": ";
    const vyrd::RefPtr<vyrd::CDjVuPage> page = document.GetPageObject(index);
    if (!page) {
        PrintError(pageText + "unavailable");
        return false;
    }
    const vyrd::RefPtr<vyrd::CRasterImage> raster =
        maskOnly ? vyrd::RenderMask(*page) : vyrd::RenderPage(*page);
    if (!raster) {
        PrintError(pageText + (maskOnly ? "has no mask to render" : "cannot be rendered"));
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
    vyrd::RefPtr<vyrd::CDjVuContainer> document = OpenDocumentOrComplain(parsed.file);
    if (!document) {
        return kExitFailure;
    }
    const int pages = document->CountPages();
    if (!parsed.allPages) {
        if (parsed.page > pages) {
            PrintError("no page " + std::to_string(parsed.page) + " (the document has " +
                       std::to_string(pages) + ")");
            return kExitFailure;
        }
        return RenderOne(*document, parsed.page - 1, OutputName(parsed.out, parsed.page),
                         parsed.maskOnly)
                   ? kExitOk
                   : kExitFailure;
    }
    // Every page, whatever happens to the others.
    bool allWritten = true;
    for (int i = 0; i < pages; ++i) {
        try {
            allWritten &= RenderOne(*document, i, OutputName(parsed.out, i + 1), parsed.maskOnly);
        } catch (const std::exception& e) {
            PrintError("page " + std::to_string(i + 1) + ": " + e.what());
            allWritten = false;
        }
    }
    return allWritten ? kExitOk : kExitFailure;
}

}  // namespace vyrddjvu
