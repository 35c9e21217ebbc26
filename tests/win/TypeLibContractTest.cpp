// The fixed contract of the interfaces, read from the type libraries inside the
// DLL files: every method's vtable slot (oVft / pointer size), DISPID and kind,
// the interfaces' shape, and the classes' interface lists.

#include "Contract.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

using namespace testwin;

constexpr int kAnyDispid = -1000;  // the contract fixes the slot only
constexpr int kNoSlot = -1;        // dispinterface member: DISPID only

struct Member {
    const wchar_t* name;
    INVOKEKIND kind;
    int slot;
    int dispid;
    int params;  // -1: not checked
};

constexpr INVOKEKIND kFunc = INVOKE_FUNC;
constexpr INVOKEKIND kGet = INVOKE_PROPERTYGET;
constexpr INVOKEKIND kPut = INVOKE_PROPERTYPUT;

struct InterfaceContract {
    const wchar_t* dll;
    const wchar_t* iid;
    const char* label;
    bool complete;  // the rows are every method of the interface
    std::vector<Member> members;
};

std::vector<InterfaceContract> Contracts() {
    using namespace contract;
    return {
        {kReaderDll,
         kIidVyrdFile,
         "IVyrdFile",
         true,
         {{L"OpenFile", kFunc, 7, 1, 1},
          {L"CloseFile", kFunc, 8, 2, 0},
          {L"PageCount", kGet, 9, 10, 1},
          {L"PageWidth", kGet, 10, 20, 2},
          {L"PageHeight", kGet, 11, 21, 2},
          {L"PageHorizontalDPI", kGet, 12, 30, 2},
          {L"PageVerticalDPI", kGet, 13, 31, 2},
          {L"HasInternalZoom", kGet, 14, 50, 1},
          {L"GetPage", kFunc, 15, 100, 3}}},
        {kReaderDll,
         kIidVyrdFileContent,
         "IVyrdFileContent",
         true,
         {{L"ChildsCount", kGet, 7, 10000, 1},
          {L"GotoRoot", kFunc, 8, 10010, 0},
          {L"GotoParent", kFunc, 9, 10020, 0},
          {L"GotoChilds", kFunc, 10, 10030, 0},
          {L"GotoFirst", kFunc, 11, 10040, 0},
          {L"GotoPrevious", kFunc, 12, 10050, 0},
          {L"GotoNext", kFunc, 13, 10060, 0},
          {L"GotoLast", kFunc, 14, 10070, 0},
          {L"GetCurrentItem", kFunc, 15, 10100, 1},
          {L"GetItem", kFunc, 16, 10110, 2}}},
        {kReaderDll,
         kIidVyrdFileContentItem,
         "IVyrdFileContentItem",
         true,
         {{L"ItemID", kGet, 7, 10, 1},
          {L"ItemID", kPut, 8, 10, 1},
          {L"ItemName", kGet, 9, 20, 1},
          {L"ItemName", kPut, 10, 20, 1},
          {L"ItemPageIndex", kGet, 11, 30, 1},
          {L"ItemPageIndex", kPut, 12, 30, 1},
          {L"ItemOffsetFromTop", kGet, 13, 40, 1},
          {L"ItemOffsetFromTop", kPut, 14, 40, 1}}},
        {kReaderDll,
         kIidVyrdFileText,
         "IVyrdFileText",
         true,
         {{L"GetPageText", kFunc, 7, 20000, 2},
          {L"GetTextRectsByRect", kFunc, 8, 20010, 3},
          {L"GetTextRectsByTextIndex", kFunc, 9, 20020, 4},
          {L"GetTextByRect", kFunc, 10, 20030, 3},
          {L"GetTextIndexByRect", kFunc, 11, 20040, 4}}},
        {kReaderDll,
         kIidVyrdFileInternalLinks,
         "IVyrdFileInternalLinks",
         true,
         {{L"IsInLink", kFunc, 7, 30000, 3}, {L"GetLink", kFunc, 8, 30010, 4}}},
        {kReaderDll,
         kDiidVyrdFileEvents,
         "_IVyrdFileEvents",
         true,
         {{L"OnFileLoaded", kFunc, kNoSlot, 0, 0}}},
        {kViewerDll,
         kIidPageImage,
         "IVyrdPageImage",
         false,
         {{L"PixelType", kGet, 7, kAnyDispid, 1},
          {L"PixelType", kPut, 8, kAnyDispid, 1},
          {L"Width", kGet, 9, kAnyDispid, 1},
          {L"Width", kPut, 10, kAnyDispid, 1},
          {L"Height", kGet, 11, kAnyDispid, 1},
          {L"Height", kPut, 12, kAnyDispid, 1},
          {L"BytesPerRow", kGet, 13, kAnyDispid, 1},
          {L"BytesPerRow", kPut, 14, kAnyDispid, 1},
          {L"Flags", kGet, 15, kAnyDispid, 1},
          {L"Flags", kPut, 16, kAnyDispid, 1},
          {L"GetPixels", kFunc, 18, kAnyDispid, 1},
          {L"AttachPixels", kFunc, 20, kAnyDispid, 2}}},
        {kViewerDll,
         kIidViewerCtrl,
         "IVyrdViewerCtrl",
         false,
         {{L"File", kGet, 7, kAnyDispid, 1},
          {L"File", kPut, 8, kAnyDispid, 1},
          {L"Layout", kGet, 17, kAnyDispid, 1},
          {L"Layout", kPut, 18, kAnyDispid, 1},
          {L"Zoom", kGet, 19, kAnyDispid, 1},
          {L"Zoom", kPut, 20, kAnyDispid, 1},
          {L"FitMode", kGet, 21, kAnyDispid, 1},
          {L"FitMode", kPut, 22, kAnyDispid, 1},
          {L"FitCurrentPage", kFunc, 23, kAnyDispid, 0},
          {L"RotateClockwise", kFunc, 24, kAnyDispid, 1},
          {L"RotateCounterclockwise", kFunc, 25, kAnyDispid, 1},
          {L"ResetRotation", kFunc, 26, kAnyDispid, 2},
          {L"PreviousPage", kFunc, 27, kAnyDispid, 0},
          {L"NextPage", kFunc, 28, kAnyDispid, 0},
          {L"FirstPage", kFunc, 29, kAnyDispid, 0},
          {L"LastPage", kFunc, 30, kAnyDispid, 0},
          {L"GoToPage", kFunc, 31, kAnyDispid, 4},
          {L"CurrentPage", kGet, 32, kAnyDispid, 1},
          {L"NextView", kFunc, 33, kAnyDispid, 0},
          {L"PreviousView", kFunc, 34, kAnyDispid, 0},
          {L"CanGoBack", kGet, 35, kAnyDispid, 1},
          {L"CanGoForward", kGet, 36, kAnyDispid, 1},
          {L"Brightness", kGet, 37, kAnyDispid, 1},
          {L"Brightness", kPut, 38, kAnyDispid, 1},
          {L"Contrast", kGet, 39, kAnyDispid, 1},
          {L"Contrast", kPut, 40, kAnyDispid, 1},
          {L"Gamma", kGet, 41, kAnyDispid, 1},
          {L"Gamma", kPut, 42, kAnyDispid, 1},
          {L"Tool", kGet, 43, kAnyDispid, 1},
          {L"Tool", kPut, 44, kAnyDispid, 1},
          {L"SelectionEmpty", kGet, 45, kAnyDispid, 1},
          {L"SelectedText", kFunc, 46, kAnyDispid, 1},
          {L"SelectedImage", kFunc, 47, kAnyDispid, 1},
          {L"LoadViewState", kFunc, 48, kAnyDispid, 1},
          {L"SaveViewState", kFunc, 49, kAnyDispid, 1}}},
        {kViewerDll,
         kDiidViewerCtrlEvents,
         "IVyrdViewerCtrlEvents",
         false,
         {{L"LayoutChanged", kFunc, kNoSlot, 10, 1},
          {L"ZoomChanged", kFunc, kNoSlot, 20, 1},
          {L"FitModeChanged", kFunc, kNoSlot, 30, 1},
          {L"PageChanged", kFunc, kNoSlot, 40, 2},
          {L"ToolChanged", kFunc, kNoSlot, 50, 1},
          {L"SelectionChanged", kFunc, kNoSlot, 60, 1},
          {L"HistoryChanged", kFunc, kNoSlot, 70, 2},
          {L"ContextMenuRequested", kFunc, kNoSlot, 100, -1}}},
    };
}

