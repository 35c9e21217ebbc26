#pragma once
// Native tests only: the portable any-map images (PBM, PGM, PPM) that
// DjVuLibre's tools read and write, our page rasters in the same form, and how
// far two such images lie apart.

#include "Raster.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace pnm {

using Bytes = std::vector<uint8_t>;

// Rows top-down, as the files store them; 1 sample per pixel (gray) or 3
// (red, green, blue). A bitmap reads as gray: ink 0, paper 255.
struct Image {
    int width = 0;
    int height = 0;
    int channels = 0;
    Bytes samples;

    Image() = default;
    Image(int w, int h, int c) : width(w), height(h), channels(c) {
        samples.assign(std::size_t(w) * std::size_t(h) * std::size_t(c), 0);
    }
    bool Empty() const { return width <= 0 || height <= 0; }
    uint8_t* Pixel(int x, int y) {
        return samples.data() +
               (std::size_t(y) * std::size_t(width) + std::size_t(x)) * std::size_t(channels);
    }
    const uint8_t* Pixel(int x, int y) const {
        return samples.data() +
               (std::size_t(y) * std::size_t(width) + std::size_t(x)) * std::size_t(channels);
    }
};

namespace detail {

// Reads one byte at a time from a buffer or a pipe, so that one parser serves
// both a file in memory and images streamed by a child process.
class Source {
public:
    Source(const uint8_t* data, std::size_t size, std::size_t pos)
        : data_(data), size_(size), pos_(pos) {}
    explicit Source(std::FILE* file) : file_(file) {}

    int Get() {
        if (file_ != nullptr) {
            return std::fgetc(file_);
        }
        return pos_ < size_ ? data_[pos_++] : EOF;
    }
    bool Read(uint8_t* out, std::size_t n) {
        if (file_ != nullptr) {
            return std::fread(out, 1, n, file_) == n;
        }
        if (size_ - pos_ < n) {
            return false;
        }
        std::copy(data_ + pos_, data_ + pos_ + n, out);
        pos_ += n;
        return true;
    }
    std::size_t Pos() const { return pos_; }

private:
    const uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
    std::size_t pos_ = 0;
    std::FILE* file_ = nullptr;
};

// A header number, after blanks and '#' comment lines; -1 when there is none.
inline long HeaderNumber(Source& in) {
    int c = in.Get();
    while (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '#') {
        if (c == '#') {
            while (c != '\n' && c != EOF) {
                c = in.Get();
            }
        }
        c = in.Get();
    }
    if (c < '0' || c > '9') {
        return -1;
    }
    long value = 0;
    while (c >= '0' && c <= '9' && value < 1000000) {
        value = value * 10 + (c - '0');
        c = in.Get();
    }
    // The single blank that ends the header, or the one before the next number.
    return value;
}

inline std::optional<Image> Parse(Source& in) {
    if (in.Get() != 'P') {
        return std::nullopt;
    }
    const int kind = in.Get();
    if (kind != '4' && kind != '5' && kind != '6') {
        return std::nullopt;
    }
    const long width = HeaderNumber(in);
    const long height = HeaderNumber(in);
    const long maxValue = kind == '4' ? 1 : HeaderNumber(in);
    if (width <= 0 || height <= 0 || (kind != '4' && maxValue != 255)) {
        return std::nullopt;
    }
    Image image(int(width), int(height), kind == '6' ? 3 : 1);
    if (kind != '4') {
        if (!in.Read(image.samples.data(), image.samples.size())) {
            return std::nullopt;
        }
        return image;
    }
    const std::size_t rowBytes = std::size_t(width + 7) / 8;
    Bytes row(rowBytes);
    for (int y = 0; y < image.height; ++y) {
        if (!in.Read(row.data(), rowBytes)) {
            return std::nullopt;
        }
        for (int x = 0; x < image.width; ++x) {
            const bool ink = (row[std::size_t(x) / 8] & (0x80 >> (x % 8))) != 0;
            *image.Pixel(x, y) = ink ? 0 : 255;
        }
    }
    return image;
}

}  // namespace detail

// The image of a whole file (the first one when it holds several).
inline std::optional<Image> Parse(const Bytes& file) {
    detail::Source in(file.data(), file.size(), 0);
    return detail::Parse(in);
}

// The next image of a stream of concatenated images (ddjvu writing every
// page to its standard output); nothing at the end of the stream.
inline std::optional<Image> ReadNext(std::FILE* stream) {
    detail::Source in(stream);
    return detail::Parse(in);
}

