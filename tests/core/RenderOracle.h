#pragma once
// Native tests only: composed pages side by side with ddjvu's. Runs ddjvu,
// renders our page the same way, and rebuilds single pages from the chunks of
// other pages so that one layer can be shown alone.

#include "Container.h"
#include "Render.h"

#include "IffBuilder.h"
#include "Oracle.h"
#include "PnmImage.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>
#include <string>
#include <utility>
#include <vector>

namespace renderoracle {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

// One chunk of a page: its identifier and its body.
struct PageChunk {
    std::string id;
    Bytes body;
};
using PageChunks = std::vector<PageChunk>;

// ddjvu's rendering of one page (1-based) at full resolution, as a PPM;
// `options` (quoted) come before the file name. Empty when ddjvu fails.
inline pnm::Image Ddjvu(const fs::path& document, int pageNumber = 1,
                        const std::string& options = "") {
    oracle::TempDir dir;
    const fs::path out = dir / "page.ppm";
    const oracle::Run run = oracle::Capture(
        "ddjvu -format=ppm -subsample=1 -page=" + std::to_string(pageNumber) + " " + options +
        (options.empty() ? "" : " ") + oracle::Quote(document) + " " + oracle::Quote(out));
    if (run.status != 0) {
        return {};
    }
    return pnm::Parse(oracle::ReadAll(out)).value_or(pnm::Image{});
}

// Our composed page in ddjvu's form; empty when RenderPage gives nothing.
// `format` receives the raster's format. A bilevel page has
// `bilevelChannels` channels (FromRaster).
inline pnm::Image Rendered(vyrd::CDjVuPage& page, vyrd::RasterFormat* format = nullptr,
                           int bilevelChannels = 3) {
    const vyrd::RefPtr<vyrd::CRasterImage> raster = vyrd::RenderPage(page);
    if (!raster) {
        return {};
    }
    if (format != nullptr) {
        *format = raster->Format();
    }
    return pnm::FromRaster(*raster, bilevelChannels);
}

// The page's mask as a gray image (ink 0, paper 255), rows top-down; empty
// when the page has none.
inline pnm::Image Mask(vyrd::CDjVuPage& page) {
    const vyrd::RefPtr<vyrd::CRasterImage> raster = vyrd::RenderMask(page);
    if (!raster) {
        return {};
    }
    pnm::Image mask(raster->Width(), raster->Height(), 1);
    for (int y = 0; y < mask.height; ++y) {
        const uint8_t* row = raster->Row(mask.height - 1 - y);
        for (int x = 0; x < mask.width; ++x) {
            *mask.Pixel(x, y) = row[x] != 0 ? 0 : 255;
        }
    }
    return mask;
}

// The page's chunks after INFO, in file order.
inline PageChunks ChunksOf(vyrd::CDjVuPage& page) {
    PageChunks chunks;
    for (const vyrd::CIffChunk& chunk : page.Chunks()) {
        if (chunk.Id() == vyrd::kIdINFO) {
            continue;
        }
        const std::span<const uint8_t> body = chunk.Data().Span();
        chunks.push_back({vyrd::ChunkIdToString(chunk.Id()), Bytes(body.begin(), body.end())});
    }
    return chunks;
}

// The chunks of `chunks` with identifier `id`, renamed `as` when given.
inline PageChunks Select(const PageChunks& chunks, const std::string& id,
                         const std::string& as = "") {
    PageChunks out;
    for (const PageChunk& chunk : chunks) {
        if (chunk.id == id) {
            out.push_back({as.empty() ? id : as, chunk.body});
        }
    }
    return out;
}

inline PageChunks Join(std::initializer_list<PageChunks> parts) {
    PageChunks out;
    for (const PageChunks& part : parts) {
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}

// The image size a first wavelet chunk declares (bytes 4-7 of its body);
// {0, 0} when the body is too short.
inline std::pair<int, int> WaveletSize(const PageChunk& first) {
    if (first.body.size() < 8) {
        return {0, 0};
    }
    return {first.body[4] << 8 | first.body[5], first.body[6] << 8 | first.body[7]};
}

// A single-page document: INFO (width, height, 300 dpi, version 24, gamma
// 2.2), then `chunks`.
inline Bytes PageFile(int width, int height, const PageChunks& chunks) {
    Bytes form = testiff::Text("DJVU");
    testiff::Append(form,
                    testiff::Chunk("INFO", testiff::InfoBody(uint16_t(width), uint16_t(height))));
    for (const PageChunk& chunk : chunks) {
        testiff::Append(form, testiff::Chunk(chunk.id, chunk.body));
    }
    return testiff::File({testiff::Chunk("FORM", form)});
}

// The first page of a document file, or null.
struct OpenPage {
    vyrd::RefPtr<vyrd::CDjVuContainer> document;
    vyrd::RefPtr<vyrd::CDjVuPage> page;
};
inline OpenPage OpenFirstPage(const fs::path& file) {
    OpenPage open;
    open.document = vyrd::MakeRef<vyrd::CDjVuContainer>();
    if (open.document->OpenDocument(file.u16string()) == 1) {
        open.page = open.document->GetPageObject(0);
    }
    return open;
}

// Prints the figures of a group on standard output, where a reader of the
// test log finds them, and records them with the test's result under `key`
// (letters and underscores).
inline void Report(const std::string& key, const std::string& group, const pnm::Tally& tally) {
    std::cout << "[ oracle   ] " << group << ": " << tally.Summary() << std::endl;
    ::testing::Test::RecordProperty(key + "_min_psnr_db", pnm::FormatPsnr(tally.minPsnr));
    ::testing::Test::RecordProperty(key + "_largest_difference", tally.largest);
}

}  // namespace renderoracle
