// CDjVuFile: lifetime, dispatch names of IVyrdFile, the
// connection point container and class information.

#include "DjVuFile.h"

namespace {

// Names accepted by IVyrdFile's GetIDsOfNames: the method names, the property
// names and the properties' "get_" forms. Scripting clients differ in which
// form they send, and in case.
struct DispatchName {
    const wchar_t* name;
    DISPID id;
};
constexpr DispatchName kVyrdFileNames[] = {
    {L"OpenFile", 1},           {L"CloseFile", 2},
    {L"PageCount", 10},         {L"get_PageCount", 10},
    {L"PageWidth", 20},         {L"get_PageWidth", 20},
    {L"PageHeight", 21},        {L"get_PageHeight", 21},
    {L"PageHorizontalDPI", 30}, {L"get_PageHorizontalDPI", 30},
    {L"PageVerticalDPI", 31},   {L"get_PageVerticalDPI", 31},
    {L"HasInternalZoom", 50},   {L"get_HasInternalZoom", 50},
    {L"GetPage", 100},
};

DISPID FindVyrdFileName(const wchar_t* name) {
    if (!name) {
        return DISPID_UNKNOWN;
    }
    for (const DispatchName& entry : kVyrdFileNames) {
        if (CompareStringOrdinal(name, -1, entry.name, -1, TRUE) == CSTR_EQUAL) {
            return entry.id;
        }
    }
    return DISPID_UNKNOWN;
}

}  // namespace

HRESULT CVyrdFileDispatch::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID,
                                         DISPID* ids) {
    if (iid != IID_NULL) {
        return DISP_E_UNKNOWNINTERFACE;
    }
    if (!names || !ids) {
        return E_POINTER;
    }
    HRESULT hr = S_OK;
    for (UINT i = 0; i < count; ++i) {
        ids[i] = FindVyrdFileName(names[i]);
        if (ids[i] == DISPID_UNKNOWN) {
            hr = DISP_E_UNKNOWNNAME;
        }
    }
    return hr;
}

CDjVuFile::CDjVuFile()
    : document_(vyrd::MakeRef<vyrd::CDjVuContainer>()), fileEvents_(*this, DIID__IVyrdFileEvents) {}

CDjVuFile::~CDjVuFile() {
    vyrd::CCriticalSectionLock hold(lock_);
    CloseLocked();
}

HRESULT CDjVuFile::EnumConnectionPoints(IEnumConnectionPoints** ppEnum) {
    ConnectionPoint* const points[] = {&fileEvents_};
    return EnumConnectionPointsOf(points, ppEnum);
}

HRESULT CDjVuFile::FindConnectionPoint(REFIID riid, IConnectionPoint** ppCP) {
    ConnectionPoint* const points[] = {&fileEvents_};
    return FindConnectionPointIn(points, riid, ppCP);
}

HRESULT CDjVuFile::GetClassInfo(ITypeInfo** ppTI) {
    if (!ppTI) {
        return E_POINTER;
    }
    return LoadModuleTypeInfo(CLSID_CDjVuFile, ppTI);
}

void CDjVuFile::CloseLocked() noexcept {
    // The second reference goes first: the link cache that hangs on it must be
    // gone before the document itself is closed.
    links_.Detach();
    document_->CloseDocument();
    open_ = 0;
    outline_.Clear();
    std::vector<PageInfoEntry>().swap(pageInfo_);
    textCache_.Clear();
}