ComPtr<ITypeLib> LoadFromDll(const wchar_t* dll) {
    ComPtr<ITypeLib> lib;
    const std::wstring path = ProgramDir() + L"\\" + dll;
    EXPECT_EQ(LoadTypeLibEx(path.c_str(), REGKIND_NONE, lib.Put()), S_OK) << "type library";
    return lib;
}

// The type information whose FUNCDESCs carry vtable offsets: for a dual
// interface its interface half, for a dispinterface itself.
ComPtr<ITypeInfo> VtableInfo(ITypeLib* lib, const GUID& iid, bool* dual) {
    ComPtr<ITypeInfo> info;
    EXPECT_EQ(lib->GetTypeInfoOfGuid(iid, info.Put()), S_OK);
    *dual = false;
    if (!info) {
        return info;
    }
    TYPEATTR* attr = nullptr;
    EXPECT_EQ(info->GetTypeAttr(&attr), S_OK);
    const bool isDual = attr->typekind == TKIND_DISPATCH && (attr->wTypeFlags & TYPEFLAG_FDUAL);
    const bool isInterface = attr->typekind == TKIND_INTERFACE;
    info->ReleaseTypeAttr(attr);
    if (isInterface) {
        *dual = true;
        return info;
    }
    if (!isDual) {
        return info;
    }
    *dual = true;
    HREFTYPE ref = 0;
    EXPECT_EQ(info->GetRefTypeOfImplType(static_cast<UINT>(-1), &ref), S_OK);
    ComPtr<ITypeInfo> vtable;
    EXPECT_EQ(info->GetRefTypeInfo(ref, vtable.Put()), S_OK);
    return vtable;
}

