#pragma once
// The fuzz input in a heap buffer of exactly its size, so that AddressSanitizer
// reports any read past its end (libFuzzer's own buffer may be larger).

#include "ByteRange.h"
#include "Container.h"
#include "HResultError.h"
#include "Raster.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>

class FuzzInput {
public:
    FuzzInput(const uint8_t* data, size_t size)
        : bytes_(new uint8_t[size == 0 ? 1 : size]), size_(size) {
        if (size > 0) {
            std::memcpy(bytes_.get(), data, size);
        }
    }

    std::span<const uint8_t> Span() const { return {bytes_.get(), size_}; }
    vyrd::CByteRange Range() const {
        return vyrd::CByteRange(bytes_.get(), static_cast<uint32_t>(size_));
    }

private:
    std::unique_ptr<uint8_t[]> bytes_;
    size_t size_;
};

// Reads the first and the last byte of a raster's buffer, so that a buffer
// smaller than the raster claims shows under AddressSanitizer.
inline void TouchRasterEnds(const vyrd::CRasterImage& raster) {
    if (raster.Pixels() == nullptr || raster.ByteSize() == 0) {
        return;
    }
    volatile uint8_t sink = raster.Pixels()[0];
    sink = raster.Pixels()[raster.ByteSize() - 1];
    (void)sink;
}

// The input opened as a document, or null when it is refused: not a document,
// or a directory that names fewer components than it counts. `input` must
// outlive the document.
inline vyrd::RefPtr<vyrd::CDjVuContainer> OpenFuzzDocument(const FuzzInput& input) {
    vyrd::RefPtr<vyrd::CDjVuContainer> doc = vyrd::MakeRef<vyrd::CDjVuContainer>();
    try {
        if (doc->OpenDocumentFromMemory(input.Span()) != 1) {
            return nullptr;
        }
    } catch (const vyrd::HResultError&) {
        return nullptr;
    }
    return doc;
}
