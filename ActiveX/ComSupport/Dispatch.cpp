#include "Dispatch.h"

HRESULT LoadModuleTypeInfo(REFIID iid, ITypeInfo** info) {
    *info = nullptr;
    ComPtr<ITypeLib> lib;
    HRESULT hr = LoadTypeLibEx(ComModule::FilePath().c_str(), REGKIND_NONE, lib.Put());
    if (FAILED(hr)) {
        return hr;
    }
    return lib->GetTypeInfoOfGuid(iid, info);
}