// Binary PGM (1 channel) or PPM (3 channels). The header carries a comment
// line: c44 does not recognise a file of fewer than about 16 bytes (a 1 x 1
// picture) as an image.
inline Bytes Encode(const Image& image) {
    const std::string header = std::string(image.channels == 1 ? "P5\n" : "P6\n") +
                               "# test picture\n" + std::to_string(image.width) + " " +
                               std::to_string(image.height) + "\n255\n";
    Bytes out(header.begin(), header.end());
    out.insert(out.end(), image.samples.begin(), image.samples.end());
    return out;
}

// A composed page the way ddjvu writes it: rows top-down, red, green, blue.
// A BILEVEL raster comes out black on white, in three channels or, when
// `bilevelChannels` is 1, as a gray image (a bitmap as Parse reads it). Other
// formats, or a raster without pixels, give an empty image.
inline Image FromRaster(const vyrd::CRasterImage& raster, int bilevelChannels = 3) {
    const bool colour = raster.Format() == vyrd::RasterFormat::BGR24;
    if ((!colour && raster.Format() != vyrd::RasterFormat::BILEVEL) || raster.Pixels() == nullptr) {
        return {};
    }
    Image image(raster.Width(), raster.Height(), colour ? 3 : bilevelChannels);
    for (int y = 0; y < image.height; ++y) {
        const uint8_t* row = raster.Row(image.height - 1 - y);
        uint8_t* out = image.Pixel(0, y);
        for (int x = 0; x < image.width; ++x) {
            if (colour) {
                *out++ = row[3 * x + 2];
                *out++ = row[3 * x + 1];
                *out++ = row[3 * x];
            } else {
                for (int c = 0; c < image.channels; ++c) {
                    *out++ = row[x] != 0 ? 0 : 255;
                }
            }
        }
    }
    return image;
}

// Per-channel comparison of two images of the same shape.
struct Difference {
    bool sameShape = false;
    double psnr = 0;       // dB over all channels; infinite when identical
    int largest = 0;       // largest absolute channel difference
    int64_t compared = 0;  // pixels compared
    int64_t pixels = 0;    // pixels with at least one differing channel
    int firstX = -1;       // first differing pixel in row order, top-down
    int firstY = -1;

    bool Identical() const { return sameShape && pixels == 0; }
};

// `only`, when given, restricts the comparison to the pixels where it holds
// ink (a gray image of the same size, ink 0). Two RGB images, or two gray.
inline Difference Compare(const Image& a, const Image& b, const Image* only = nullptr) {
    Difference d;
    d.sameShape = a.width == b.width && a.height == b.height && a.channels == b.channels &&
                  (only == nullptr ||
                   (only->width == a.width && only->height == a.height && only->channels == 1));
    if (!d.sameShape) {
        return d;
    }
    uint64_t squares = 0;
    const std::size_t rowBytes = std::size_t(a.width) * std::size_t(a.channels);
    for (int y = 0; y < a.height; ++y) {
        // Pages are mostly alike: equal rows cost one comparison.
        if (only == nullptr && std::memcmp(a.Pixel(0, y), b.Pixel(0, y), rowBytes) == 0) {
            d.compared += a.width;
            continue;
        }
        for (int x = 0; x < a.width; ++x) {
            if (only != nullptr && *only->Pixel(x, y) != 0) {
                continue;
            }
            ++d.compared;
            const uint8_t* p = a.Pixel(x, y);
            const uint8_t* q = b.Pixel(x, y);
            bool differs = false;
            for (int c = 0; c < a.channels; ++c) {
                const int delta = std::abs(int(p[c]) - int(q[c]));
                squares += uint64_t(delta * delta);
                d.largest = std::max(d.largest, delta);
                differs = differs || delta != 0;
            }
            if (differs && d.pixels++ == 0) {
                d.firstX = x;
                d.firstY = y;
            }
        }
    }
    const double mse = d.compared == 0 ? 0 : double(squares) / (double(d.compared) * a.channels);
    d.psnr =
        mse == 0 ? std::numeric_limits<double>::infinity() : 10 * std::log10(255.0 * 255.0 / mse);
    return d;
}

inline std::string FormatPsnr(double psnr) {
    if (std::isinf(psnr)) {
        return "inf";
    }
    char text[32];
    std::snprintf(text, sizeof(text), "%.2f", psnr);
    return text;
}

inline std::string FormatPixel(const Image& image, int x, int y) {
    std::string s = "(";
    for (int c = 0; c < image.channels; ++c) {
        s.append(c == 0 ? "" : ",").append(std::to_string(image.Pixel(x, y)[c]));
    }
    return s + ")";
}