struct Found {
    int slot;
    int dispid;
    int params;
};

std::map<std::pair<std::wstring, INVOKEKIND>, Found> MembersOf(ITypeInfo* info) {
    std::map<std::pair<std::wstring, INVOKEKIND>, Found> members;
    TYPEATTR* attr = nullptr;
    EXPECT_EQ(info->GetTypeAttr(&attr), S_OK);
    const WORD count = attr->cFuncs;
    info->ReleaseTypeAttr(attr);
    for (UINT i = 0; i < count; ++i) {
        FUNCDESC* func = nullptr;
        EXPECT_EQ(info->GetFuncDesc(i, &func), S_OK);
        BSTR name = nullptr;
        UINT names = 0;
        EXPECT_EQ(info->GetNames(func->memid, &name, 1, &names), S_OK);
        members[{std::wstring(name, SysStringLen(name)), func->invkind}] = {
            func->funckind == FUNC_DISPATCH ? kNoSlot
                                            : static_cast<int>(func->oVft / sizeof(void*)),
            static_cast<int>(func->memid), func->cParams};
        SysFreeString(name);
        info->ReleaseFuncDesc(func);
    }
    return members;
}

TEST(TypeLibContract, EveryMethodSitsAtItsSlotWithItsDispid) {
    for (const InterfaceContract& itf : Contracts()) {
        SCOPED_TRACE(itf.label);
        ComPtr<ITypeLib> lib = LoadFromDll(itf.dll);
        ASSERT_TRUE(lib);
        bool dual = false;
        ComPtr<ITypeInfo> info = VtableInfo(lib.Get(), Guid(itf.iid), &dual);
        ASSERT_TRUE(info);
        // Every interface with slots is a dual one; events are pure dispinterfaces.
        EXPECT_EQ(dual, itf.members.front().slot != kNoSlot);
        const auto members = MembersOf(info.Get());
        if (itf.complete) {
            EXPECT_EQ(members.size(), itf.members.size());
        }
        for (const Member& m : itf.members) {
            SCOPED_TRACE(testing::Message() << m.name << " kind " << m.kind);
            const auto found = members.find({m.name, m.kind});
            ASSERT_NE(found, members.end());
            EXPECT_EQ(found->second.slot, m.slot);
            if (m.dispid != kAnyDispid) {
                EXPECT_EQ(found->second.dispid, m.dispid);
            }
            if (m.params >= 0) {
                EXPECT_EQ(found->second.params, m.params);
            }
        }
    }
}

