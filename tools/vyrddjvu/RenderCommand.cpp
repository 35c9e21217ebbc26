// vyrddjvu render FILE OUT [--page=N|all] [--layer=mask|background|foreground]

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

// What is drawn: the composed page, its mask at page size, or one of its
// wavelet layers at the layer's own size.
enum class Layer { kPage, kMask, kBackground, kForeground };

struct RenderArgs {
    std::u16string file;
    std::u16string out;
    bool allPages = false;
    int page = 1;  // 1-based
    Layer layer = Layer::kPage;
};

bool ParseArgs(const Arguments& args, RenderArgs& parsed) {
    CommandOptions options;
    if (!ParseOptions(args, {u"--page", u"--layer"}, options)) {
        return false;
    }
    if (options.positional.size() != 2) {
        PrintError(
            "usage: vyrddjvu render FILE OUT [--page=N|all] [--layer=mask|background|foreground]");
        return false;
    }
    if (options.layer == u"mask") {
        parsed.layer = Layer::kMask;
    } else if (options.layer == u"background") {
        parsed.layer = Layer::kBackground;
    } else if (options.layer == u"foreground") {
        parsed.layer = Layer::kForeground;
    } else if (!options.layer.empty()) {
        PrintError("unknown layer ", options.layer);
        return false;
    }
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
vyrd::RefPtr<vyrd::CRasterImage> RenderLayer(vyrd::CDjVuPage& page, Layer layer) {
    switch (layer) {
        case Layer::kMask:
            return vyrd::RenderMask(page);
        case Layer::kBackground:
            return vyrd::RenderWaveletLayer(page, vyrd::WaveletLayer::kBackground);
        case Layer::kForeground:
            return vyrd::RenderWaveletLayer(page, vyrd::WaveletLayer::kForeground);
        case Layer::kPage:
            break;
    }
    return vyrd::RenderPage(page);
}

const char* MissingLayerText(Layer layer) {
    switch (layer) {
        case Layer::kMask:
            return "has no mask to render";
        case Layer::kBackground:
            return "has no background to render";
        case Layer::kForeground:
            return "has no foreground image to render";
        case Layer::kPage:
            break;
    }
    return "cannot be rendered";
}

bool RenderOne(vyrd::CDjVuContainer& document, int index, const std::u16string& outPath,
               Layer layer) {
    const std::string pageText = "page " + std::to_string(index + 1) + ": ";
    const vyrd::RefPtr<vyrd::CDjVuPage> page = document.GetPageObject(index);
    if (!page) {
        PrintError(pageText + "unavailable");
        return false;
    }
    const vyrd::RefPtr<vyrd::CRasterImage> raster = RenderLayer(*page, layer);
    if (!raster) {
        PrintError(pageText + MissingLayerText(layer));
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
                         parsed.layer)
                   ? kExitOk
                   : kExitFailure;
    }
    // Every page, whatever happens to the others.
    bool allWritten = true;
    for (int i = 0; i < pages; ++i) {
        try {
            allWritten &= RenderOne(*document, i, OutputName(parsed.out, i + 1), parsed.layer);
        } catch (const std::exception& e) {
            PrintError("page " + std::to_string(i + 1) + ": " + e.what());
            allWritten = false;
        }
    }
    return allWritten ? kExitOk : kExitFailure;
}

}  // namespace vyrddjvu
