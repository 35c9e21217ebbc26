// IDispatch of the reader's interfaces: hand-matched names on IVyrdFile, type
// information from the module's own file, and type-library dispatch elsewhere.

#include "Contract.h"
#include "TestSupport.h"

#include <ocidl.h>

#include <gtest/gtest.h>

namespace {

using namespace testwin;

ComPtr<IUnknown> NewReader() {
    return Create(Guid(contract::kClsidDjVuFile), IID_IUnknown);
}

// The IDispatch part of a dual interface: its first seven slots.
ComPtr<IDispatch> DualInterface(IUnknown* object, const wchar_t* iid) {
    ComPtr<IDispatch> itf;
    EXPECT_EQ(object->QueryInterface(Guid(iid), itf.PutVoid()), S_OK) << iid;
    return itf;
}

HRESULT IdsOf(IDispatch* dispatch, std::vector<const wchar_t*> names, std::vector<DISPID>& ids) {
    ids.assign(names.size(), 12345);
    return dispatch->GetIDsOfNames(IID_NULL, const_cast<LPOLESTR*>(names.data()),
                                   static_cast<UINT>(names.size()), LOCALE_USER_DEFAULT,
                                   ids.data());
}

TEST(VyrdFileNames, EveryListedNameInAnyCase) {
    const struct {
        const wchar_t* name;
        DISPID id;
    } cases[] = {
        {L"openfile", 1},           {L"CLOSEFILE", 2},
        {L"pAGEcOUNT", 10},         {L"Get_PageCount", 10},
        {L"pagewidth", 20},         {L"GET_PAGEWIDTH", 20},
        {L"PageHeight", 21},        {L"get_pageheight", 21},
        {L"PAGEHORIZONTALDPI", 30}, {L"get_PageHorizontalDpi", 30},
        {L"pageverticaldpi", 31},   {L"GET_PAGEVERTICALDPI", 31},
        {L"hasInternalZoom", 50},   {L"get_hasinternalzoom", 50},
        {L"GETPAGE", 100},
    };
    ComPtr<IUnknown> reader = NewReader();
    ComPtr<IDispatch> dispatch = DualInterface(reader.Get(), contract::kIidVyrdFile);
    for (const auto& c : cases) {
        std::vector<DISPID> ids;
        EXPECT_EQ(IdsOf(dispatch.Get(), {c.name}, ids), S_OK) << c.name;
        EXPECT_EQ(ids[0], c.id) << c.name;
    }
}

TEST(VyrdFileNames, OtherNamesAreUnknown) {
    ComPtr<IUnknown> reader = NewReader();
    ComPtr<IDispatch> dispatch = DualInterface(reader.Get(), contract::kIidVyrdFile);
    for (const wchar_t* name : {L"Open", L"PageCounts", L"put_PageCount", L"get_OpenFile",
                                L"get_GetPage", L"", L"ChildsCount", L"get_", L"GetPage "}) {
        std::vector<DISPID> ids;
        EXPECT_EQ(IdsOf(dispatch.Get(), {name}, ids), DISP_E_UNKNOWNNAME) << name;
        EXPECT_EQ(ids[0], DISPID_UNKNOWN) << name;
    }
    // Each name of a call is looked up on its own.
    std::vector<DISPID> ids;
    EXPECT_EQ(IdsOf(dispatch.Get(), {L"GetPage", L"NoSuchName", L"pagecount"}, ids),
              DISP_E_UNKNOWNNAME);
    EXPECT_EQ(ids, (std::vector<DISPID>{100, DISPID_UNKNOWN, 10}));
}

TEST(VyrdFileNames, OtherInterfacesUseTheTypeLibrary) {
    const struct {
        const wchar_t* iid;
        const wchar_t* name;
        HRESULT hr;
        DISPID id;
    } cases[] = {
        {contract::kIidVyrdFileContent, L"childscount", S_OK, 10000},
        {contract::kIidVyrdFileContent, L"GetItem", S_OK, 10110},
        {contract::kIidVyrdFileContent, L"OpenFile", DISP_E_UNKNOWNNAME, DISPID_UNKNOWN},
        {contract::kIidVyrdFileText, L"GetPageText", S_OK, 20000},
        {contract::kIidVyrdFileText, L"gettextindexbyrect", S_OK, 20040},
        {contract::kIidVyrdFileInternalLinks, L"GetLink", S_OK, 30010},
        {contract::kIidVyrdFileInternalLinks, L"IsInLink", S_OK, 30000},
    };
    ComPtr<IUnknown> reader = NewReader();
    for (const auto& c : cases) {
        ComPtr<IDispatch> dispatch = DualInterface(reader.Get(), c.iid);
        ASSERT_TRUE(dispatch);
        std::vector<DISPID> ids;
        EXPECT_EQ(IdsOf(dispatch.Get(), {c.name}, ids), c.hr) << c.name;
        EXPECT_EQ(ids[0], c.id) << c.name;
    }
}

TEST(VyrdFileDispatch, TypeInformationOfEachInterface) {
    ComPtr<IUnknown> reader = NewReader();
    for (const wchar_t* iid : {contract::kIidVyrdFile, contract::kIidVyrdFileContent,
                               contract::kIidVyrdFileText, contract::kIidVyrdFileInternalLinks}) {
        SCOPED_TRACE(testing::Message() << iid);
        ComPtr<IDispatch> dispatch = DualInterface(reader.Get(), iid);
        ASSERT_TRUE(dispatch);
        UINT count = 0;
        EXPECT_EQ(dispatch->GetTypeInfoCount(&count), S_OK);
        EXPECT_EQ(count, 1u);
        ComPtr<ITypeInfo> info;
        EXPECT_EQ(dispatch->GetTypeInfo(1, LOCALE_USER_DEFAULT, info.Put()), DISP_E_BADINDEX);
        EXPECT_FALSE(info);
        ASSERT_EQ(dispatch->GetTypeInfo(0, LOCALE_USER_DEFAULT, info.Put()), S_OK);
        TYPEATTR* attr = nullptr;
        ASSERT_EQ(info->GetTypeAttr(&attr), S_OK);
        EXPECT_TRUE(IsEqualGUID(attr->guid, Guid(iid)));
        info->ReleaseTypeAttr(attr);
    }
}

TEST(VyrdFileDispatch, InvokeOnTheOutlineInterface) {
    ComPtr<IUnknown> reader = NewReader();
    ComPtr<IDispatch> content = DualInterface(reader.Get(), contract::kIidVyrdFileContent);
    ASSERT_TRUE(content);
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    VARIANT result;
    VariantInit(&result);
    EXPECT_EQ(content->Invoke(10010, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &none, nullptr,
                              nullptr, nullptr),
              S_OK);
    EXPECT_EQ(content->Invoke(10000, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none,
                              &result, nullptr, nullptr),
              S_OK);
    EXPECT_EQ(V_VT(&result), VT_I4);
    EXPECT_EQ(V_I4(&result), 0);
    EXPECT_EQ(content->Invoke(10000, Guid(contract::kIidVyrdFile), LOCALE_USER_DEFAULT,
                              DISPATCH_PROPERTYGET, &none, &result, nullptr, nullptr),
              DISP_E_UNKNOWNINTERFACE);
}

TEST(VyrdFileDispatch, ClassInformationIsTheCoclass) {
    ComPtr<IUnknown> reader = NewReader();
    ComPtr<IProvideClassInfo> provider;
    ASSERT_EQ(reader->QueryInterface(IID_IProvideClassInfo, provider.PutVoid()), S_OK);
    ComPtr<ITypeInfo> info;
    ASSERT_EQ(provider->GetClassInfo(info.Put()), S_OK);
    TYPEATTR* attr = nullptr;
    ASSERT_EQ(info->GetTypeAttr(&attr), S_OK);
    EXPECT_EQ(attr->typekind, TKIND_COCLASS);
    EXPECT_TRUE(IsEqualGUID(attr->guid, Guid(contract::kClsidDjVuFile)));
    info->ReleaseTypeAttr(attr);
}

// The content item's properties through Invoke: put then get, by DISPID.
TEST(ContentItemDispatch, PropertiesRoundTripThroughInvoke) {
    ComPtr<IUnknown> item = Create(Guid(contract::kClsidContentItem), IID_IDispatch);
    ASSERT_TRUE(item);
    ComPtr<IDispatch> dispatch = item.As<IDispatch>(IID_IDispatch);
    TestBstr name(L"Chapter 1: Über");
    const struct {
        const wchar_t* propName;
        DISPID id;
        VARTYPE type;
        LONG number;
    } cases[] = {
        {L"ItemID", 10, VT_I4, 7},
        {L"itemname", 20, VT_BSTR, 0},
        {L"ItemPageIndex", 30, VT_I4, -1},
        {L"ITEMOFFSETFROMTOP", 40, VT_I4, 250},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.propName);
        std::vector<DISPID> ids;
        ASSERT_EQ(IdsOf(dispatch.Get(), {c.propName}, ids), S_OK);
        EXPECT_EQ(ids[0], c.id);

        VARIANT before;
        VariantInit(&before);
        DISPPARAMS none = {nullptr, nullptr, 0, 0};
        ASSERT_EQ(dispatch->Invoke(c.id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none,
                                   &before, nullptr, nullptr),
                  S_OK);
        EXPECT_EQ(V_VT(&before), c.type);
        if (c.type == VT_BSTR) {
            EXPECT_NE(V_BSTR(&before), nullptr);  // the empty name, as a real string
            EXPECT_EQ(SysStringLen(V_BSTR(&before)), 0u);
        } else {
            EXPECT_EQ(V_I4(&before), 0);
        }
        VariantClear(&before);

        VARIANT value;
        VariantInit(&value);
        V_VT(&value) = c.type;
        if (c.type == VT_BSTR) {
            V_BSTR(&value) = name.Get();
        } else {
            V_I4(&value) = c.number;
        }
        DISPID putId = DISPID_PROPERTYPUT;
        DISPPARAMS put = {&value, &putId, 1, 1};
        ASSERT_EQ(dispatch->Invoke(c.id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &put,
                                   nullptr, nullptr, nullptr),
                  S_OK);
        VARIANT after;
        VariantInit(&after);
        ASSERT_EQ(dispatch->Invoke(c.id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none,
                                   &after, nullptr, nullptr),
                  S_OK);
        ASSERT_EQ(V_VT(&after), c.type);
        if (c.type == VT_BSTR) {
            EXPECT_STREQ(V_BSTR(&after), name.Get());
            EXPECT_NE(V_BSTR(&after), name.Get());  // a copy, not the caller's string
        } else {
            EXPECT_EQ(V_I4(&after), c.number);
        }
        VariantClear(&after);
    }
}

}  // namespace
