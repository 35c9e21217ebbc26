// Composed pages against DjVuLibre's renderer. Compound pages come from the
// encoders (cpaldjvu, csepdjvu, djvumake) and from the shared documents, and
// single pages are assembled here from their chunks to reach every
// combination of layers.
//
// A bilevel page, or a page without wavelet layers, must be ddjvu's to the
// last pixel. Wavelet layers are converted to colour with our own rounding,
// which differs from ddjvu's by a level or two: where every layer is shown at
// its own size the page must reach 40 dB. Where a layer is enlarged, we
// replicate pixels and ddjvu interpolates, so the page as a whole only has to
// stay above a floor. On every page whose mask takes palette colours, the
// pixels under the mask must be exactly ddjvu's.

#include "Container.h"
#include "DjVuPage.h"
#include "Render.h"

#include "Oracle.h"
#include "PnmImage.h"
#include "RenderOracle.h"
#include "SharedData.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using oracle::Bytes;
using oracle::Quote;
using renderoracle::PageChunks;
using vyrd::RasterFormat;
using vyrd::RefPtr;

// The lowest PSNR a page with an enlarged background may show. We replicate
// pixels where ddjvu interpolates; and where the layer's size does not divide
// the page's, we show only whole copies and leave the rest white, while ddjvu
// stretches the layer over the whole page. On the smallest fixtures that
// white margin is a large share of the page: cpaldjvu's 250 x 97 page on grey
// keeps 10 columns and 9 rows white and measures 17.2 dB for that alone. The
// other pages here measure 20 dB and more; the floor keeps 2 dB below the
// lowest, so that only a background gone wrong across the page trips it.
constexpr double kEnlargedFloor = 15.0;

// The PSNR of a page whose wavelet layers are shown at their own size: the
// colour conversion rounds a little differently from ddjvu's, a decoding
// error shows as far less.
constexpr double kConvertedFloor = 40.0;

enum class Expect {
    kIdentical,  // every pixel as ddjvu paints it
    kConverted,  // wavelet layers at their own size: at least kConvertedFloor
    kEnlarged,   // a layer enlarged: at least kEnlargedFloor
};

bool HasChunk(const PageChunks& chunks, const std::string& id) {
    return !renderoracle::Select(chunks, id).empty();
}

// Compares our page with ddjvu's and counts it in `tally`. A bilevel page must
// always be identical: ddjvu paints it black on white.
void ExpectPageMatches(vyrd::CDjVuPage& page, const pnm::Image& theirs, const std::string& name,
                       RasterFormat expectedFormat, Expect expect, pnm::Tally& tally) {
    ASSERT_FALSE(theirs.Empty()) << name << ": ddjvu failed";
    RasterFormat format = RasterFormat::YCC_PLANES;
    const pnm::Image ours = renderoracle::Rendered(page, &format);
    ASSERT_FALSE(ours.Empty()) << name << ": RenderPage gave nothing";
    EXPECT_EQ(format, expectedFormat) << name;
    const pnm::Difference whole = pnm::Compare(ours, theirs);
    ASSERT_TRUE(whole.sameShape) << name << ": " << pnm::Describe(whole, ours, theirs);
    tally.Add(whole, name);
    std::cout << "[ oracle   ] " << name << ": PSNR " << pnm::FormatPsnr(whole.psnr)
              << " dB, largest channel difference " << whole.largest << std::endl;
    if (expect == Expect::kIdentical || format == RasterFormat::BILEVEL) {
        EXPECT_TRUE(whole.Identical()) << name << ": " << pnm::Describe(whole, ours, theirs);
        return;
    }
    const double floor = expect == Expect::kConverted ? kConvertedFloor : kEnlargedFloor;
    EXPECT_GE(whole.psnr, floor) << name << ": " << pnm::Describe(whole, ours, theirs);
    // Palette colours are copied, not converted: under the mask they must be
    // exact. (A foreground image takes precedence over the palette.)
    const PageChunks chunks = renderoracle::ChunksOf(page);
    if (!HasChunk(chunks, "FGbz") || HasChunk(chunks, "FG44")) {
        return;
    }
    const pnm::Image mask = renderoracle::Mask(page);
    ASSERT_FALSE(mask.Empty()) << name << ": no mask";
    const pnm::Difference inked = pnm::Compare(ours, theirs, &mask);
    EXPECT_GT(inked.compared, 0) << name << ": the mask has no ink";
    EXPECT_EQ(inked.pixels, 0) << name
                               << ", under the mask: " << pnm::Describe(inked, ours, theirs);
}

