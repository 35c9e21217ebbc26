#pragma once
// A byte vector as the core's borrowed range; an empty vector gives a valid,
// empty range (the core tells "no data" from "nothing there").

#include "ByteRange.h"

#include <cstdint>
#include <vector>

inline vyrd::CByteRange RangeOf(const std::vector<uint8_t>& bytes) {
    static const uint8_t kNothing = 0;
    return vyrd::CByteRange(bytes.empty() ? &kNothing : bytes.data(),
                            static_cast<uint32_t>(bytes.size()));
}
