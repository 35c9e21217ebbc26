#pragma once
// The page information record of an INFO chunk.

#include "ByteRange.h"
#include "RefCounted.h"

#include <cstdint>

namespace vyrd {

// Parsed INFO chunk. Fields hold their defaults when the chunk is too short to
// carry them. Immutable after Parse.
class CPageInfo final : public CRefCounted {
public:
    static constexpr int32_t kDefaultVersion = 25;
    static constexpr int32_t kDefaultDpi = 300;
    static constexpr double kDefaultGamma = 2.2;

    // Never fails: a short or odd INFO gives a record with defaults.
    static RefPtr<CPageInfo> Parse(const CByteRange& data);

    int32_t width = 0;
    int32_t height = 0;
    int32_t version = kDefaultVersion;  // minor + 256 * major
    int32_t dpi = kDefaultDpi;
    double gamma = kDefaultGamma;
    uint8_t orientation = 1;  // flags bits 0-2, taken only from version 22 on
    bool highFlag = false;    // flags bit 7

private:
    CPageInfo() = default;
};

}  // namespace vyrd
