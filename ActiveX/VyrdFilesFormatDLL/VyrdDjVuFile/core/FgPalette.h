#pragma once
// The foreground palette of a page (FGbz chunk): colours, and the colour index
// of every blit of the page's mask.

#include "ByteRange.h"
#include "RefCounted.h"

#include <cstdint>
#include <vector>

namespace vyrd {

// Colours are stored as the chunk stores them: blue, green, red.
struct PaletteColour {
    uint8_t blue = 0;
    uint8_t green = 0;
    uint8_t red = 0;
};

// Immutable after Parse.
class CFgPalette final : public CRefCounted {
public:
    // Never fails on damaged data: colours the chunk does not hold completely
    // are left out, and declared indices the compressed stream does not
    // deliver are 0. Throws std::bad_alloc.
    static RefPtr<CFgPalette> Parse(CByteRange chunk);

    uint8_t Version() const noexcept { return version_; }
    const std::vector<PaletteColour>& Colours() const noexcept { return colours_; }
    // The number of blit indices the chunk declares.
    uint32_t IndexCount() const noexcept { return indexCount_; }
    // The index of blit `k` (below IndexCount()).
    uint16_t IndexOfBlit(std::size_t k) const noexcept {
        return k < indices_.size() ? indices_[k] : 0;
    }

    // The colour of blit `k`, or null when the palette names no colour for it
    // (no index for that blit, or an index past the colours).
    const PaletteColour* ColourOfBlit(std::size_t k) const noexcept {
        if (k >= indexCount_) {
            return nullptr;
        }
        const uint16_t index = IndexOfBlit(k);
        return index < colours_.size() ? &colours_[index] : nullptr;
    }

private:
    CFgPalette() = default;

    uint8_t version_ = 0;
    std::vector<PaletteColour> colours_;
    // The indices the stream delivered; those after them are 0.
    std::vector<uint16_t> indices_;
    uint32_t indexCount_ = 0;
};

}  // namespace vyrd
