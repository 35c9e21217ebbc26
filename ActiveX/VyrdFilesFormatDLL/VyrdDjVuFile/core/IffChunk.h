#pragma once
// IFF chunks, FORMs and chunk sequences, read in place from the mapped file.
//
// A chunk is an 8-byte header (four-character identifier, big-endian 32-bit
// data length) followed by its data and, when the length is odd, one pad byte
// so that the next chunk starts at an even offset. A FORM's data starts with a
// four-character form type, followed by a sequence of child chunks.

#include "ByteRange.h"
#include "RefCounted.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vyrd {

// A four-character identifier as the big-endian 32-bit value of its bytes.
consteval uint32_t ChunkId(const char (&s)[5]) {
    return (uint32_t{static_cast<uint8_t>(s[0])} << 24) |
           (uint32_t{static_cast<uint8_t>(s[1])} << 16) |
           (uint32_t{static_cast<uint8_t>(s[2])} << 8) | uint32_t{static_cast<uint8_t>(s[3])};
}

inline constexpr uint32_t kIdFORM = ChunkId("FORM");
inline constexpr uint32_t kIdDJVU = ChunkId("DJVU");
inline constexpr uint32_t kIdDJVM = ChunkId("DJVM");
inline constexpr uint32_t kIdDJVI = ChunkId("DJVI");
inline constexpr uint32_t kIdDIRM = ChunkId("DIRM");
inline constexpr uint32_t kIdNAVM = ChunkId("NAVM");
inline constexpr uint32_t kIdINFO = ChunkId("INFO");
inline constexpr uint32_t kIdINCL = ChunkId("INCL");
inline constexpr uint32_t kIdDjbz = ChunkId("Djbz");
inline constexpr uint32_t kIdSjbz = ChunkId("Sjbz");
inline constexpr uint32_t kIdBG44 = ChunkId("BG44");
inline constexpr uint32_t kIdFG44 = ChunkId("FG44");
inline constexpr uint32_t kIdFGbz = ChunkId("FGbz");

// The identifier as four characters; bytes outside printable ASCII show as '?'.
std::string ChunkIdToString(uint32_t id);

inline constexpr uint32_t kChunkHeaderSize = 8;

// One chunk: its identifier, the range it was read from, where its header
// starts in that range, and its data. The data range is invalid when the
// header could not be read (the chunk then does not exist).
class CIffChunk {
public:
    CIffChunk() noexcept = default;

    // Reads the chunk header at `offset` of `enclosing`. The declared length is
    // clamped to the bytes that follow the header, so a chunk never reaches past
    // its enclosing range. Fewer than 8 bytes left: an invalid chunk.
    static CIffChunk Read(const CByteRange& enclosing, uint32_t offset) noexcept;

    uint32_t Id() const noexcept { return id_; }
    const CByteRange& Enclosing() const noexcept { return enclosing_; }
    uint32_t Offset() const noexcept { return offset_; }
    const CByteRange& Data() const noexcept { return data_; }
    bool IsValid() const noexcept { return data_.IsValid(); }
    bool IsForm() const noexcept { return IsValid() && id_ == kIdFORM; }

private:
    uint32_t id_ = 0;
    CByteRange enclosing_;
    uint32_t offset_ = 0;
    CByteRange data_;
};

// Reads the chunk sequence of `range` from offset `start` to the end of the
// range, appending each chunk to `out`. Returns false, and appends nothing,
// when a chunk header does not fit in the bytes that remain.
bool ReadChunkSequence(const CByteRange& range, uint32_t start, std::vector<CIffChunk>& out);

// A FORM chunk with its form type and direct children in file order.
class CIffForm final : public CRefCounted {
public:
    // Parses `chunk` as a FORM; null when it is not a valid FORM chunk. A FORM
    // whose data is too short for a form type has type 0; a FORM whose child
    // sequence is broken (trailing bytes that cannot hold a chunk header) has no
    // children.
    static RefPtr<CIffForm> Parse(const CIffChunk& chunk);

    const CIffChunk& Chunk() const noexcept { return chunk_; }
    uint32_t FormType() const noexcept { return formType_; }
    const std::vector<CIffChunk>& Children() const noexcept { return children_; }

    // The first child with identifier `id`, or an invalid chunk when there is none.
    CIffChunk FindFirst(uint32_t id) const noexcept;
    // Appends every child with identifier `id` to `list`, in file order; returns
    // the new length of `list`.
    std::size_t CollectAll(uint32_t id, std::vector<CIffChunk>& list) const;

private:
    CIffForm() = default;

    CIffChunk chunk_;
    uint32_t formType_ = 0;
    std::vector<CIffChunk> children_;
};

// The chunks that follow the "AT&T" magic at the top level of a file.
class CIffChunkList final : public CRefCounted {
public:
    // Reads the top-level sequence of `afterMagic`. When it is broken the list
    // is empty and IsValid() is false.
    static RefPtr<CIffChunkList> Read(const CByteRange& afterMagic);

    bool IsValid() const noexcept { return valid_; }
    const std::vector<CIffChunk>& Chunks() const noexcept { return chunks_; }

private:
    CIffChunkList() = default;

    bool valid_ = false;
    std::vector<CIffChunk> chunks_;
};

}  // namespace vyrd
