// libFuzzer entry point for the wavelet decoder (and the ZP decoder under it):
// the input is a sequence of chunk bodies, fed in order to one decoder until it
// rejects one; the image is then made, converted to colour and enlarged onto
// pages, and the pages are checked against a plain conversion of the samples.
//
// Input: chunk bodies separated by the four bytes "IW44". Inserting or erasing
// bytes inside one body leaves the others intact, which a length prefix would
// not. Each body is copied into a heap buffer of exactly its size.

#include "FuzzInput.h"
#include "IW44Decoder.h"
#include "PageScale.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

using vyrd::CRasterImage;
using vyrd::RasterFormat;
using vyrd::RefPtr;

constexpr uint8_t kSeparator[4] = {'I', 'W', '4', '4'};
// The decoder is made with this limit, so a first chunk declaring a larger
// image is rejected: the default limit of 64 megapixels is a question of
// memory, not of decoding, and sanitized runs near it take seconds each.
constexpr int64_t kMaxFuzzPixels = int64_t{1} << 20;
// Images up to this size are also enlarged onto a larger page and cut onto a
// smaller one, and every page pixel is checked.
constexpr int64_t kMaxEnlargedPixels = int64_t{1} << 16;

void Check(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "fuzz_iw44: %s\n", what);
        std::abort();
    }
}

// One sample converted to blue, green, red the plain way, "/" truncating
// toward zero; an independent statement of the conversion ScaleToPage uses.
struct Bgr {
    uint8_t b, g, r;
    bool operator==(const Bgr&) const = default;
};

uint8_t Clamp(int v) {
    return uint8_t(std::clamp(v, 0, 255));
}

Bgr SourcePixel(const CRasterImage& image, int32_t x, int32_t y) {
    const size_t plane = size_t(image.Stride()) * size_t(image.Height());
    const size_t at = size_t(y) * size_t(image.Stride()) + size_t(x);
    const int lum = int8_t(image.Pixels()[at]);
    if (image.Format() == RasterFormat::GRAY_PLANE) {
        const uint8_t v = uint8_t(127 - lum);
        return {v, v, v};
    }
    const int cb = int8_t(image.Pixels()[plane + at]);
    const int cr = int8_t(image.Pixels()[2 * plane + at]);
    return {Clamp(lum + 128 + (7 * cb) / 4), Clamp(lum + 128 - cb / 4 - (3 * cr) / 4),
            Clamp(lum + 128 + (3 * cr) / 2)};
}

Bgr PagePixel(const CRasterImage& page, int32_t x, int32_t y) {
    const uint8_t* p = page.Row(y) + 3 * size_t(x);
    return {p[0], p[1], p[2]};
}

// Scales `image` onto a fresh page of w x h and checks every pixel: page pixel
// (X, Y) shows source pixel (X / fx, Y / fy) inside the whole copies, white
// outside them.
void CheckScaled(const CRasterImage& image, int32_t w, int32_t h) {
    RefPtr<CRasterImage> page = CRasterImage::Create(RasterFormat::BGR24, w, h, w, false);
    if (!page) {
        return;
    }
    vyrd::ScaleToPage(image, *page);
    TouchRasterEnds(*page);
    const int32_t fx = (w + image.Width() - 1) / image.Width();
    const int32_t fy = (h + image.Height() - 1) / image.Height();
    const int32_t usedColumns = std::min(w / fx, image.Width());
    const int32_t usedRows = std::min(h / fy, image.Height());
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            const bool covered = x < fx * usedColumns && y < fy * usedRows;
            const Bgr expected =
                covered ? SourcePixel(image, x / fx, y / fy) : Bgr{0xFF, 0xFF, 0xFF};
            Check(PagePixel(*page, x, y) == expected, "page pixel differs from the source");
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > (1u << 18)) {
        return 0;
    }
    vyrd::CIW44Decoder decoder(kMaxFuzzPixels);
    bool accepted = false;
    const uint8_t* const end = data + size;
    for (const uint8_t* body = data;;) {
        const uint8_t* const next =
            std::search(body, end, std::begin(kSeparator), std::end(kSeparator));
        const FuzzInput chunk(body, size_t(next - body));
        if (!decoder.DecodeChunk(chunk.Range())) {
            break;
        }
        accepted = true;
        if (next == end) {
            break;
        }
        body = next + sizeof(kSeparator);
    }

    const int32_t width = decoder.Width();
    const int32_t height = decoder.Height();
    const bool colour = decoder.IsColour();
    RefPtr<CRasterImage> image = decoder.MakeRaster();
    if (!accepted) {
        Check(!image, "an image without an accepted chunk");
        return 0;
    }
    Check(int64_t(width) * height <= kMaxFuzzPixels, "an image over the pixel limit");
    if (!image) {
        // Only an allocation failure gives none, and the limit rules it out.
        Check(width == 0 || height == 0, "no image after an accepted chunk");
        return 0;
    }
    TouchRasterEnds(*image);
    Check(image->Width() == width && image->Height() == height, "image size");
    Check(image->Format() == (colour ? RasterFormat::YCC_PLANES : RasterFormat::GRAY_PLANE),
          "image format");
    if (width == 0 || height == 0) {
        return 0;
    }
    Check(image->ByteSize() >= uint64_t(colour ? 3 : 1) * uint64_t(image->Stride()) * height,
          "image buffer smaller than its planes");

    CheckScaled(*image, width, height);
    if (int64_t(width) * height <= kMaxEnlargedPixels) {
        // Larger than the image with a remainder both ways (white margins on
        // the right and at the top), then smaller (only part of it shown).
        CheckScaled(*image, 2 * width + 1, 3 * height - 1);
        CheckScaled(*image, width / 2 + 1, height / 2 + 1);
    }
    return 0;
}
