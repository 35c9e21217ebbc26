#pragma once
// Builds DjVu files byte by byte for tests, so that each malformed case says
// exactly which bytes it holds.

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace testiff {

using Bytes = std::vector<uint8_t>;

// Byte by byte: g++ 12 at -O3 reports a false array-bounds error for
// vector::insert of a range here.
inline void Append(Bytes& out, const Bytes& more) {
    out.reserve(out.size() + more.size());
    for (uint8_t b : more) {
        out.push_back(b);
    }
}

inline Bytes Concat(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes& part : parts) {
        Append(out, part);
    }
    return out;
}

inline Bytes Text(std::string_view s) {
    return Bytes(s.begin(), s.end());
}

inline Bytes U24(uint32_t v) {
    return {uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)};
}

inline Bytes U32(uint32_t v) {
    return {uint8_t(v >> 24), uint8_t(v >> 16), uint8_t(v >> 8), uint8_t(v)};
}

// Header with an explicit declared length, then `body` as given: no pad byte.
inline Bytes RawChunk(std::string_view id, uint32_t declaredLength, const Bytes& body) {
    return Concat({Text(id), U32(declaredLength), body});
}

// A well-formed chunk: true length, and a pad byte (0) after an odd body.
inline Bytes Chunk(std::string_view id, const Bytes& body) {
    Bytes out = RawChunk(id, uint32_t(body.size()), body);
    if (body.size() % 2 != 0) {
        out.push_back(0);
    }
    return out;
}

// A FORM of `type` holding `children` (already encoded chunks).
inline Bytes Form(std::string_view type, std::initializer_list<Bytes> children) {
    Bytes body = Text(type);
    for (const Bytes& child : children) {
        Append(body, child);
    }
    return Chunk("FORM", body);
}

// "AT&T" followed by the top-level chunks.
inline Bytes File(std::initializer_list<Bytes> topLevel) {
    Bytes out = Text("AT&T");
    for (const Bytes& chunk : topLevel) {
        Append(out, chunk);
    }
    return out;
}

// A full 10-byte INFO body.
inline Bytes InfoBody(uint16_t width, uint16_t height, uint8_t minor = 24, uint8_t major = 0,
                      uint16_t dpi = 300, uint8_t gamma10 = 22, uint8_t flags = 1) {
    return {uint8_t(width >> 8),
            uint8_t(width),
            uint8_t(height >> 8),
            uint8_t(height),
            minor,
            major,
            uint8_t(dpi),
            uint8_t(dpi >> 8),
            gamma10,
            flags};
}

// The smallest usable document: one page with only its INFO chunk.
inline Bytes SinglePage(uint16_t width, uint16_t height, uint16_t dpi = 300) {
    return File({Form("DJVU", {Chunk("INFO", InfoBody(width, height, 24, 0, dpi))})});
}

}  // namespace testiff
