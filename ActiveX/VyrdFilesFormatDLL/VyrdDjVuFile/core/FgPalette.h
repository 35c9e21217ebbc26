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
    // are left out, an index stream that ends early gives index 0 for the
    // missing entries (as far as the stream declared them). Throws
    // std::bad_alloc.
    static RefPtr<CFgPalette> Parse(CByteRange chunk);

    uint8_t Version() const noexcept { return version_; }
    const std::vector<PaletteColour>& Colours() const noexcept { return colours_; }
    const std::vector<uint16_t>& Indices() const noexcept { return indices_; }

    // The colour of blit `k`, or null when the palette names no colour for it
    // (no index for that blit, or an index past the colours).
    const PaletteColour* ColourOfBlit(std::size_t k) const noexcept {
        if (k >= indices_.size() || indices_[k] >= colours_.size()) {
            return nullptr;
        }
        return &colours_[indices_[k]];
    }

private:
    CFgPalette() = default;

    uint8_t version_ = 0;
    std::vector<PaletteColour> colours_;
    std::vector<uint16_t> indices_;
};

}  // namespace vyrd
