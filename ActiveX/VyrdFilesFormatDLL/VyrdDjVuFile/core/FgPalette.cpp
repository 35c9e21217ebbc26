#include "FgPalette.h"

#include "BzzDecoder.h"

#include <algorithm>
#include <new>

namespace vyrd {

RefPtr<CFgPalette> CFgPalette::Parse(CByteRange chunk) {
    RefPtr<CFgPalette> palette = RefPtr<CFgPalette>::Adopt(new CFgPalette());
    const uint32_t length = chunk.Length();
    if (length < 1) {
        return palette;
    }
    palette->version_ = chunk[0];
    if (length < 3) {
        return palette;
    }
    const uint32_t declaredColours = (uint32_t(chunk[1]) << 8) | chunk[2];
    const uint32_t wholeColours = std::min(declaredColours, (length - 3) / 3);
    palette->colours_.reserve(wholeColours);
    for (uint32_t i = 0; i < wholeColours; ++i) {
        const uint32_t at = 3 + 3 * i;
        palette->colours_.push_back({chunk[at], chunk[at + 1], chunk[at + 2]});
    }
    // The index count follows all the declared colours.
    const uint32_t countAt = 3 + 3 * declaredColours;
    if (wholeColours < declaredColours || length - countAt < 3) {
        return palette;
    }
    palette->indexCount_ =
        (uint32_t(chunk[countAt]) << 16) | (uint32_t(chunk[countAt + 1]) << 8) | chunk[countAt + 2];
    // The indices are read as the stream delivers them: a damaged stream may
    // declare millions and hold none.
    CBzzDecoder bzz(chunk.From(countAt + 3));
    uint8_t pair[2];
    while (palette->indices_.size() < palette->indexCount_ && bzz.read(pair, 2) == 2) {
        palette->indices_.push_back(uint16_t((pair[0] << 8) | pair[1]));
    }
    return palette;
}

}  // namespace vyrd
