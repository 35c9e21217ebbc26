#include "RawClient.h"

#include "Contract.h"

#include <gtest/gtest.h>

namespace testwin {

RawVyrdFile RawVyrdFile::Create() {
    return RawVyrdFile(
        testwin::Create(Guid(contract::kClsidDjVuFile), Guid(contract::kIidVyrdFile)));
}

RawPageImage::RawPageImage(IUnknown* image) {
    if (image) {
        EXPECT_EQ(image->QueryInterface(Guid(contract::kIidPageImage), image_.PutVoid()), S_OK);
    }
}

RawPageImage RawPageImage::Create() {
    return RawPageImage(
        testwin::Create(Guid(contract::kClsidPageImage), Guid(contract::kIidPageImage)));
}

}  // namespace testwin