void ExpectFileMatches(const fs::path& file, const std::string& name, RasterFormat format,
                       Expect expect, pnm::Tally& tally) {
    const renderoracle::OpenPage open = renderoracle::OpenFirstPage(file);
    ASSERT_TRUE(open.page) << name;
    ExpectPageMatches(*open.page, renderoracle::Ddjvu(file), name, format, expect, tally);
}

// --- Fixtures --------------------------------------------------------------

void Tool(const std::string& command) {
    ASSERT_EQ(oracle::Capture(command).status, 0) << command;
}

// One ImageMagick drawing primitive in one colour.
std::string Paint(const std::string& colour, const std::string& primitive) {
    return " -fill '" + colour + "' -draw \"" + primitive + "\"";
}

std::string At(int x, int y) {
    return std::to_string(x) + "," + std::to_string(y);
}

// Text and shapes in a few flat colours on a flat ground, drawn without
// anti-aliasing so that the colours stay few. Ink touches every edge.
void DrawColouredText(const fs::path& out, int w, int h, const std::string& ground) {
    Tool("convert -size " + std::to_string(w) + "x" + std::to_string(h) + " xc:'" + ground +
         "' +antialias -font DejaVu-Sans -pointsize 26" +
         Paint("#c00000", "text 4,30 'Red letters'") +
         Paint("#0020d0", "text 20,70 'Blue glyphs'") +
         Paint("#008000", "rectangle 0,0 " + At(w - 1, 1)) +
         Paint("#008000", "rectangle 0,0 " + At(1, h - 1)) +
         Paint("black", "text " + At(w - 40, h + 6) + " 'Wy'") +
         Paint("black", "line " + At(w - 1, 0) + " " + At(w - 1, h - 1)) + " " + Quote(out));
}

// Black text and shapes for a mask; ink touches every edge.
void DrawMask(const fs::path& out, int w, int h) {
    Tool("convert -size " + std::to_string(w) + "x" + std::to_string(h) +
         " xc:white -font DejaVu-Sans -pointsize 24" + Paint("black", "text 2,28 'Masked text'") +
         Paint("black", "text -6,60 'Edge gy'") +
         Paint("black", "text " + At(w - 50, h + 8) + " 'Wqj'") +
         Paint("black", "rectangle 0,0 " + At(w - 1, 0)) +
         Paint("black", "rectangle " + At(w - 1, 0) + " " + At(w - 1, h - 1)) +
         Paint("black", "rectangle 60,40 100,80") + " -monochrome " + Quote(out));
}

// csepdjvu's colour runs: rows top-down, each a sequence of (colour index,
// length) words; index 0xfff is transparent.
Bytes ColourRuns(int w, int h, const std::vector<std::array<uint8_t, 3>>& palette,
                 const std::function<int(int, int)>& colourAt) {
    const std::string header = "R6\n" + std::to_string(w) + " " + std::to_string(h) + " " +
                               std::to_string(palette.size()) + "\n";
    Bytes out(header.begin(), header.end());
    for (const auto& colour : palette) {
        out.insert(out.end(), colour.begin(), colour.end());
    }
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w;) {
            const int colour = colourAt(x, y);
            int run = 1;
            while (x + run < w && colourAt(x + run, y) == colour) {
                ++run;
            }
            const uint32_t word = uint32_t(colour) << 20 | uint32_t(run);
            for (int shift = 24; shift >= 0; shift -= 8) {
                out.push_back(uint8_t(word >> shift));
            }
            x += run;
        }
    }
    return out;
}

