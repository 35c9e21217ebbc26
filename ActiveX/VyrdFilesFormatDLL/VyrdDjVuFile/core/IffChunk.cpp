#include "IffChunk.h"

namespace vyrd {

namespace {

uint32_t BigEndian32(const uint8_t* p) {
    return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
}

}  // namespace

std::string ChunkIdToString(uint32_t id) {
    std::string s(4, '?');
    for (int i = 0; i < 4; ++i) {
        const auto c = static_cast<uint8_t>(id >> (24 - 8 * i));
        if (c >= 0x20 && c < 0x7F) {
            s[i] = static_cast<char>(c);
        }
    }
    return s;
}

CIffChunk CIffChunk::Read(const CByteRange& enclosing, uint32_t offset) noexcept {
    CIffChunk chunk;
    chunk.enclosing_ = enclosing;
    chunk.offset_ = offset;
    if (!enclosing.IsValid() || offset > enclosing.Length() ||
        enclosing.Length() - offset < kChunkHeaderSize) {
        return chunk;
    }
    const uint8_t* header = enclosing.Data() + offset;
    chunk.id_ = BigEndian32(header);
    // A declared length beyond the enclosing range (also one with the top bit
    // set) means "up to the end": truncated files stay readable.
    const uint32_t available = enclosing.Length() - offset - kChunkHeaderSize;
    uint32_t length = BigEndian32(header + 4);
    if (length > available) {
        length = available;
    }
    chunk.data_ = enclosing.Slice(offset + kChunkHeaderSize, length);
    return chunk;
}

bool ReadChunkSequence(const CByteRange& range, uint32_t start, std::vector<CIffChunk>& out) {
    const std::size_t first = out.size();
    // 64-bit offset: header, a clamped length and the pad byte can together
    // step one past a range of 2^32 - 1 bytes.
    const uint64_t end = range.Length();
    uint64_t offset = start;
    while (offset < end) {
        const CIffChunk chunk = CIffChunk::Read(range, static_cast<uint32_t>(offset));
        if (!chunk.IsValid()) {
            out.resize(first);
            return false;
        }
        out.push_back(chunk);
        offset += kChunkHeaderSize + uint64_t{chunk.Data().Length()};
        // The pad byte: chunks start at even offsets counted from the range start.
        offset += offset & 1;
    }
    return true;
}

RefPtr<CIffForm> CIffForm::Parse(const CIffChunk& chunk) {
    if (!chunk.IsForm()) {
        return nullptr;
    }
    RefPtr<CIffForm> form = RefPtr<CIffForm>::Adopt(new CIffForm());
    form->chunk_ = chunk;
    const CByteRange& data = chunk.Data();
    if (data.Length() >= 4) {
        form->formType_ = BigEndian32(data.Data());
        ReadChunkSequence(data, 4, form->children_);
    }
    return form;
}

CIffChunk CIffForm::FindFirst(uint32_t id) const noexcept {
    for (const CIffChunk& child : children_) {
        if (child.Id() == id) {
            return child;
        }
    }
    return {};
}

std::size_t CIffForm::CollectAll(uint32_t id, std::vector<CIffChunk>& list) const {
    for (const CIffChunk& child : children_) {
        if (child.Id() == id) {
            list.push_back(child);
        }
    }
    return list.size();
}

RefPtr<CIffChunkList> CIffChunkList::Read(const CByteRange& afterMagic) {
    RefPtr<CIffChunkList> list = RefPtr<CIffChunkList>::Adopt(new CIffChunkList());
    list->valid_ = afterMagic.IsValid() && ReadChunkSequence(afterMagic, 0, list->chunks_);
    return list;
}

}  // namespace vyrd