// "4 pixels differ, first at x=3 y=0 (top-down): ours (1,2,3), ddjvu (1,2,4)".
inline std::string Describe(const Difference& d, const Image& ours, const Image& theirs) {
    if (!d.sameShape) {
        return "shapes differ: ours " + std::to_string(ours.width) + "x" +
               std::to_string(ours.height) + "x" + std::to_string(ours.channels) + ", ddjvu " +
               std::to_string(theirs.width) + "x" + std::to_string(theirs.height) + "x" +
               std::to_string(theirs.channels);
    }
    if (d.pixels == 0) {
        return "identical";
    }
    return std::to_string(d.pixels) + " pixels differ (PSNR " + FormatPsnr(d.psnr) +
           " dB, largest channel difference " + std::to_string(d.largest) +
           "), first at x=" + std::to_string(d.firstX) + " y=" + std::to_string(d.firstY) +
           " (top-down): ours " + FormatPixel(ours, d.firstX, d.firstY) + ", ddjvu " +
           FormatPixel(theirs, d.firstX, d.firstY);
}

// The worst figures over a group of comparisons, for the summary line a test
// prints.
struct Tally {
    double minPsnr = std::numeric_limits<double>::infinity();
    int largest = 0;
    int count = 0;
    std::string worst;

    void Add(const Difference& d, const std::string& name) {
        if (count++ == 0 || d.psnr < minPsnr) {
            minPsnr = d.psnr;
            worst = name;
        }
        largest = std::max(largest, d.largest);
    }
    std::string Summary() const {
        return std::to_string(count) + " images, min PSNR " + FormatPsnr(minPsnr) + " dB (" +
               worst + "), largest channel difference " + std::to_string(largest);
    }
};

// Pictures for the encoders to work on.

// xorshift32: the same bytes on every platform and standard library.
class Noise {
public:
    explicit Noise(uint32_t seed) : state_(seed) {}
    uint8_t Next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return uint8_t(state_ >> 24);
    }

private:
    uint32_t state_;
};

enum class Picture {
    kScene,     // ramps, a sharp disc, a thin ring, fine checks, a noisy corner
    kNoise,     // every sample random: all bands busy
    kGradient,  // smooth ramps only: most bands empty
};

inline const char* Name(Picture picture) {
    switch (picture) {
        case Picture::kScene:
            return "scene";
        case Picture::kNoise:
            return "noise";
        case Picture::kGradient:
            return "gradient";
    }
    return "?";
}

// A picture of w x h pixels, gray or colour, the same on every platform.
inline Image Draw(Picture picture, int w, int h, bool colour) {
    Image image(w, h, colour ? 3 : 1);
    Noise noise(0x9E3779B9u);
    const int side = std::min(w, h);
    const int discRadius = side / 4;
    const int ringRadius = side / 5;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            int r = 255 * x / std::max(w - 1, 1);
            int g = 255 * y / std::max(h - 1, 1);
            int b = 255 - (r + g) / 2;
            if (picture == Picture::kNoise) {
                r = noise.Next();
                g = noise.Next();
                b = noise.Next();
            } else if (picture == Picture::kScene) {
                const int dx = x - w / 3;
                const int dy = y - h / 2;
                const int ex = x - 2 * w / 3;
                const int ey = y - h / 3;
                const int ring = ex * ex + ey * ey;
                if (dx * dx + dy * dy <= discRadius * discRadius) {
                    r = 230, g = 40, b = 40;
                } else if (ring >= ringRadius * ringRadius &&
                           ring <= (ringRadius + 2) * (ringRadius + 2)) {
                    r = 20, g = 20, b = 120;
                } else if (x >= w / 2 && y >= h / 2) {
                    // Checks of 1 pixel on the left, 3 pixels on the right.
                    const int cell = x < 3 * w / 4 ? 1 : 3;
                    r = g = b = ((x / cell + y / cell) & 1) ? 255 : 0;
                } else if (x < w / 2 && y >= 3 * h / 4) {
                    r = noise.Next();
                    g = noise.Next();
                    b = noise.Next();
                }
            }
            uint8_t* out = image.Pixel(x, y);
            if (colour) {
                out[0] = uint8_t(r);
                out[1] = uint8_t(g);
                out[2] = uint8_t(b);
            } else {
                out[0] = uint8_t((r * 77 + g * 150 + b * 29) >> 8);
            }
        }
    }
    return image;
}

}  // namespace pnm