// csepdjvu's bitonal runs: rows top-down, alternating paper and ink lengths,
// each row starting with paper.
Bytes BitonalRuns(int w, int h, const std::function<bool(int, int)>& inkAt) {
    const std::string header = "R4\n" + std::to_string(w) + " " + std::to_string(h) + "\n";
    Bytes out(header.begin(), header.end());
    for (int y = 0; y < h; ++y) {
        bool ink = false;
        for (int x = 0; x < w;) {
            int run = 0;
            while (x + run < w && inkAt(x + run, y) == ink) {
                ++run;
            }
            if (run < 192) {
                out.push_back(uint8_t(run));
            } else {
                out.push_back(uint8_t(0xC0 | run >> 8));
                out.push_back(uint8_t(run));
            }
            x += run;
            ink = !ink;
        }
    }
    return out;
}

// Glyph-like blocks on a grid, with a frame on the page's edges; -1 is paper.
int Glyphs(int x, int y, int w, int h, int colours) {
    if (x == 0 || y == 0 || x == w - 1 || y == h - 1) {
        return 0;
    }
    const int column = x / 8;
    const int row = y / 12;
    if (x % 8 < 5 && y % 12 < 9 && (column * 7 + row * 3) % 5 != 0) {
        return (column / 4 + row) % colours;
    }
    return -1;
}

// A separated page of w x h: coloured (or black) glyphs, then a background
// reduced by `factor` unless it is 0.
Bytes SeparatedPage(int w, int h, bool colour, int factor) {
    Bytes page;
    if (colour) {
        const std::vector<std::array<uint8_t, 3>> palette = {
            {200, 0, 0}, {0, 0, 180}, {0, 120, 0}, {90, 60, 20}, {250, 200, 0}};
        page = ColourRuns(w, h, palette, [&](int x, int y) {
            const int c = Glyphs(x, y, w, h, int(palette.size()));
            return c < 0 ? 0xFFF : c;
        });
    } else {
        page = BitonalRuns(w, h, [&](int x, int y) { return Glyphs(x, y, w, h, 1) >= 0; });
    }
    if (factor > 0) {
        const pnm::Image ground = pnm::Draw(pnm::Picture::kGradient, (w + factor - 1) / factor,
                                            (h + factor - 1) / factor, true);
        const Bytes ppm = pnm::Encode(ground);
        page.insert(page.end(), ppm.begin(), ppm.end());
    }
    return page;
}

TEST(CompositionOracle, EncoderPages) {
    REQUIRE_TOOL("ddjvu");
    REQUIRE_TOOL("convert");
    REQUIRE_TOOL("cjb2");
    REQUIRE_TOOL("cpaldjvu");
    REQUIRE_TOOL("csepdjvu");
    REQUIRE_TOOL("djvumake");
    oracle::TempDir dir;
    const fs::path input = dir / "input.ppm";
    const fs::path file = dir / "page.djvu";
    struct Case {
        std::string name;
        std::function<void()> make;  // writes `file`
        Expect expect = Expect::kEnlarged;
    };
    const auto cpal = [&](int w, int h, const std::string& ground, const std::string& options) {
        return [=] {
            DrawColouredText(input, w, h, ground);
            Tool("cpaldjvu " + options + " " + Quote(input) + " " + Quote(file));
        };
    };
    const auto csep = [&](int w, int h, bool colour, int factor) {
        return [=] {
            oracle::WriteAll(input, SeparatedPage(w, h, colour, factor));
            Tool("csepdjvu " + Quote(input) + " " + Quote(file));
        };
    };
    // Mask, foreground image and background from one picture.
    const auto djvumake = [&](int w, int h) {
        return [=, &dir] {
            const fs::path mask = dir / "mask.pbm";
            const fs::path maskPage = dir / "mask.djvu";
            DrawMask(mask, w, h);
            Tool("cjb2 " + Quote(mask) + " " + Quote(maskPage));
            oracle::WriteAll(input, pnm::Encode(pnm::Draw(pnm::Picture::kScene, w, h, true)));
            Tool("djvumake " + Quote(file) + " Sjbz=" + Quote(maskPage) + " PPM=" + Quote(input));
        };
    };
    const Case cases[] = {
        {"cpaldjvu 300x120 on white", cpal(300, 120, "white", "")},
        {"cpaldjvu 301x121 on yellow", cpal(301, 121, "#f0e0a0", "")},
        {"cpaldjvu 301x121 on yellow, -bgwhite", cpal(301, 121, "#f0e0a0", "-bgwhite")},
        {"cpaldjvu 250x97 on grey, -colors 3", cpal(250, 97, "#a0a0a0", "-colors 3")},
        {"csepdjvu 200x150 colours, background / 3", csep(200, 150, true, 3)},
        {"csepdjvu 203x151 colours, background / 4", csep(203, 151, true, 4)},
        {"csepdjvu 121x90 black, background / 2", csep(121, 90, false, 2)},
        {"csepdjvu 160x100 colours, no background", csep(160, 100, true, 0)},
        {"csepdjvu 97x61 colours, background / 1", csep(97, 61, true, 1), Expect::kConverted},
        {"djvumake 120x90 mask, image colours", djvumake(120, 90)},
        {"djvumake 125x95 mask, image colours", djvumake(125, 95)},
    };
    pnm::Tally tally;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.make();
        if (HasFatalFailure()) {
            return;
        }
        ExpectFileMatches(file, c.name, RasterFormat::BGR24, c.expect, tally);
    }
    renderoracle::Report("encoders", "compound pages made by the encoders", tally);
}

