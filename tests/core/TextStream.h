#pragma once
// Builds the decompressed stream of a TXTz chunk byte by byte: the text and
// a tree of zone records holding the values exactly as they are stored
// (coordinates relative to the previous sibling or the parent, text lengths
// in bytes).

#include "IffBuilder.h"

#include <cstdint>
#include <string_view>
#include <utility>
#include <vector>

namespace testtext {

using testiff::Bytes;

struct ZoneRecord {
    ZoneRecord(uint8_t type, int x, int y, int w, int h, uint32_t textLength,
               std::vector<ZoneRecord> children = {}, uint16_t textOffset = 0,
               int64_t declaredChildren = -1)
        : type(type),
          x(x),
          y(y),
          w(w),
          h(h),
          textLength(textLength),
          children(std::move(children)),
          textOffset(textOffset),
          declaredChildren(declaredChildren) {}

    uint8_t type;
    int x, y, w, h;
    uint32_t textLength;  // bytes
    std::vector<ZoneRecord> children;
    uint16_t textOffset;  // stored, never used by the reader
    // Stored instead of children.size() when not negative (a count the
    // stream does not keep).
    int64_t declaredChildren;
};

inline void AppendU16(Bytes& out, int value) {
    const auto v = static_cast<uint16_t>(value + 0x8000);
    out.push_back(uint8_t(v >> 8));
    out.push_back(uint8_t(v));
}

inline void AppendZone(Bytes& out, const ZoneRecord& zone) {
    out.push_back(zone.type);
    AppendU16(out, zone.x);
    AppendU16(out, zone.y);
    AppendU16(out, zone.w);
    AppendU16(out, zone.h);
    out.push_back(uint8_t(zone.textOffset >> 8));
    out.push_back(uint8_t(zone.textOffset));
    testiff::Append(out, testiff::U24(zone.textLength));
    const auto count = zone.declaredChildren >= 0 ? uint32_t(zone.declaredChildren)
                                                  : uint32_t(zone.children.size());
    testiff::Append(out, testiff::U24(count));
    for (const ZoneRecord& child : zone.children) {
        AppendZone(out, child);
    }
}

// Text length, text, version byte, root zone.
inline Bytes Stream(std::string_view text, const ZoneRecord& root) {
    Bytes out = testiff::U24(uint32_t(text.size()));
    testiff::Append(out, testiff::Text(text));
    out.push_back(1);
    AppendZone(out, root);
    return out;
}

}  // namespace testtext
