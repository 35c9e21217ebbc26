#pragma once
// The BZZ decompressor: block-sorted data whose symbols are move-to-front ranks
// coded with the ZP coder. DjVu keeps its directory, outline, hidden text and
// annotations in this form.

#include "ByteRange.h"
#include "RefCounted.h"
#include "ZPDecoder.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vyrd {

// Presents one BZZ stream as bytes read front to back. A corrupt or truncated
// stream never fails: it simply ends early, so callers see short reads. Reads
// that need a fixed number of bytes and come up short set the end flag and
// give 0. The input bytes must outlive the decoder. Not thread-safe; one reader
// uses a decoder from start to end.
class CBzzDecoder final : public CRefCounted {
public:
    // The largest block the decoder accepts: the data plus its
    // 4-byte-per-symbol link table bound what one block can claim.
    static constexpr uint32_t kMaxBlockSize = 0x400000;

    // Over a chunk's data, or the rest of a chunk after an uncompressed header.
    // A caller that knows its blocks are small may refuse larger ones sooner
    // with a lower `maxBlockSize` (never above kMaxBlockSize).
    explicit CBzzDecoder(CByteRange input, uint32_t maxBlockSize = kMaxBlockSize) noexcept;

    // Copies up to n bytes into `buffer` (skips them when `buffer` is null) and
    // returns how many there were.
    uint32_t read(void* buffer, uint32_t n);

    uint8_t ReadByte();
    // Big-endian, high byte first.
    uint32_t ReadU16();
    uint32_t ReadU24();
    // Bytes up to the next 0 (consumed, not returned) or the end of the data.
    std::string ReadString();

    // Set once no further block can be decoded or a fixed-size read came up short.
    bool Eof() const noexcept { return eof_; }
    // Bytes delivered (copied or skipped) so far.
    uint64_t Delivered() const noexcept { return delivered_; }

private:
    // Decodes the next block into data_; returns its coded size (the block holds
    // one byte fewer), or 0 at the end of the stream or on a corrupt block.
    uint32_t DecodeBlock();
    uint32_t DecodeRanks(uint32_t size);
    // Makes bytes available in the current block; false at the end of the stream.
    bool FillBlock();
    // Reads exactly n bytes, or sets the end flag and returns false.
    bool ReadExactly(uint8_t* buffer, uint32_t n);

    CZPDecoder zp_;
    uint32_t maxBlockSize_;
    // 260 of them are used; they carry over from block to block.
    uint8_t ctx_[300] = {};
    std::vector<uint8_t> data_;
    // Scratch space of the inverse block sort.
    std::vector<uint32_t> link_;
    uint32_t remaining_ = 0;
    uint32_t position_ = 0;
    uint64_t delivered_ = 0;
    bool eof_ = false;
};

}  // namespace vyrd