// Pages assembled from chunks, one for each way the layers can combine. When
// ddjvu shows a combination otherwise (a page without a background comes out
// black and white, a mask over a background without colours as well, and a
// page with both kinds of foreground colours is refused), it renders instead
// the page that shows what ours must show: white paper under the palette
// colours, a foreground alone as a background, the mask in black over the
// background, the foreground image rather than the palette.
TEST(CompositionOracle, LayerCombinations) {
    REQUIRE_TOOL("ddjvu");
    REQUIRE_TOOL("convert");
    REQUIRE_TOOL("cjb2");
    REQUIRE_TOOL("c44");
    REQUIRE_TOOL("djvumake");
    constexpr int kW = 150;
    constexpr int kH = 100;
    oracle::TempDir dir;
    const auto chunksOf = [](const fs::path& file) {
        const renderoracle::OpenPage open = renderoracle::OpenFirstPage(file);
        return open.page ? renderoracle::ChunksOf(*open.page) : PageChunks{};
    };
    // A picture of w x h, coded by c44 with `slices`, its chunks named `as`.
    const auto wavelet = [&](pnm::Picture picture, int w, int h, const std::string& slices,
                             const std::string& as) {
        const fs::path ppm = dir / "picture.ppm";
        const fs::path out = dir / "picture.djvu";
        oracle::WriteAll(ppm, pnm::Encode(pnm::Draw(picture, w, h, true)));
        Tool("c44 -slice " + slices + " " + Quote(ppm) + " " + Quote(out));
        return renderoracle::Select(chunksOf(out), "BG44", as);
    };

    const fs::path pbm = dir / "mask.pbm";
    const fs::path maskPage = dir / "mask.djvu";
    DrawMask(pbm, kW, kH);
    Tool("cjb2 " + Quote(pbm) + " " + Quote(maskPage));
    const PageChunks mask = renderoracle::Select(chunksOf(maskPage), "Sjbz");
    // Two colour zones, the left and right halves; djvumake adds a white
    // background of its own.
    const fs::path palettePage = dir / "palette.djvu";
    const std::string half = std::to_string(kW / 2);
    const std::string height = std::to_string(kH);
    Tool("djvumake " + Quote(palettePage) + " Sjbz=" + Quote(maskPage) + " FGbz=#c02040:0,0," +
         half + "," + height + "#2040c0:" + half + ",0," + half + "," + height);
    const PageChunks paletteChunks = chunksOf(palettePage);
    const PageChunks palette = renderoracle::Select(paletteChunks, "FGbz");
    const PageChunks whiteGround = renderoracle::Select(paletteChunks, "BG44");
    // Every blit black.
    const fs::path blackPage = dir / "black.djvu";
    Tool("djvumake " + Quote(blackPage) + " Sjbz=" + Quote(maskPage) + " FGbz=#000000");
    const PageChunks black = renderoracle::Select(chunksOf(blackPage), "FGbz");
    // A layer smaller than the page has the page's size divided by a whole
    // factor, rounded up (ddjvu refuses other sizes). The enlarged background
    // is smooth, as backgrounds are: where pixels are replicated, sharp
    // detail would measure nothing but the difference from interpolation.
    const pnm::Picture kScene = pnm::Picture::kScene;
    const PageChunks ground = wavelet(kScene, kW, kH, "74+89+99", "BG44");
    const PageChunks thirdGround =
        wavelet(pnm::Picture::kGradient, (kW + 2) / 3, (kH + 2) / 3, "74+89+99", "BG44");
    const PageChunks foreground = wavelet(kScene, (kW + 5) / 6, (kH + 5) / 6, "100", "FG44");
    const PageChunks fullForeground = wavelet(kScene, kW, kH, "100", "FG44");
    ASSERT_FALSE(HasFatalFailure());
    // Every part as intended.
    ASSERT_EQ(mask.size(), 1u);
    ASSERT_EQ(palette.size(), 1u);
    ASSERT_EQ(black.size(), 1u);
    ASSERT_FALSE(whiteGround.empty());
    ASSERT_EQ(ground.size(), 3u);
    ASSERT_EQ(thirdGround.size(), 3u);
    ASSERT_EQ(foreground.size(), 1u);
    ASSERT_EQ(fullForeground.size(), 1u);
    const PageChunks fullAsBackground = renderoracle::Select(fullForeground, "FG44", "BG44");

    using renderoracle::Join;
    struct Case {
        const char* name;
        PageChunks page;
        PageChunks shown;  // the page ddjvu renders in its place
        RasterFormat format;
        Expect expect;
    };
    const Case cases[] = {
        {"no layers", {}, {}, RasterFormat::BILEVEL, Expect::kIdentical},
        {"mask alone", mask, mask, RasterFormat::BILEVEL, Expect::kIdentical},
        {"mask and foreground image, no background", Join({mask, foreground}),
         Join({mask, foreground}), RasterFormat::BILEVEL, Expect::kIdentical},
        {"mask and palette, no background", Join({mask, palette}),
         Join({mask, palette, whiteGround}), RasterFormat::BGR24, Expect::kIdentical},
        {"foreground image alone", fullForeground, fullAsBackground, RasterFormat::BGR24,
         Expect::kConverted},
        {"background alone", ground, ground, RasterFormat::BGR24, Expect::kConverted},
        {"mask over a background, no colours", Join({mask, ground}), Join({mask, black, ground}),
         RasterFormat::BGR24, Expect::kConverted},
        {"palette over a full-size background", Join({mask, palette, ground}),
         Join({mask, palette, ground}), RasterFormat::BGR24, Expect::kConverted},
        {"image colours over a full-size background", Join({mask, foreground, ground}),
         Join({mask, foreground, ground}), RasterFormat::BGR24, Expect::kConverted},
        {"image colours rather than the palette", Join({mask, palette, foreground, ground}),
         Join({mask, foreground, ground}), RasterFormat::BGR24, Expect::kConverted},
        {"palette over a background a third the size", Join({mask, palette, thirdGround}),
         Join({mask, palette, thirdGround}), RasterFormat::BGR24, Expect::kEnlarged},
        {"image colours over a background a third the size", Join({mask, foreground, thirdGround}),
         Join({mask, foreground, thirdGround}), RasterFormat::BGR24, Expect::kEnlarged},
    };
    const fs::path ours = dir / "ours.djvu";
    const fs::path shown = dir / "shown.djvu";
    pnm::Tally tally;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        oracle::WriteAll(ours, renderoracle::PageFile(kW, kH, c.page));
        oracle::WriteAll(shown, renderoracle::PageFile(kW, kH, c.shown));
        const renderoracle::OpenPage open = renderoracle::OpenFirstPage(ours);
        ASSERT_TRUE(open.page);
        ExpectPageMatches(*open.page, renderoracle::Ddjvu(shown), c.name, c.format, c.expect,
                          tally);
    }
    renderoracle::Report("combinations", "pages assembled from chunks", tally);
}

