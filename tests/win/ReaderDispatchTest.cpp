// IVyrdFile through IDispatch, as a scripting client calls it: names looked up
// in any case, then Invoke by DISPID.

#include "Contract.h"
#include "IffBuilder.h"
#include "RawClient.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

namespace {

using namespace testwin;

class ReaderDispatch : public testing::Test {
protected:
    void SetUp() override {
        ComPtr<IUnknown> file = Create(Guid(contract::kClsidDjVuFile), IID_IUnknown);
        ASSERT_TRUE(file);
        ASSERT_EQ(file->QueryInterface(IID_IDispatch, dispatch_.PutVoid()), S_OK);
    }

    DISPID Id(const wchar_t* name) {
        LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
        DISPID id = 12345;
        EXPECT_EQ(dispatch_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), S_OK)
            << name;
        return id;
    }

    // Invokes with the arguments in call order (reversed into rgvarg here).
    HRESULT Invoke(DISPID id, WORD flags, std::vector<VARIANT> args, VARIANT* result) {
        std::vector<VARIANT> reversed(args.rbegin(), args.rend());
        DISPPARAMS params = {reversed.empty() ? nullptr : reversed.data(), nullptr,
                             static_cast<UINT>(reversed.size()), 0};
        EXCEPINFO error = {};
        UINT argError = 0;
        return dispatch_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result, &error,
                                 &argError);
    }

    static VARIANT Long(LONG value) {
        VARIANT v;
        VariantInit(&v);
        V_VT(&v) = VT_I4;
        V_I4(&v) = value;
        return v;
    }
    static VARIANT Double(double value) {
        VARIANT v;
        VariantInit(&v);
        V_VT(&v) = VT_R8;
        V_R8(&v) = value;
        return v;
    }

    ComPtr<IDispatch> dispatch_;
};

TEST_F(ReaderDispatch, ScriptOpensAndReadsADocument) {
    TempFile doc(testiff::SinglePage(192, 256, 300));
    TestBstr path(doc.Path());
    VARIANT arg;
    VariantInit(&arg);
    V_VT(&arg) = VT_BSTR;
    V_BSTR(&arg) = path.Get();  // borrowed: not cleared
    EXPECT_EQ(Invoke(Id(L"openfile"), DISPATCH_METHOD, {arg}, nullptr), S_OK);

    struct Case {
        const wchar_t* name;
        WORD flags;
        std::vector<VARIANT> args;
        VARTYPE type;
        double value;
    };
    const Case cases[] = {
        {L"pagecount", DISPATCH_PROPERTYGET, {}, VT_I4, 1},
        {L"GET_PAGECOUNT", DISPATCH_PROPERTYGET | DISPATCH_METHOD, {}, VT_I4, 1},
        {L"get_PageWidth", DISPATCH_PROPERTYGET, {Long(0)}, VT_I4, 192},
        {L"PAGEHEIGHT", DISPATCH_PROPERTYGET, {Long(0)}, VT_I4, 256},
        {L"pageHorizontalDpi", DISPATCH_PROPERTYGET, {Long(0)}, VT_R8, 300},
        {L"get_pageverticaldpi", DISPATCH_PROPERTYGET, {Long(0)}, VT_R8, 300},
        {L"hasinternalzoom", DISPATCH_PROPERTYGET, {}, VT_BOOL, 0},
        // A page that is not there: S_FALSE inside, zero outside.
        {L"PageWidth", DISPATCH_PROPERTYGET, {Long(3)}, VT_I4, 0},
    };
    for (const Case& c : cases) {
        VARIANT result;
        VariantInit(&result);
        EXPECT_EQ(Invoke(Id(c.name), c.flags, c.args, &result), S_OK) << c.name;
        EXPECT_EQ(V_VT(&result), c.type) << c.name;
        double value = -1;
        if (V_VT(&result) == VT_I4) {
            value = V_I4(&result);
        } else if (V_VT(&result) == VT_R8) {
            value = V_R8(&result);
        } else if (V_VT(&result) == VT_BOOL) {
            value = V_BOOL(&result);
        }
        EXPECT_EQ(value, c.value) << c.name;
        VariantClear(&result);
    }

    VARIANT image;
    VariantInit(&image);
    EXPECT_EQ(Invoke(Id(L"getpage"), DISPATCH_METHOD, {Long(0), Double(1.0)}, &image), S_OK);
    ASSERT_EQ(V_VT(&image), VT_UNKNOWN);
    ASSERT_NE(V_UNKNOWN(&image), nullptr);
    RawPageImage page(V_UNKNOWN(&image));
    EXPECT_EQ(page.GetLong(kGetWidth), 192);
    EXPECT_EQ(page.GetLong(kGetHeight), 256);
    page.Reset();
    VariantClear(&image);

    EXPECT_EQ(Invoke(Id(L"CloseFile"), DISPATCH_METHOD, {}, nullptr), S_OK);
    VARIANT count;
    VariantInit(&count);
    EXPECT_EQ(Invoke(Id(L"PageCount"), DISPATCH_PROPERTYGET, {}, &count), S_OK);
    EXPECT_EQ(V_VT(&count), VT_I4);
    EXPECT_EQ(V_I4(&count), 0);
}

TEST_F(ReaderDispatch, UnknownDispidIsNotAMember) {
    VARIANT result;
    VariantInit(&result);
    EXPECT_EQ(Invoke(999, DISPATCH_METHOD, {}, &result), DISP_E_MEMBERNOTFOUND);
}

}  // namespace
