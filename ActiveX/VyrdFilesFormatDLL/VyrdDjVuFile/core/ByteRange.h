#pragma once
// A borrowed run of bytes inside a mapped document.

#include <cassert>
#include <cstdint>
#include <span>

namespace vyrd {

// (data pointer, length) inside memory that someone else keeps alive: the
// mapping of the document file, or a decompressed buffer. A range is valid when
// its pointer is non-null; a valid range may be empty. Copying is cheap.
class CByteRange {
public:
    constexpr CByteRange() noexcept = default;
    constexpr CByteRange(const uint8_t* data, uint32_t length) noexcept
        : data_(data), length_(data != nullptr ? length : 0) {}

    constexpr const uint8_t* Data() const noexcept { return data_; }
    constexpr uint32_t Length() const noexcept { return length_; }
    constexpr bool IsValid() const noexcept { return data_ != nullptr; }

    // The bytes [offset, offset + length) of this range, or an invalid range when
    // they do not lie wholly inside it. Written so that no sum can overflow.
    constexpr CByteRange Slice(uint32_t offset, uint32_t length) const noexcept {
        if (data_ == nullptr || offset > length_ || length > length_ - offset) {
            return {};
        }
        return CByteRange(data_ + offset, length);
    }

    // Everything from `offset` to the end; invalid when offset is past the end.
    constexpr CByteRange From(uint32_t offset) const noexcept {
        return offset <= length_ ? Slice(offset, length_ - offset) : CByteRange();
    }

    // Unchecked access for callers that have checked the length already.
    uint8_t operator[](uint32_t i) const noexcept {
        assert(i < length_);
        return data_[i];
    }

    std::span<const uint8_t> Span() const noexcept { return {data_, length_}; }

private:
    const uint8_t* data_ = nullptr;
    uint32_t length_ = 0;
};

}  // namespace vyrd
