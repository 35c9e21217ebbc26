#pragma once
// The one exception type of the DjVu core.

#include <cstdint>
#include <cstdio>
#include <exception>

namespace vyrd {

inline constexpr int32_t kE_INVALIDARG = static_cast<int32_t>(0x80070057u);
inline constexpr int32_t kE_OUTOFMEMORY = static_cast<int32_t>(0x8007000Eu);

// A failure inside the document model that ends the current call: an index
// outside an internal list (kE_INVALIDARG) or an allocation that could not be
// satisfied (kE_OUTOFMEMORY). The COM layer catches it, together with
// std::bad_alloc, and returns Code() as the method's HRESULT.
class HResultError : public std::exception {
public:
    explicit HResultError(int32_t hr) noexcept : hr_(hr) {
        std::snprintf(text_, sizeof(text_), "HRESULT 0x%08X", static_cast<unsigned>(hr));
    }

    int32_t Code() const noexcept { return hr_; }
    const char* what() const noexcept override { return text_; }

private:
    int32_t hr_;
    char text_[24];
};

}  // namespace vyrd