TEST(TypeLibContract, ReaderLibraryIdentity) {
    ComPtr<ITypeLib> lib = LoadFromDll(contract::kReaderDll);
    ASSERT_TRUE(lib);
    TLIBATTR* attr = nullptr;
    ASSERT_EQ(lib->GetLibAttr(&attr), S_OK);
    EXPECT_TRUE(IsEqualGUID(attr->guid, Guid(contract::kLibIdReader)));
    EXPECT_EQ(attr->wMajorVerNum, 1);
    EXPECT_EQ(attr->wMinorVerNum, 0);
    EXPECT_EQ(attr->lcid, 1033u);
    lib->ReleaseTLibAttr(attr);
}

// The interfaces each class lists, with the default and source flags.
TEST(TypeLibContract, ClassesListTheirInterfaces) {
    struct Impl {
        const wchar_t* iid;
        int flags;
    };
    struct ClassCase {
        const wchar_t* dll;
        const wchar_t* clsid;
        std::vector<Impl> impls;
    };
    const int kDefault = IMPLTYPEFLAG_FDEFAULT;
    const int kSource = IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE;
    const ClassCase cases[] = {
        {contract::kReaderDll,
         contract::kClsidDjVuFile,
         {{contract::kIidVyrdFile, kDefault},
          {contract::kIidVyrdFileContent, 0},
          {contract::kIidVyrdFileText, 0},
          {contract::kIidVyrdFileInternalLinks, 0},
          {contract::kDiidVyrdFileEvents, kSource}}},
        {contract::kReaderDll,
         contract::kClsidContentItem,
         {{contract::kIidVyrdFileContentItem, kDefault}}},
        {contract::kViewerDll, contract::kClsidPageImage, {{contract::kIidPageImage, kDefault}}},
    };
    for (const ClassCase& c : cases) {
        ComPtr<ITypeLib> lib = LoadFromDll(c.dll);
        ASSERT_TRUE(lib);
        ComPtr<ITypeInfo> coclass;
        ASSERT_EQ(lib->GetTypeInfoOfGuid(Guid(c.clsid), coclass.Put()), S_OK) << c.clsid;
        TYPEATTR* attr = nullptr;
        ASSERT_EQ(coclass->GetTypeAttr(&attr), S_OK);
        EXPECT_EQ(attr->typekind, TKIND_COCLASS);
        ASSERT_EQ(attr->cImplTypes, c.impls.size()) << c.clsid;
        coclass->ReleaseTypeAttr(attr);
        for (UINT i = 0; i < c.impls.size(); ++i) {
            HREFTYPE ref = 0;
            ASSERT_EQ(coclass->GetRefTypeOfImplType(i, &ref), S_OK);
            ComPtr<ITypeInfo> impl;
            ASSERT_EQ(coclass->GetRefTypeInfo(ref, impl.Put()), S_OK);
            TYPEATTR* implAttr = nullptr;
            ASSERT_EQ(impl->GetTypeAttr(&implAttr), S_OK);
            EXPECT_TRUE(IsEqualGUID(implAttr->guid, Guid(c.impls[i].iid))) << c.clsid << " " << i;
            impl->ReleaseTypeAttr(implAttr);
            INT flags = 0;
            ASSERT_EQ(coclass->GetImplTypeFlags(i, &flags), S_OK);
            EXPECT_EQ(flags, c.impls[i].flags) << c.clsid << " " << i;
        }
    }
}

TEST(TypeLibContract, ViewerLibraryHasTheHighlightInterface) {
    ComPtr<ITypeLib> lib = LoadFromDll(contract::kViewerDll);
    ASSERT_TRUE(lib);
    ComPtr<ITypeInfo> info;
    EXPECT_EQ(lib->GetTypeInfoOfGuid(Guid(contract::kIidViewerHighlights), info.Put()), S_OK);
}

}  // namespace
