#pragma once
// Sequential big-endian reads over a CByteRange.

#include "ByteRange.h"

#include <cstdint>
#include <cstring>

namespace vyrd {

// Reads a CByteRange front to back. A read that does not fit in the remaining
// bytes returns 0 (ReadBytes: copies what remains), moves the position to the
// end and raises the end-of-data flag, which then stays raised. Callers check
// the flag once per record rather than after every read. Never reads outside
// the range.
class CByteReader {
public:
    explicit CByteReader(CByteRange range) noexcept : range_(range) {}

    uint8_t ReadByte() noexcept {
        if (Remaining() < 1) {
            return Overrun();
        }
        return range_.Data()[position_++];
    }

    uint16_t ReadU16() noexcept {
        if (Remaining() < 2) {
            return Overrun();
        }
        const uint8_t* p = range_.Data() + position_;
        position_ += 2;
        return static_cast<uint16_t>((p[0] << 8) | p[1]);
    }

    uint32_t ReadU24() noexcept {
        if (Remaining() < 3) {
            return Overrun();
        }
        const uint8_t* p = range_.Data() + position_;
        position_ += 3;
        return (uint32_t{p[0]} << 16) | (uint32_t{p[1]} << 8) | p[2];
    }

    uint32_t ReadU32() noexcept {
        if (Remaining() < 4) {
            return Overrun();
        }
        const uint8_t* p = range_.Data() + position_;
        position_ += 4;
        return (uint32_t{p[0]} << 24) | (uint32_t{p[1]} << 16) | (uint32_t{p[2]} << 8) | p[3];
    }

    // Copies min(n, Remaining()) bytes to `buffer` and returns that count; a
    // short copy raises the end-of-data flag.
    uint32_t ReadBytes(void* buffer, uint32_t n) noexcept {
        uint32_t count = n;
        if (count > Remaining()) {
            count = Remaining();
            endOfData_ = true;
        }
        if (count > 0) {
            std::memcpy(buffer, range_.Data() + position_, count);
        }
        position_ += count;
        return count;
    }

    // Skips n bytes, or to the end (raising the flag) when fewer remain.
    void Skip(uint32_t n) noexcept {
        if (n > Remaining()) {
            Overrun();
        } else {
            position_ += n;
        }
    }

    bool EndOfData() const noexcept { return endOfData_; }
    uint32_t Position() const noexcept { return position_; }
    uint32_t Remaining() const noexcept { return range_.Length() - position_; }
    // The bytes not read yet, as a range of the same memory.
    CByteRange Rest() const noexcept { return range_.From(position_); }

private:
    uint8_t Overrun() noexcept {
        position_ = range_.Length();
        endOfData_ = true;
        return 0;
    }

    CByteRange range_;
    uint32_t position_ = 0;
    bool endOfData_ = false;
};

}  // namespace vyrd