// ddjvu's pages, streamed from one run over the document so that no page of
// the long documents is ever written to disk.
class DdjvuStream {
public:
    // `pages`: 1-based page numbers, in increasing order; `format` pbm or ppm.
    DdjvuStream(const fs::path& document, const std::vector<int>& pages, const char* format) {
        std::string list;
        for (int number : pages) {
            list.append(list.empty() ? "" : ",").append(std::to_string(number));
        }
        if (!list.empty()) {
            stream_ =
                ::popen(("ddjvu -format=" + std::string(format) + " -subsample=1 -page=" + list +
                         " " + Quote(document) + " - 2>/dev/null")
                            .c_str(),
                        "r");
        }
    }
    ~DdjvuStream() {
        if (stream_ != nullptr) {
            ::pclose(stream_);
        }
    }
    DdjvuStream(const DdjvuStream&) = delete;
    DdjvuStream& operator=(const DdjvuStream&) = delete;

    std::optional<pnm::Image> Next() {
        return stream_ != nullptr ? pnm::ReadNext(stream_) : std::nullopt;
    }

private:
    std::FILE* stream_ = nullptr;
};

// The shared compound documents, every page. Pages without colour layers go
// through ddjvu as bitmaps: a bilevel page must be ddjvu's to the pixel, and
// a bitmap says so in a twenty-fourth of the bytes.
TEST(CompositionOracle, CorpusPages) {
    REQUIRE_CORPUS();
    REQUIRE_TOOL("ddjvu");
    pnm::Tally tally;
    int bilevelPages = 0;
    for (const char* name : {"happy_birthday.djvu", "navm_fgbz.djvu", "DjVu3Spec.djvu"}) {
        SCOPED_TRACE(name);
        const fs::path path = shareddata::CorpusDir() / name;
        const RefPtr<vyrd::CDjVuContainer> doc = vyrd::MakeRef<vyrd::CDjVuContainer>();
        ASSERT_EQ(doc->OpenDocument(path.u16string()), 1);
        // Every page here has a mask: a background or a palette makes it a
        // colour page.
        std::vector<int> colourPages;
        std::vector<int> bilevel;
        for (int index = 0; index < doc->CountPages(); ++index) {
            const RefPtr<vyrd::CDjVuPage> page = doc->GetPageObject(index);
            ASSERT_TRUE(page) << index;
            const PageChunks chunks = renderoracle::ChunksOf(*page);
            const bool colour = HasChunk(chunks, "BG44") || HasChunk(chunks, "FGbz");
            (colour ? colourPages : bilevel).push_back(index + 1);
        }
        DdjvuStream colourStream(path, colourPages, "ppm");
        for (int number : colourPages) {
            const std::string page = std::string(name) + " page " + std::to_string(number);
            const std::optional<pnm::Image> theirs = colourStream.Next();
            ASSERT_TRUE(theirs) << page << ": ddjvu wrote no more pages";
            ExpectPageMatches(*doc->GetPageObject(number - 1), *theirs, page, RasterFormat::BGR24,
                              Expect::kEnlarged, tally);
        }
        DdjvuStream bilevelStream(path, bilevel, "pbm");
        for (int number : bilevel) {
            const std::string page = std::string(name) + " page " + std::to_string(number);
            const std::optional<pnm::Image> theirs = bilevelStream.Next();
            ASSERT_TRUE(theirs) << page << ": ddjvu wrote no more pages";
            RasterFormat format = RasterFormat::YCC_PLANES;
            const pnm::Image ours =
                renderoracle::Rendered(*doc->GetPageObject(number - 1), &format, 1);
            EXPECT_EQ(format, RasterFormat::BILEVEL) << page;
            const pnm::Difference d = pnm::Compare(ours, *theirs);
            EXPECT_TRUE(d.Identical()) << page << ": " << pnm::Describe(d, ours, *theirs);
            ++bilevelPages;
        }
    }
    // Bilevel pages are many and say nothing new: checked, not listed.
    std::cout << "[ oracle   ] " << bilevelPages << " bilevel corpus pages identical to ddjvu's"
              << std::endl;
    renderoracle::Report("corpus", "compound corpus pages", tally);
}

}  // namespace
