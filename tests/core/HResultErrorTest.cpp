#include "HResultError.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(HResultError, CarriesItsCode) {
    EXPECT_EQ(static_cast<uint32_t>(vyrd::kE_INVALIDARG), 0x80070057u);
    EXPECT_EQ(static_cast<uint32_t>(vyrd::kE_OUTOFMEMORY), 0x8007000Eu);
    EXPECT_LT(vyrd::kE_INVALIDARG, 0) << "failure HRESULTs are negative";
    try {
        throw vyrd::HResultError(vyrd::kE_OUTOFMEMORY);
    } catch (const std::exception& e) {
        const auto* error = dynamic_cast<const vyrd::HResultError*>(&e);
        ASSERT_NE(error, nullptr);
        EXPECT_EQ(error->Code(), vyrd::kE_OUTOFMEMORY);
        EXPECT_EQ(std::string(e.what()), "HRESULT 0x8007000E");
    }
}

}  // namespace
