// libFuzzer entry point for the text layer: a TXTz stream decoded into a zone
// tree, then asked every kind of text query.
//
// The first byte chooses how the rest is read: bit 0 set, the zones are turned
// top-down; bit 1 set, the rest is a compressed TXTz chunk as found in a
// file, otherwise the stream already decompressed (so that mutations reach
// the zone records directly instead of the BZZ coder); bits 2-7 pick the page
// height.

#include "FuzzInput.h"
#include "PageTextLayer.h"

#include <cstddef>
#include <cstdint>
#include <optional>

namespace {

// Query rectangles and runs come from the layer itself and from the input, so
// that they land on, around and between zones.
void Query(const vyrd::CPageTextLayer& layer, const uint8_t* data, size_t size) {
    const vyrd::TextRect page = layer.Root().Rect();
    const int64_t textSize = static_cast<int64_t>(layer.Text().size());
    const vyrd::TextRect rects[] = {
        page,
        {page.right, page.bottom, page.left, page.top},
        {page.left, page.top, page.left + (page.right - page.left) / 2,
         page.top + (page.bottom - page.top) / 3},
        {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX},
        {0, 0, 0, 0},
    };
    for (const vyrd::TextRect& rc : rects) {
        if (const std::optional<vyrd::TextRange> range = layer.CoveredBy(rc)) {
            layer.RectsOf(range->first, range->last);
            layer.Substring(*range);
        }
    }
    layer.RectsOf(0, textSize - 1);
    layer.RectsOf(INT32_MIN, INT32_MAX);
    for (size_t i = 0; i + 1 < size && i < 16; i += 2) {
        const int64_t first = data[i] % (textSize + 2) - 1;
        const int64_t length = data[i + 1] % 8;
        layer.RectsOf(first, first + length - 1);
        layer.Substring({static_cast<int32_t>(first), static_cast<int32_t>(first + length - 1)});
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1 || size > (1u << 20)) {
        return 0;
    }
    const uint8_t mode = data[0];
    const FuzzInput input(data + 1, size - 1);
    vyrd::TextLayerPlacement placement;
    placement.topDown = (mode & 1) != 0;
    placement.pageHeight = (mode >> 2) * 100;
    // Blocks above 64 KiB cost a run far more than they find (see FuzzBzz).
    const vyrd::RefPtr<vyrd::CPageTextLayer> layer =
        (mode & 2) != 0 ? vyrd::CPageTextLayer::Decode(input.Range(), placement, 1u << 16)
                        : vyrd::CPageTextLayer::DecodeUncompressed(input.Range(), placement);
    if (layer) {
        Query(*layer, data + 1, size - 1);
    }
    return 0;
}
